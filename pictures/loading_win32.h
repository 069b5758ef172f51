// Turning the picture in CurrentPath into a bitmap fitted to ShowArea.
#pragma once
#include <windows.h>

// The 236-colour palette of the picture converted last on a palette display.
extern HPALETTE PicturePalette;

// The fitted picture, owned by the caller; none when it could not be read (the failure
// line is then drawn over `window` and a beep sounds) or when the saver is ending.
HBITMAP LoadAndFitPicture(HWND window);
// A device bitmap of an RGB picture for the screen's colour depth.
HBITMAP MakeScreenBitmap(const BYTE* rgb, int width, int height);
void MakePicturePalette();
// A logical palette (version 0x300, flags 0) of the first `count` (up to 256) colours of a
// bitmap colour table.
HPALETTE CreatePaletteFromColourTable(const RGBQUAD* table, int count);
void DeletePicturePalette();
