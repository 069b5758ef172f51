#include <cmath>

#include "picdll/jpeg/idct.h"

namespace picdll::jpeg {

namespace {

// Fixed point as in the 8x8 transform: weights scaled by 2^13, two extra bits kept between
// the passes, so that a lone DC term lands on the same level at every size.
constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;
constexpr int kPass1Shift = kConstBits - kPass1Bits;
constexpr int kPass2Shift = kConstBits + kPass1Bits + 3;

// w[m][u]: the weight of term u in sample m of a row reduced to n samples, times 2^13:
// a(u) cos((2m + 1) u pi / 2n), a(0) = 1 and a(u) = sqrt(2) otherwise, for the n lowest
// terms; the higher ones are finer than n samples can show and are left out. Sample m sits
// at the centre of pixels 8m/n .. 8(m + 1)/n - 1 of the full block, where the 8-point
// basis cos((2x + 1) u pi / 16) takes exactly these values: the samples are those of the
// block's picture with its finest terms taken away. (Taking the mean of the 8/n pixels
// instead needs the high terms too and, fitted to the screen, looks a little softer.)
// Four terms of at most 32767 times at most 11585 stay well inside 32 bits.
struct Weights {
    int32_t w[4][4] = {};
    explicit Weights(int n)
    {
        const double pi = std::acos(-1.0);
        for (int m = 0; m < n; ++m)
            for (int u = 0; u < n; ++u) {
                const double a = u == 0 ? 1.0 : std::sqrt(2.0);
                w[m][u] = int32_t(std::lround(a * std::cos((2 * m + 1) * u * pi / (2 * n)) * (1 << kConstBits)));
            }
    }
};

int16_t ClampBetween(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
uint8_t ClampSample(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// The n samples of the terms x[0..terms-1] (the rest zero), unscaled. Sample n - 1 - m
// mirrors sample m, so its weights are those of m with the odd terms' signs changed.
void Transform(const Weights& k, int n, const int32_t* x, int terms, int32_t* y)
{
    for (int m = 0; m < n / 2; ++m) {
        int32_t even = 0, odd = 0;
        for (int u = 0; u < terms; u += 2) even += k.w[m][u] * x[u];
        for (int u = 1; u < terms; u += 2) odd += k.w[m][u] * x[u];
        y[m] = even + odd;
        y[n - 1 - m] = even - odd;
    }
}

// What the first pass makes of a lone first term (its weight is exactly 2^13).
int16_t FirstPassOfLoneTerm(int32_t x) { return ClampBetween(x * (1 << kPass1Bits)); }

}  // namespace

void InverseDctReduced(const int16_t coef[64], int n, uint8_t* out, ptrdiff_t stride)
{
    constexpr int32_t kBias = (1 << (kPass2Shift - 1)) + (128 << kPass2Shift);
    if (n == 1) {
        // Every other basis function averages to nothing over the block.
        *out = ClampSample((FirstPassOfLoneTerm(coef[0]) * (1 << kConstBits) + kBias) >> kPass2Shift);
        return;
    }
    static const Weights four(4), two(2);
    const Weights& k = n == 4 ? four : two;
    // between[m][u]: column u of the block reduced to n samples.
    int32_t between[4][4], x[4], y[4];
    int columns = 0;  // the columns after the last that holds a term are all zero
    for (int u = 0; u < n; ++u) {
        int terms = 0;
        for (int v = 0; v < n; ++v) {
            x[v] = coef[8 * v + u];
            if (x[v] != 0) terms = v + 1;
        }
        if (terms > 0) columns = u + 1;
        if (terms <= 1) {
            for (int m = 0; m < n; ++m) between[m][u] = FirstPassOfLoneTerm(x[0]);
            continue;
        }
        Transform(k, n, x, terms, y);
        for (int m = 0; m < n; ++m) between[m][u] = ClampBetween((y[m] + (1 << (kPass1Shift - 1))) >> kPass1Shift);
    }
    for (int m = 0; m < n; ++m, out += stride) {
        if (columns <= 1) {
            const uint8_t flat = ClampSample((between[m][0] * (1 << kConstBits) + kBias) >> kPass2Shift);
            for (int i = 0; i < n; ++i) out[i] = flat;
            continue;
        }
        Transform(k, n, between[m], columns, y);
        for (int i = 0; i < n; ++i) out[i] = ClampSample((y[i] + kBias) >> kPass2Shift);
    }
}

}  // namespace picdll::jpeg
