// The saver window and the preview flag: set by the host frame, read wherever the show
// draws outside an effect (the failure line and the picture palette go on this window).
#pragma once
#include <windows.h>

// None until the window's creation has returned, and none in the settings process.
extern HWND SaverWindow;
// 1: the saver runs as a child of the display settings' preview window.
extern int PreviewMode;
