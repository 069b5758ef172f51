// Portable resampling and colour quantising behind PicDLLResizeRGB2, PicDLLResizeReducedRGB
// and PicDLLQuantizeRGBTo8Bit. Images are 24-bit RGB, rows packed, top row first.
#pragma once
#include <cstdint>

namespace picdll {

// Resamples src (sw x sh) into dst (dw x dh): area averaging when reducing, a smooth
// filter when enlarging. Sizes below 1 leave dst untouched. False when memory for the
// work ran out; dst then holds no picture. `sourceReduction`: src was decoded at 1 /
// sourceReduction of the picture's size; the result then looks as the full-size picture
// resampled would.
bool ResizeRGB(const uint8_t* src, int sw, int sh, uint8_t* dst, int dw, int dh, int sourceReduction = 1);

// One colour-table entry as GDI stores it.
struct PaletteEntry {
    uint8_t blue, green, red, reserved;
};

// Chooses at most `colours` (1..256) colours for the picture, writes them to `table`
// (entries past the ones used are black) and one index per pixel into `indices`
// (width x height bytes, rows packed, top row first), with error-diffusion dithering.
// Every index written is below `colours`. False when memory for the work ran out; the
// indices and table then hold no picture.
bool QuantiseRGB(const uint8_t* rgb, int width, int height, uint8_t* indices, int colours,
                 PaletteEntry* table);

}  // namespace picdll
