#include "base/show_state.h"

DrawingArea ShowArea = {0, 0, 0.0f};
int32_t ColourDepth = 0;
int32_t QuitPending = 0;

void SetShowArea(int32_t width, int32_t height)
{
    ShowArea.width = width;
    ShowArea.height = height;
    ShowArea.aspect = height != 0 ? static_cast<float>(width) / static_cast<float>(height) : 0.0f;
}

bool PaletteDisplay() { return ColourDepth <= 8; }
