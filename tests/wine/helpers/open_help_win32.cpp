// Opens the saver's help as the settings dialog's Help button does, from a window of its
// own, and keeps its messages flowing (an HTML Help window lives in this process) until the
// test ends it.
#include <windows.h>

#include <cstdio>

#include "config/help_win32.h"

int main()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraHelpOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowA("VelmoraHelpOwner", "Help owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 600, 120, 80,
                               nullptr, nullptr, windowClass.hInstance, nullptr);
    OpenHelp(owner);
    std::printf("opened\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
