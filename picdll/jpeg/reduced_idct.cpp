#include "picdll/jpeg/idct.h"

#include <cmath>
#include <cstring>

#include "picdll/simd.h"

namespace picdll::jpeg {

namespace {

// Fixed point as in the 8x8 transform: weights scaled by 2^13, two extra bits kept between
// the passes, so that a lone DC term lands on the same level at every size.
constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;
constexpr int kPass1Shift = kConstBits - kPass1Bits;
constexpr int kPass2Shift = kConstBits + kPass1Bits + 3;

// The four-sample row: sample m of 4 weighs term u by a(u) cos((2m + 1) u pi / 8), a(0) = 1
// and a(u) = sqrt(2) otherwise, for the four lowest terms; the higher ones are finer than
// four samples can show and are left out. Sample m sits at the centre of pixels 2m and 2m + 1
// of the full block, where the 8-point basis cos((2x + 1) u pi / 16) takes exactly these
// values: the samples are those of the block's picture with its finest terms taken away.
// (Taking the mean of the two pixels instead needs the high terms too and, fitted to the
// screen, looks a little softer.) Times 2^13: a(1) cos(pi / 8) = 10703, a(1) cos(3 pi / 8)
// = 4433, a(2) cos(pi / 4) = 1. With int16 terms every sum stays inside 32 bits.
constexpr int32_t kNear = 10703, kFar = 4433;

int16_t ClampBetween(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
uint8_t ClampSample(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// What the first pass makes of a lone first term (its weight is exactly 2^13).
int16_t FirstPassOfLoneTerm(int32_t x) { return ClampBetween(x * (1 << kPass1Bits)); }

}  // namespace

#if PICDLL_SSE2

namespace {

#define SSE2 PICDLL_SSE2_FUNCTION

// The four-sample row on four lanes at once, from the int16 terms x0..x3 of each lane (in the low
// halves); y[i] gets sample i of each lane, rounded with `bias`, shifted and saturated to
// int16 as the scalar passes do.
SSE2 void Transform4Sse2(__m128i x0, __m128i x1, __m128i x2, __m128i x3, int shift, int32_t bias, __m128i y[4])
{
    auto pair = [](int a, int b) { return _mm_set_epi16(short(b), short(a), short(b), short(a), short(b), short(a), short(b), short(a)); };
    const __m128i x02 = _mm_unpacklo_epi16(x0, x2), x13 = _mm_unpacklo_epi16(x1, x3);
    constexpr int kOne = 1 << kConstBits;
    const __m128i even0 = _mm_madd_epi16(x02, pair(kOne, kOne)), even1 = _mm_madd_epi16(x02, pair(kOne, -kOne));
    const __m128i odd0 = _mm_madd_epi16(x13, pair(kNear, kFar)), odd1 = _mm_madd_epi16(x13, pair(kFar, -kNear));
    const __m128i round = _mm_set1_epi32(bias);
    auto descale = [&](__m128i v) {
        return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(v, round), shift), _mm_setzero_si128());
    };
    y[0] = descale(_mm_add_epi32(even0, odd0));
    y[1] = descale(_mm_add_epi32(even1, odd1));
    y[2] = descale(_mm_sub_epi32(even1, odd1));
    y[3] = descale(_mm_sub_epi32(even0, odd0));
}

// A 4x4 matrix of int16 held a row a vector (low halves), turned to a column a vector.
SSE2 void Transpose4(__m128i r[4])
{
    const __m128i a = _mm_unpacklo_epi16(r[0], r[1]), b = _mm_unpacklo_epi16(r[2], r[3]);
    const __m128i low = _mm_unpacklo_epi32(a, b), high = _mm_unpackhi_epi32(a, b);
    r[0] = low;
    r[1] = _mm_srli_si128(low, 8);
    r[2] = high;
    r[3] = _mm_srli_si128(high, 8);
}

SSE2 void InverseDct4Sse2(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
    __m128i r[4];
    for (int v = 0; v < 4; ++v) r[v] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(coef + 8 * v));
    __m128i t[4];
    Transform4Sse2(r[0], r[1], r[2], r[3], kPass1Shift, 1 << (kPass1Shift - 1), t);  // t[m]: row m
    Transpose4(t);                                                                    // t[u]: column u
    Transform4Sse2(t[0], t[1], t[2], t[3], kPass2Shift, (1 << (kPass2Shift - 1)) + (128 << kPass2Shift), r);
    Transpose4(r);  // r[m]: output row m
    for (int m = 0; m < 4; ++m, out += stride) {
        const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(r[m], r[m]));
        std::memcpy(out, &bytes, 4);
    }
}

#undef SSE2

}  // namespace

#endif

namespace {

// Sample m of an n-point row (n = 1, 2, 3, 4, 6, 8) weighs term u by a(u) cos((2m + 1) u pi / 2n),
// times 2^13: the block's picture at the centres of n equal parts of it, as above.
struct UnevenWeights {
    int32_t w[9][8][8] = {};  // [n][m][u]

