// Finding the palette entry closest to a colour, by squared RGB distance.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picdll/imaging/colour.h"

namespace picdll::imaging {

// Keeps the entries sorted by green and walks outwards from the green asked for,
// stopping in each direction once the green difference alone rules out the rest, so a
// search looks at a handful of entries rather than all of them.
class NearestColour {
public:
    explicit NearestColour(const std::vector<Rgb8>& palette);

    int Find(int r, int g, int b) const;

private:
    struct Entry {
        int r, g, b, index;
    };
    std::vector<Entry> byGreen_;
};

// Searches by the million, as dithering makes: NearestColour's answer for the centre
// of each 64 x 64 x 64 cell of the colour cube, found the first time the cell is asked
// for. An answer may be off by up to two levels in a channel, which error diffusion
// carries into the next pixels like any other error; finer cells or exact searches
// cost two to five times as long for a barely visible gain.
class InverseColourCache {
public:
    explicit InverseColourCache(const std::vector<Rgb8>& palette);

    uint8_t Find(int r, int g, int b)
    {
        const size_t cell = size_t(r >> kCellBits) << (2 * kCellsBits) |
                            size_t(g >> kCellBits) << kCellsBits | size_t(b >> kCellBits);
        uint16_t& answer = answers_[cell];
        if (answer == kUnknown) {
            constexpr int centre = 1 << (kCellBits - 1);
            answer = uint16_t(nearest_.Find(r | centre, g | centre, b | centre));
        }
        return uint8_t(answer);
    }

private:
    static constexpr int kCellBits = 2;               // a cell is 4 levels wide
    static constexpr int kCellsBits = 8 - kCellBits;  // 64 cells along each channel
    static constexpr uint16_t kUnknown = 0xFFFF;

    NearestColour nearest_;
    std::vector<uint16_t> answers_;
};

}  // namespace picdll::imaging
