// What the whole show shares below its subsystems: the drawing area, the screen's colour
// depth and the flag that stops decoding and drawing once the saver is ending.
#pragma once
#include <cstdint>

struct DrawingArea {
    int32_t width;
    int32_t height;
    float aspect;  // width / height, for picture fitting
};

// The screen in the saver, the preview control in the effects dialog.
extern DrawingArea ShowArea;
// Colour planes times bits per pixel of the screen; 8 or less: a palette display.
// 0 in a process that never measured it (the settings dialog's).
extern int32_t ColourDepth;
// Set, never cleared, once the quit message waits; nothing more is decoded or drawn.
extern int32_t QuitPending;

// Sets the drawing area and its aspect ratio.
void SetShowArea(int32_t width, int32_t height);
bool PaletteDisplay();
