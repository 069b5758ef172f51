// How each output pixel along one axis is made from source pixels: a run of fixed-point
// weights for every output position.
#pragma once
#include <cstdint>
#include <vector>

namespace picdll::imaging {

constexpr int kWeightBits = 14;
constexpr int32_t kWeightOne = 1 << kWeightBits;

struct Taps {
    int first;   // first source pixel
    int count;   // source pixels first .. first + count - 1
    int offset;  // of their weights in AxisWeights::weights
};

struct AxisWeights {
    std::vector<Taps> taps;        // one per output pixel
    std::vector<int32_t> weights;  // each output's weights add up to exactly kWeightOne
};

// Reducing averages the area each output pixel covers; enlarging interpolates with a
// Catmull-Rom cubic; equal sizes copy. `sourceReduction` > 1: the source is a picture
// already reduced by that factor, smoothed as its full size would have been, at equal
// sizes too (the full picture would have been reduced).
AxisWeights BuildAxisWeights(int sourceSize, int targetSize, int sourceReduction = 1);

}  // namespace picdll::imaging
