#include "picdll/imaging/nearest_colour.h"

#include <algorithm>
#include <climits>

namespace picdll::imaging {

NearestColour::NearestColour(const std::vector<Rgb8>& palette)
{
    byGreen_.reserve(palette.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        byGreen_.push_back({palette[i].r, palette[i].g, palette[i].b, int(i)});
    }
    std::stable_sort(byGreen_.begin(), byGreen_.end(),
                     [](const Entry& a, const Entry& b) { return a.g < b.g; });
}

int NearestColour::Find(int r, int g, int b) const
{
    int best = INT_MAX, nearest = 0;
    // False once the green difference alone is no better than the best so far.
    auto consider = [&](const Entry& e) {
        const int dg = e.g - g;
        if (dg * dg >= best) return false;
        const int dr = e.r - r, db = e.b - b, distance = dr * dr + dg * dg + db * db;
        if (distance < best) {
            best = distance;
            nearest = e.index;
        }
        return true;
    };
    const auto start = std::lower_bound(byGreen_.begin(), byGreen_.end(), g,
                                        [](const Entry& e, int green) { return e.g < green; });
    for (auto it = start; it != byGreen_.end(); ++it) {
        if (!consider(*it)) break;
    }
    for (auto it = start; it != byGreen_.begin();) {
        if (!consider(*--it)) break;
    }
    return nearest;
}

InverseColourCache::InverseColourCache(const std::vector<Rgb8>& palette)
    : nearest_(palette), answers_(size_t(1) << (3 * kCellsBits), kUnknown)
{
}

}  // namespace picdll::imaging