    UnevenWeights()
    {
        const double pi = 3.14159265358979323846;
        for (int n : kSides)
            for (int m = 0; m < n; ++m)
                for (int u = 0; u < n; ++u)
                    w[n][m][u] = int32_t(std::lround((u ? std::sqrt(2.0) : 1.0) *
                                                     std::cos((2 * m + 1) * u * pi / (2 * n)) * (1 << kConstBits)));
    }

    static constexpr int kSides[] = {1, 2, 3, 4, 6, 8};
};

const UnevenWeights kUnevenWeights;

int SideIndex(int n) { return n == 1 ? 0 : n == 2 ? 1 : n == 3 ? 2 : n == 4 ? 3 : n == 6 ? 4 : 5; }

// The n samples of n terms: sample n - 1 - m weighs even terms as sample m does and odd ones
// negated, so each pair costs one sum of each (the middle sample of an odd n weighs odd
// terms by 0).
template <int n>
void UnevenPass(const int32_t (*w)[8], const int32_t* x, int32_t* y)
{
    for (int m = 0; m < (n + 1) / 2; ++m) {
        int32_t even = 0, odd = 0;
        for (int u = 0; u < n; ++u) (u & 1 ? odd : even) += w[m][u] * x[u];
        y[m] = even + odd;
        y[n - 1 - m] = even - odd;
    }
}

// Sizes fixed at compile time, so that the loops unroll: a 4:2:2 photo has as many such
// blocks as luma blocks.
template <int across, int down>
void UnevenBlock(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
    const int32_t(*columns)[8] = kUnevenWeights.w[down];
    const int32_t(*rows)[8] = kUnevenWeights.w[across];
    constexpr int32_t kBias = (1 << (kPass2Shift - 1)) + (128 << kPass2Shift);
    int32_t t[down][across], x[down], y[8];
    bool flat_rows = true;
    for (int u = 0; u < across; ++u) {
        int32_t higher = 0;
        for (int v = 0; v < down; ++v) {
            x[v] = coef[8 * v + u];
            higher |= v ? x[v] : 0;
        }
        if (higher == 0) {
            for (int m = 0; m < down; ++m) t[m][u] = FirstPassOfLoneTerm(x[0]);
        } else {
            UnevenPass<down>(columns, x, y);
            for (int m = 0; m < down; ++m) t[m][u] = ClampBetween((y[m] + (1 << (kPass1Shift - 1))) >> kPass1Shift);
        }
        for (int m = 0; m < down && u > 0; ++m) flat_rows &= t[m][u] == 0;
    }
    for (int m = 0; m < down; ++m, out += stride) {
        if (flat_rows) {
            const uint8_t level = ClampSample((t[m][0] * (1 << kConstBits) + kBias) >> kPass2Shift);
            for (int i = 0; i < across; ++i) out[i] = level;
            continue;
        }
        UnevenPass<across>(rows, t[m], y);
        for (int i = 0; i < across; ++i) out[i] = ClampSample((y[i] + kBias) >> kPass2Shift);
    }
}

using UnevenTransform = void (*)(const int16_t*, uint8_t*, ptrdiff_t);

template <int across>
constexpr UnevenTransform kUnevenDown[6] = {UnevenBlock<across, 1>, UnevenBlock<across, 2>, UnevenBlock<across, 3>,
                                            UnevenBlock<across, 4>, UnevenBlock<across, 6>, UnevenBlock<across, 8>};
constexpr const UnevenTransform* kUneven[6] = {kUnevenDown<1>, kUnevenDown<2>, kUnevenDown<3>,
                                               kUnevenDown<4>, kUnevenDown<6>, kUnevenDown<8>};

}  // namespace

void InverseDctReduced(const int16_t coef[64], int n, uint8_t* out, ptrdiff_t stride)
{
#if PICDLL_SSE2
    if (n == 4 && UseSse2()) return InverseDct4Sse2(coef, out, stride);
#endif
    InverseDctReducedPortable(coef, n, out, stride);
}

void InverseDctReducedPortable(const int16_t coef[64], int n, uint8_t* out, ptrdiff_t stride)
{
    kUneven[SideIndex(n)][SideIndex(n)](coef, out, stride);
}

// Plain sums, skipping what is zero: most colour blocks hold little beyond their first terms.
// Every sum stays inside 32 bits: the weights of a sample add up to less than 2^16, and the
// terms are int16.
void InverseDctUneven(const int16_t coef[64], int across, int down, uint8_t* out, ptrdiff_t stride)
{
    if (across == 8 && down == 4 && InverseDct8x4Vector(coef, out, stride)) return;
    kUneven[SideIndex(across)][SideIndex(down)](coef, out, stride);
}

}  // namespace picdll::jpeg
