// The colours a paletted BMP picture's indices refer to.
#pragma once
#include <cstdint>
#include <cstring>

#include "picdll/bmp/bmp_layout.h"

namespace picdll::bmp {

class Palette {
public:
    Palette(const uint8_t* data, const Layout& layout);

    // Writes the RGB colour of `index` (0..255); indices past the palette the file holds
    // are black. Returns true for such an index.
    bool Put(unsigned index, uint8_t* rgb) const
    {
        std::memcpy(rgb, colours_[index], 3);
        return index >= entries_;
    }

private:
    uint8_t colours_[256][3] = {};
    unsigned entries_ = 0;
};

}  // namespace picdll::bmp
