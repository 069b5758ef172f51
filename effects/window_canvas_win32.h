// Effects drawing onto a real window.
#pragma once
#include <windows.h>

#include "base/message_pump_win32.h"
#include "effects/canvas.h"

class WindowCanvas : public EffectCanvas {
public:
    // `back` may be none for clearing effects, which only paint black.
    WindowCanvas(HDC window, HDC back) : window_(window), back_(back) {}

    void Copy(int x, int y, int w, int h) override { BitBlt(window_, x, y, w, h, back_, x, y, SRCCOPY); }
    void CopyFrom(int sx, int sy, int dx, int dy, int w, int h) override
    {
        BitBlt(window_, dx, dy, w, h, back_, sx, sy, SRCCOPY);
    }
    void Black(int x, int y, int w, int h) override { PatBlt(window_, x, y, w, h, BLACKNESS); }
    bool Pump() override { return YieldToInput() != 0; }
    void Pause(int ms) override { Sleep(DWORD(ms)); }

private:
    HDC window_;
    HDC back_;
};
