// The Win32 side of the effects: the back buffer and bringing a picture onto a window.
// Effects pump messages between frames through base/message_pump_win32.h.
#pragma once
#include <windows.h>

// Off-screen copy of the next picture, centred on black, of ShowArea's size.
bool CreateBackBuffer(HDC reference);
void ReleaseBackBuffer();
HDC BackBufferDc();

// Composes `picture` centred on black in the back buffer and brings it onto `window` with
// the chosen transition effect; the greeting follows on 29 June.
void RunTransition(HBITMAP picture, HWND window);

// Paints the saver window black with a clearing effect of its own choice.
void ClearScreen(HWND window);
