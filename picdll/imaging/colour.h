// Colour types shared by the quantiser's stages.
#pragma once
#include <cstdint>

namespace picdll::imaging {

struct Rgb8 {
    uint8_t r, g, b;
};

// The mean colour of a group of pixels, and how many pixels it stands for.
struct WeightedColour {
    double channel[3];  // red, green, blue
    double weight;
};

inline uint32_t Pack(const uint8_t* rgb) { return uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2]; }

}  // namespace picdll::imaging
