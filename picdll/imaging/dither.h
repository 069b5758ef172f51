// Mapping a picture onto a palette with error diffusion.
#pragma once
#include <cstdint>
#include <vector>

#include "picdll/imaging/colour.h"

namespace picdll::imaging {

// Floyd-Steinberg dithering, scanning rows alternately left to right and right to left
// so the diffused error does not drift one way. Writes one index per pixel.
void Dither(const uint8_t* rgb, int width, int height, const std::vector<Rgb8>& palette,
            uint8_t* indices);

}  // namespace picdll::imaging
