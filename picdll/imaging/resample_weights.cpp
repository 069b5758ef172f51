#include "picdll/imaging/resample_weights.h"

#include <algorithm>
#include <cmath>

namespace picdll::imaging {
namespace {

// Real-valued weights of one output pixel over source pixels first, first + 1, ...
class Kernel {
public:
    Kernel(int lo, int hi, int sourceSize)
        : first_(std::max(lo, 0)), weights_(size_t(std::min(hi, sourceSize - 1) - first_ + 1))
    {
    }

    void Add(int index, double weight) { weights_[size_t(index - first_)] += weight; }

    // Appends the weights in fixed point, without the zeros at either end. Rounding the
    // running total rather than each weight keeps every weight within one unit of its
    // real value and makes them add up to exactly kWeightOne, so flat areas stay flat.
    void AppendTo(AxisWeights& axis) const
    {
        size_t begin = 0, end = weights_.size();
        while (end - begin > 1 && weights_[begin] == 0) ++begin;
        while (end - begin > 1 && weights_[end - 1] == 0) --end;
        axis.taps.push_back({first_ + int(begin), int(end - begin), int(axis.weights.size())});
        double total = 0;
        int32_t previous = 0;
        for (size_t i = begin; i < end; ++i) {
            total += weights_[i];
            const int32_t now =
                i + 1 == end ? kWeightOne : int32_t(std::lround(total * kWeightOne));
            axis.weights.push_back(now - previous);
            previous = now;
        }
    }

private:
    int first_;
    std::vector<double> weights_;
};

// Mirrors an index that is at most one step outside 0..size-1 back inside. Mirroring
// keeps a pixel's neighbour on the other parity, which the smoothing below relies on.
int Reflect(int index, int size)
{
    if (index < 0) index = -index;
    if (index >= size) index = 2 * (size - 1) - index;
    return std::clamp(index, 0, size - 1);
}

// Reduction: the exact area the output pixel covers (source pixels weighted by how much
// of each lies inside it), taken over the source smoothed by [1 2 1] / 4. A plain box
// with fractional coverage lets the finest detail (a one-pixel checkerboard) through as
// a beat pattern whenever the ratio is not an even number; the [1 2 1] step removes
// exactly that detail and leaves the averages of larger areas unchanged.
// A source already reduced by `sourceReduction` has lost that detail when it was reduced;
// it is smoothed as the full picture would have been ([a 1-2a a] with the same spread in
// full pixels, a = 1/4r^2), since [1 2 1] on its coarser grid would blur r times wider.
Kernel AreaKernel(int out, int sourceSize, int targetSize, int sourceReduction)
{
    const double side = 0.25 / (double(sourceReduction) * sourceReduction), middle = 1 - 2 * side;
    // The covered span in units of 1 / targetSize source pixels, so exact in integers.
    const int64_t start = int64_t(out) * sourceSize, end = start + sourceSize;
    const int lo = int(start / targetSize), hi = int((end - 1) / targetSize);
    Kernel kernel(lo - 1, hi + 1, sourceSize);
    for (int i = lo; i <= hi; ++i) {
        const int64_t overlap = std::min(end, int64_t(i + 1) * targetSize) -
                                std::max(start, int64_t(i) * targetSize);
        const double share = double(overlap) / double(sourceSize);
        kernel.Add(Reflect(i - 1, sourceSize), share * side);
        kernel.Add(i, share * middle);
        kernel.Add(Reflect(i + 1, sourceSize), share * side);
    }
    return kernel;
}

// Enlargement: Catmull-Rom interpolation at the output pixel's centre, with pixel centres
// aligned so the picture neither shifts nor loses its edges. Its slight overshoot at
// sharp edges is clipped when the result is stored.
Kernel CubicKernel(int out, int sourceSize, int targetSize)
{
    const double x = (out + 0.5) * sourceSize / targetSize - 0.5;
    const int base = int(std::floor(x));
    const double t = x - base, t2 = t * t, t3 = t2 * t;
    const double weights[4] = {(-t3 + 2 * t2 - t) / 2, (3 * t3 - 5 * t2 + 2) / 2,
                               (-3 * t3 + 4 * t2 + t) / 2, (t3 - t2) / 2};
    auto clampIndex = [&](int i) { return std::clamp(i, 0, sourceSize - 1); };
    Kernel kernel(clampIndex(base - 1), clampIndex(base + 2), sourceSize);
    for (int k = 0; k < 4; ++k) kernel.Add(clampIndex(base - 1 + k), weights[k]);
    return kernel;
}

}  // namespace

AxisWeights BuildAxisWeights(int sourceSize, int targetSize, int sourceReduction)
{
    AxisWeights axis;
    axis.taps.reserve(size_t(targetSize));
    for (int out = 0; out < targetSize; ++out) {
        if (targetSize == sourceSize && sourceReduction == 1) {
            axis.taps.push_back({out, 1, int(axis.weights.size())});
            axis.weights.push_back(kWeightOne);
        } else if (targetSize <= sourceSize) {
            AreaKernel(out, sourceSize, targetSize, sourceReduction).AppendTo(axis);
        } else {
            CubicKernel(out, sourceSize, targetSize).AppendTo(axis);
        }
    }
    return axis;
}

}  // namespace picdll::imaging
