// The Win32 side of the effects: the back buffer and bringing a picture onto a window.
// Effects pump messages between frames through base/message_pump_win32.h.
#pragma once
#include <windows.h>

#include "base/handles_win32.h"

// Off-screen copy of the next picture, centred on black, of ShowArea's size.
struct BackBuffer {
    OwnedMemoryDc dc;
    OwnedBitmap bitmap;
    HGDIOBJ previous = nullptr;
};
// The back buffer the functions below and the transitions work on: `buffer`, or with
// nullptr the process's own one. A show on several monitors keeps one per monitor.
void UseBackBuffer(BackBuffer* buffer);
bool CreateBackBuffer(HDC reference);
void ReleaseBackBuffer();
HDC BackBufferDc();

// Composes `picture` centred on black in the back buffer and brings it onto `window` with
// the chosen transition effect; the greeting follows on 29 June.
void RunTransition(HBITMAP picture, HWND window);

// Paints the saver window black with a clearing effect of its own choice.
void ClearScreen(HWND window);
