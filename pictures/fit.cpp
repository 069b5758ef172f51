#include "pictures/fit.h"

#include <algorithm>
#include <cstdint>

namespace {

// side - side / (other / shrink), or side + side / (other / growth), in double precision as
// written: these come out one pixel short in places (1469 x 1469 on 1024 x 768 gives 767 by
// 768) and are kept so. A difference of 0 leaves the side as it is. The result is never
// below one pixel, so that a very thin picture still shows instead of vanishing.
int Shrunk(double side, double other, int shrink)
{
    if (shrink == 0) return static_cast<int>(side);
    return std::max(1, static_cast<int>(side - side / (other / shrink)));
}

int Grown(double side, double other, int growth)
{
    if (growth == 0) return static_cast<int>(side);
    return std::max(1, static_cast<int>(side + side / (other / growth)));
}

}  // namespace

FittedSize FitToArea(int width, int height, int areaWidth, int areaHeight, float areaAspect,
                     bool reduce, bool enlarge)
{
    const FittedSize unscaled = {false, width, height};
    const float fW = static_cast<float>(width);
    const float fH = static_cast<float>(height);
    const float aspect = fW / fH;
    const bool wide = aspect > areaAspect;

    if (width - areaWidth > 0 || height - areaHeight > 0) {
        if (!reduce) return unscaled;
        if (wide) return {true, areaWidth, Shrunk(fH, fW, width - areaWidth)};
        return {true, Shrunk(fW, fH, height - areaHeight), areaHeight};
    }
    if (width == areaWidth && height == areaHeight) return unscaled;
    if (!enlarge) return unscaled;
    if (wide) return {true, areaWidth, Grown(fH, fW, areaWidth - width)};
    return {true, Grown(fW, fH, areaHeight - height), areaHeight};
}

int FitReduction(const FittedSize& fit, int width, int height)
{
    if (!fit.scaled || int64_t(fit.width) * 2 > width || int64_t(fit.height) * 2 > height) return 1;
    // Fitted from a grid only a little larger than itself, a pixel's edges fall inside a
    // reduced pixel whose parts can no longer be told apart; fine texture then loses more
    // at 1/4 and 1/8 than it does at 1/2, so those keep a margin.
    const auto covers = [&](int d) {
        const int64_t twentieths = d == 2 ? 20 : 13;
        return int64_t(fit.width) * 20 <= width / d * twentieths && int64_t(fit.height) * 20 <= height / d * twentieths;
    };
    int reduction = 1;
    for (int d = 2; d <= 8 && covers(d); d *= 2)
        if (width % d == 0 && height % d == 0) reduction = d;
    return reduction;
}
