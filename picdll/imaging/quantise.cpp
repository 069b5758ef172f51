// Colour quantising: gather the picture's colours, choose a palette from them, then map
// every pixel onto it, with dithering unless the palette holds every colour exactly.
#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "picdll/imaging.h"
#include "picdll/imaging/colour_map.h"
#include "picdll/imaging/colour_points.h"
#include "picdll/imaging/dither.h"
#include "picdll/imaging/palette_choice.h"

namespace picdll {
namespace {

using imaging::Rgb8;

std::vector<Rgb8> ExactPalette(const imaging::ColourPoints& points)
{
    std::vector<Rgb8> palette;
    for (const imaging::WeightedColour& p : points.colours) {
        palette.push_back({uint8_t(p.channel[0]), uint8_t(p.channel[1]), uint8_t(p.channel[2])});
    }
    return palette;
}

void MapExactly(const uint8_t* rgb, size_t pixels, const std::vector<Rgb8>& palette,
                uint8_t* indices)
{
    imaging::ColourMap index(palette.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        const uint8_t colour[3] = {palette[i].r, palette[i].g, palette[i].b};
        *index.Find(imaging::Pack(colour)) = uint32_t(i);
    }
    for (size_t i = 0; i < pixels; ++i, rgb += 3) {
        indices[i] = uint8_t(*index.Find(imaging::Pack(rgb)));
    }
}

}  // namespace

bool QuantiseRGB(const uint8_t* rgb, int width, int height, uint8_t* indices, int colours,
                 PaletteEntry* table)
{
    if (width < 1 || height < 1) return true;
    colours = std::clamp(colours, 1, 256);
    const size_t pixels = size_t(width) * size_t(height);
    std::vector<Rgb8> palette;
    try {
        imaging::ColourPoints points = imaging::GatherColours(rgb, pixels);
        if (points.exact && points.colours.size() <= size_t(colours)) {
            palette = ExactPalette(points);
            MapExactly(rgb, pixels, palette, indices);
        } else {
            palette = imaging::ChoosePalette(std::move(points.colours), colours);
            imaging::Dither(rgb, width, height, palette, indices);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memset(table, 0, sizeof(PaletteEntry) * size_t(colours));
    for (size_t i = 0; i < palette.size(); ++i) {
        table[i] = {palette[i].b, palette[i].g, palette[i].r, 0};
    }
    return true;
}

}  // namespace picdll
