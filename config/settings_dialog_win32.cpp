// The settings dialog. For now it only closes: OK with TRUE, Cancel with FALSE.
#include "config/settings_dialog_win32.h"

extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                                       WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam) == IDOK);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
