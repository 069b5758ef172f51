#include "picdll/imaging/colour_points.h"

#include "picdll/imaging/colour_map.h"

namespace picdll::imaging {
namespace {

constexpr size_t kMaxExactColours = 1 << 16;

bool CountDistinct(const uint8_t* rgb, size_t pixels, ColourPoints& points)
{
    ColourMap counts(kMaxExactColours);
    for (size_t i = 0; i < pixels; ++i, rgb += 3) {
        uint32_t* count = counts.Find(Pack(rgb));
        if (!count) return false;
        ++*count;
    }
    points.colours.reserve(counts.size());
    counts.ForEach([&](uint32_t colour, uint32_t count) {
        points.colours.push_back({{double(colour >> 16), double(colour >> 8 & 0xFF),
                                   double(colour & 0xFF)},
                                  double(count)});
    });
    points.exact = true;
    return true;
}

void AverageCells(const uint8_t* rgb, size_t pixels, ColourPoints& points)
{
    struct Cell {
        uint64_t count, sum[3];
    };
    std::vector<Cell> cells(size_t(1) << 16);
    for (size_t i = 0; i < pixels; ++i, rgb += 3) {
        Cell& cell = cells[size_t(rgb[0] >> 3) << 11 | size_t(rgb[1] >> 2) << 5 | rgb[2] >> 3];
        ++cell.count;
        for (int c = 0; c < 3; ++c) cell.sum[c] += rgb[c];
    }
    for (const Cell& cell : cells) {
        if (!cell.count) continue;
        const double n = double(cell.count);
        points.colours.push_back(
            {{double(cell.sum[0]) / n, double(cell.sum[1]) / n, double(cell.sum[2]) / n}, n});
    }
}

}  // namespace

ColourPoints GatherColours(const uint8_t* rgb, size_t pixels)
{
    ColourPoints points;
    if (!CountDistinct(rgb, pixels, points)) AverageCells(rgb, pixels, points);
    return points;
}

}  // namespace picdll::imaging
