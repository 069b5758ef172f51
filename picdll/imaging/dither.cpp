#include "picdll/imaging/dither.h"

#include <algorithm>
#include <utility>

#include "picdll/imaging/nearest_colour.h"

namespace picdll::imaging {
namespace {

// Sixteenths to whole units, rounding halves away from zero alike for either sign.
int FromSixteenths(int value) { return value >= 0 ? (value + 8) / 16 : -((8 - value) / 16); }

}  // namespace

void Dither(const uint8_t* rgb, int width, int height, const std::vector<Rgb8>& palette,
            uint8_t* indices)
{
    InverseColourCache cache(palette);
    // Errors carried into this row and the next, in sixteenths, with a spare pixel at
    // either end so the edges need no special case.
    const size_t span = (size_t(width) + 2) * 3;
    std::vector<int> here(span), below(span);
    for (int y = 0; y < height; ++y) {
        const bool forward = y % 2 == 0;
        const int step = forward ? 1 : -1;
        const size_t row = size_t(y) * size_t(width);
        for (int i = 0; i < width; ++i) {
            const int x = forward ? i : width - 1 - i;
            const uint8_t* pixel = rgb + (row + size_t(x)) * 3;
            int* error = &here[size_t(x + 1) * 3];
            int wanted[3];
            for (int c = 0; c < 3; ++c) {
                wanted[c] = std::clamp(pixel[c] + FromSixteenths(error[c]), 0, 255);
            }
            const uint8_t index = cache.Find(wanted[0], wanted[1], wanted[2]);
            indices[row + size_t(x)] = index;
            const Rgb8& chosen = palette[index];
            const int residual[3] = {wanted[0] - chosen.r, wanted[1] - chosen.g,
                                     wanted[2] - chosen.b};
            int* ahead = error + step * 3;
            int* under = &below[size_t(x + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                ahead[c] += residual[c] * 7;
                under[c - step * 3] += residual[c] * 3;
                under[c] += residual[c] * 5;
                under[c + step * 3] += residual[c];
            }
        }
        std::swap(here, below);
        std::fill(below.begin(), below.end(), 0);
    }
}

}  // namespace picdll::imaging
