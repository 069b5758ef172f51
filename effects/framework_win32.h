// The Win32 side of the effects: the back buffer, the message pump between frames, and
// bringing a picture onto a window.
#pragma once
#include <windows.h>

// Off-screen copy of the next picture, centred on black, of ShowArea's size.
bool CreateBackBuffer(HDC reference);
void ReleaseBackBuffer();
HDC BackBufferDc();

// Dispatches at most one waiting message; 1 when the quit message waits (QuitPending is
// then set and the message left in the queue), else 0.
int YieldToInput();

// Composes `picture` centred on black in the back buffer and brings it onto `window` with
// the chosen transition effect; the greeting follows on 29 June.
void RunTransition(HBITMAP picture, HWND window);

// Paints the saver window black with a clearing effect of its own choice.
void ClearScreen(HWND window);
