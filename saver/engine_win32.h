// The picture-show engine: ScreenSaverProc (declared with the host frame) and its helpers.
#pragma once
#include <windows.h>

// Copies the whole bitmap onto the saver window with its top-left corner at (x, y).
void DrawBitmapAt(HBITMAP bitmap, int x, int y);
// A device bitmap from an RT_BITMAP resource, realised through its own colour table.
HBITMAP LoadResourceBitmap(HINSTANCE instance, int id);
// Whether the monitors other than the primary one have shows of their own (the monitors
// setting, with pictures to show and more than one monitor); otherwise they get covers.
bool ShowsOnEveryMonitor();
