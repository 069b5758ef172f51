#include "base/message_pump_win32.h"

#include "base/show_state.h"

int YieldToInput()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) return 0;
    if (message.message == WM_QUIT) {
        QuitPending = 1;
        return 1;
    }
    GetMessageA(&message, nullptr, 0, 0);
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return 0;
}

int WINAPI DecodeProgressCallback(int, int) { return YieldToInput() ? 0 : 1; }
