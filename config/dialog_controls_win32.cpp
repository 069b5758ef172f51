#include "config/dialog_controls_win32.h"

#include <cstdio>

void SetNumber(HWND dialog, int id, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", int(value));
    SetDlgItemTextA(dialog, id, text);
}

void ShowEnabledEffects(HWND dialog, int id, void (*format)(char* text, size_t size, int32_t enabled))
{
    CountEnabledEffects();
    char text[64];
    format(text, sizeof text, ShowSettings.effects);
    SetDlgItemTextA(dialog, id, text);
}

Arrow ArrowOf(int scrollCode)
{
    return scrollCode == SB_LINEUP ? Arrow::Up : scrollCode == SB_LINEDOWN ? Arrow::Down : Arrow::Other;
}
