// The back buffer and the transition that brings a composed picture onto a window.
#include "effects/framework_win32.h"

#include "base/handles_win32.h"
#include "effects/effects.h"
#include "effects/framework.h"
#include "effects/window_canvas_win32.h"
#include "pictures/loading_win32.h"

namespace {

BackBuffer g_ownBackBuffer;
BackBuffer* g_backBuffer = &g_ownBackBuffer;

void DrawGreeting(HDC dc)
{
    // The saver window's DC is its own (CS_OWNDC) and keeps what is set on it: left
    // transparent, a later failure line would be black text on the black screen.
    const int saved = SaveDC(dc);
    RECT band = {0, 0, ShowArea.width, 200};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(200, 200, 200));
    DrawTextA(dc, "Happy birthday Tavro", -1, &band, DT_SINGLELINE | DT_CENTER);
    if (saved) RestoreDC(dc, saved);
}

}  // namespace

void UseBackBuffer(BackBuffer* buffer) { g_backBuffer = buffer ? buffer : &g_ownBackBuffer; }

bool CreateBackBuffer(HDC reference)
{
    ReleaseBackBuffer();
    g_backBuffer->dc.Reset(CreateCompatibleDC(reference));
    g_backBuffer->bitmap.Reset(CreateCompatibleBitmap(reference, ShowArea.width, ShowArea.height));
    if (!g_backBuffer->dc || !g_backBuffer->bitmap) {
        ReleaseBackBuffer();
        return false;
    }
    g_backBuffer->previous = SelectObject(g_backBuffer->dc.Get(), g_backBuffer->bitmap.Get());
    return true;
}

void ReleaseBackBuffer()
{
    if (g_backBuffer->dc && g_backBuffer->previous) SelectObject(g_backBuffer->dc.Get(), g_backBuffer->previous);
    g_backBuffer->previous = nullptr;
    g_backBuffer->bitmap.Reset();
    g_backBuffer->dc.Reset();
}

HDC BackBufferDc() { return g_backBuffer->dc.Get(); }

void RunTransition(HBITMAP picture, HWND window)
{
    if (QuitPending) return;
    WindowDc windowDc(window);
    OwnedMemoryDc pictureDc(CreateCompatibleDC(windowDc.Get()));
    Selection selected(pictureDc.Get(), picture);
    BITMAP size = {};
    GetObjectA(picture, sizeof size, &size);

    const int effect = ChooseEffectNumber();
    const int width = ShowArea.width, height = ShowArea.height;
    HDC back = BackBufferDc();
    PatBlt(back, 0, 0, width, height, BLACKNESS);
    BitBlt(back, (width - size.bmWidth) / 2, (height - size.bmHeight) / 2, size.bmWidth,
           size.bmHeight, pictureDc.Get(), 0, 0, SRCCOPY);

    if (PaletteDisplay()) {
        // Black first, so the old picture never shows in the new picture's colours.
        PatBlt(windowDc.Get(), 0, 0, width, height, BLACKNESS);
        SelectPalette(windowDc.Get(), PicturePalette, FALSE);
        RealizePalette(windowDc.Get());
    }

    WindowCanvas canvas(windowDc.Get(), back);
    RunEffectCompletely(effect, EffectMode::Transition, width, height, canvas);
    if (BirthdayFlag) DrawGreeting(windowDc.Get());
}
