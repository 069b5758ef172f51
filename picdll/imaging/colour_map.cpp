#include "picdll/imaging/colour_map.h"

namespace picdll::imaging {

ColourMap::ColourMap(size_t maxColours) : maxColours_(maxColours)
{
    // At most half full, so probe sequences stay short.
    size_t slots = 16;
    shift_ = 28;
    while (slots < 2 * maxColours) {
        slots *= 2;
        --shift_;
    }
    keys_.assign(slots, kEmpty);
    values_.assign(slots, 0);
    mask_ = slots - 1;
}

uint32_t* ColourMap::Find(uint32_t colour)
{
    // Fibonacci hashing: the top bits of the product are the well-mixed ones.
    for (size_t i = uint32_t(colour * 2654435761u) >> shift_;; i = (i + 1) & mask_) {
        if (keys_[i] == colour) return &values_[i];
        if (keys_[i] == kEmpty) {
            if (size_ == maxColours_) return nullptr;
            keys_[i] = colour;
            ++size_;
            return &values_[i];
        }
    }
}

}  // namespace picdll::imaging
