// The colours of a picture, gathered for choosing its palette.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picdll/imaging/colour.h"

namespace picdll::imaging {

struct ColourPoints {
    std::vector<WeightedColour> colours;
    bool exact = false;  // each is one distinct colour of the picture, not a mean
};

// Every distinct colour with its pixel count when the picture has at most 65536 of them;
// otherwise the mean colour of each occupied cell of a 5-6-5 bit grid over the colour
// cube (green, to which the eye is most sensitive, gets the extra bit).
ColourPoints GatherColours(const uint8_t* rgb, size_t pixels);

}  // namespace picdll::imaging
