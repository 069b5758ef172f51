#include "picdll/jpeg/idct.h"

#include <cstring>

#include "picdll/simd.h"

namespace picdll::jpeg {

namespace {

// The Loeffler-Ligtenberg-Moschytz factorisation with cosine constants scaled by 2^13
// (e.g. 4433 = sqrt(2) * cos(3pi/8) * 2^13), columns first, then rows: the arithmetic of
// libjpeg's islow transform, so both round alike. Every output is written as a sum of
// two-term products: with int16 inputs no partial sum leaves 32 bits, and it is the
// form SSE2's multiply-add computes.
constexpr int kC0_298 = 2446, kC0_390 = 3196, kC0_541 = 4433, kC0_765 = 6270;
constexpr int kC0_899 = 7373, kC1_175 = 9633, kC1_501 = 12299, kC1_847 = 15137;
constexpr int kC1_961 = 16069, kC2_053 = 16819, kC2_562 = 20995, kC3_072 = 25172;

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;  // extra precision kept between the passes
constexpr int kPass1Shift = kConstBits - kPass1Bits;
constexpr int kPass2Shift = kConstBits + kPass1Bits + 3;

// Even part: weights of (x0, x4) and (x2, x6).
constexpr int kDc = 1 << kConstBits;
constexpr int kEvenA = kC0_541 + kC0_765;
constexpr int kEvenB = kC0_541;
constexpr int kEvenC = kC0_541 - kC1_847;

// Odd part: weights of x1, x3, x5, x7 in each of the four odd terms.
struct OddWeights {
    int x1, x3, x5, x7;
};
constexpr OddWeights kOdd[4] = {
    {kC1_175 - kC0_899, kC1_175 - kC1_961, kC1_175, kC0_298 - kC0_899 + kC1_175 - kC1_961},
    {kC1_175 - kC0_390, kC1_175 - kC2_562, kC2_053 - kC2_562 + kC1_175 - kC0_390, kC1_175},
    {kC1_175, kC3_072 - kC2_562 + kC1_175 - kC1_961, kC1_175 - kC2_562, kC1_175 - kC1_961},
    {kC1_501 - kC0_899 + kC1_175 - kC0_390, kC1_175, kC1_175 - kC0_390, kC1_175 - kC0_899},
};

uint8_t ClampSample(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// One 8-point transform of x[0], x[step], ... x[7 * step].
template <typename T>
void Transform(const T* x, int step, int32_t y[8])
{
    int32_t x0 = x[0], x1 = x[step], x2 = x[2 * step], x3 = x[3 * step];
    int32_t x4 = x[4 * step], x5 = x[5 * step], x6 = x[6 * step], x7 = x[7 * step];
    int32_t e0 = kDc * x0 + kDc * x4, e1 = kDc * x0 - kDc * x4;
    int32_t t3 = kEvenA * x2 + kEvenB * x6, t2 = kEvenB * x2 + kEvenC * x6;
    int32_t even[4] = {e0 + t3, e1 + t2, e1 - t2, e0 - t3};
    int32_t odd[4];
    for (int i = 0; i < 4; ++i) {
        const OddWeights& w = kOdd[i];
        odd[i] = w.x1 * x1 + w.x3 * x3 + w.x5 * x5 + w.x7 * x7;
    }
    for (int i = 0; i < 4; ++i) {
        y[i] = even[i] + odd[3 - i];
        y[7 - i] = even[i] - odd[3 - i];
    }
}

// What the two passes make of a lone first term: times 2^kPass1Bits after the first,
// then rounded and divided by 2^(kPass1Bits + 3) after the second.
int16_t FirstPassOfLoneTerm(int32_t x) { return ClampCoefficient(x * (1 << kPass1Bits)); }
uint8_t SecondPassOfLoneTerm(int32_t x) { return ClampSample(((x + 16) >> 5) + 128); }

void Fill8(uint8_t* out, uint8_t value)
{
    uint64_t v = value * 0x0101010101010101ull;
    std::memcpy(out, &v, 8);
}

}  // namespace

void InverseDctPortable(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
    // Most columns and rows of a block hold nothing beyond their first term; those
    // short-cuts give exactly what the full transform would.
    int16_t between[64];
    int32_t y[8];
    for (int u = 0; u < 8; ++u) {
        const int16_t* x = coef + u;
        if ((x[8] | x[16] | x[24] | x[32] | x[40] | x[48] | x[56]) == 0) {
            int16_t v = FirstPassOfLoneTerm(x[0]);
            for (int n = 0; n < 8; ++n) between[8 * n + u] = v;
            continue;
        }
        Transform(x, 8, y);
        for (int n = 0; n < 8; ++n)
            between[8 * n + u] = ClampCoefficient((y[n] + (1 << (kPass1Shift - 1))) >> kPass1Shift);
    }
    for (int n = 0; n < 8; ++n, out += stride) {
        const int16_t* x = between + 8 * n;
        if ((x[1] | x[2] | x[3] | x[4] | x[5] | x[6] | x[7]) == 0) {
            Fill8(out, SecondPassOfLoneTerm(x[0]));
            continue;
        }
        Transform(x, 1, y);
        for (int m = 0; m < 8; ++m)
            out[m] = ClampSample(((y[m] + (1 << (kPass2Shift - 1))) >> kPass2Shift) + 128);
    }
}

void InverseDctFlat(int16_t dc, uint8_t* out, ptrdiff_t stride)
{
    uint8_t value = SecondPassOfLoneTerm(FirstPassOfLoneTerm(dc));
    for (int n = 0; n < 8; ++n, out += stride) Fill8(out, value);
}

#if PICDLL_SSE2

namespace {

#define SSE2 PICDLL_SSE2_FUNCTION

// Eight int32 lanes: the products of the low and the high four int16 lanes.
struct Wide {
    __m128i lo, hi;
};
SSE2 Wide operator+(Wide a, Wide b) { return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)}; }
SSE2 Wide operator-(Wide a, Wide b) { return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)}; }

// Lanes (a, b) of two vectors, interleaved for a multiply-add.
struct Pairs {
    __m128i lo, hi;
    SSE2 Pairs(__m128i a, __m128i b) : lo(_mm_unpacklo_epi16(a, b)), hi(_mm_unpackhi_epi16(a, b)) {}
    SSE2 Wide Times(int wa, int wb) const
    {
        __m128i w = _mm_set_epi16(short(wb), short(wa), short(wb), short(wa), short(wb),
                                  short(wa), short(wb), short(wa));
        return {_mm_madd_epi16(lo, w), _mm_madd_epi16(hi, w)};
    }
};

SSE2 __m128i Descale(Wide v, int shift, int32_t bias)
{
    __m128i b = _mm_set1_epi32(bias);
    return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(v.lo, b), shift),
                           _mm_srai_epi32(_mm_add_epi32(v.hi, b), shift));
}

// The 8-point transform of every lane at once; x[k] holds the k-th input of each lane.
SSE2 void Transform8(const __m128i x[8], __m128i y[8], int shift, int32_t bias)
{
    Pairs p04(x[0], x[4]), p26(x[2], x[6]), p13(x[1], x[3]), p57(x[5], x[7]);
    Wide e0 = p04.Times(kDc, kDc), e1 = p04.Times(kDc, -kDc);
    Wide t3 = p26.Times(kEvenA, kEvenB), t2 = p26.Times(kEvenB, kEvenC);
    Wide even[4] = {e0 + t3, e1 + t2, e1 - t2, e0 - t3};
    Wide odd[4];
    for (int i = 0; i < 4; ++i) {
        const OddWeights& w = kOdd[i];
        odd[i] = p13.Times(w.x1, w.x3) + p57.Times(w.x5, w.x7);
    }
    for (int i = 0; i < 4; ++i) {
        y[i] = Descale(even[i] + odd[3 - i], shift, bias);
        y[7 - i] = Descale(even[i] - odd[3 - i], shift, bias);
    }
}

SSE2 void Transpose(__m128i r[8])
{
    __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
    __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
    __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
    __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
    __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
    __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
    __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
    __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

// Rows of eight int16 samples, saturated to bytes.
SSE2 void StoreRows(const __m128i* rows, int count, uint8_t* out, ptrdiff_t stride)
{
    for (int n = 0; n < count; n += 2) {
        __m128i bytes = _mm_packus_epi16(rows[n], rows[n + 1]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n * stride), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (n + 1) * stride), _mm_srli_si128(bytes, 8));
    }
}

SSE2 void InverseDctSse2(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
    __m128i rows[8], t[8];
    for (int v = 0; v < 8; ++v)
        rows[v] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + 8 * v));
    Transform8(rows, t, kPass1Shift, 1 << (kPass1Shift - 1));
    Transpose(t);
    // The level shift of +128 rides along with the rounding.
    Transform8(t, rows, kPass2Shift, (1 << (kPass2Shift - 1)) + (128 << kPass2Shift));
    Transpose(rows);
    StoreRows(rows, 8, out, stride);
}

// 8 x 4 samples from the low 8 x 4 terms (the colour of a 4:2:2 picture decoded at half
// size): the four-point transform of reduced_idct.cpp down the columns, then this file's
// eight-point one along the rows.
SSE2 void InverseDct8x4Sse2(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
    __m128i rows[8];
    for (int v = 0; v < 4; ++v)
        rows[v] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + 8 * v));
    const Pairs p02(rows[0], rows[2]), p13(rows[1], rows[3]);
    const Wide even0 = p02.Times(kDc, kDc), even1 = p02.Times(kDc, -kDc);
    const Wide odd0 = p13.Times(kEvenA, kEvenB), odd1 = p13.Times(kEvenB, -kEvenA);
    constexpr int32_t kRound = 1 << (kPass1Shift - 1);
    const __m128i zero = _mm_setzero_si128();
    __m128i t[8] = {Descale(even0 + odd0, kPass1Shift, kRound), Descale(even1 + odd1, kPass1Shift, kRound),
                    Descale(even1 - odd1, kPass1Shift, kRound), Descale(even0 - odd0, kPass1Shift, kRound),
                    zero, zero, zero, zero};
    Transpose(t);  // t[u]: term u of the four rows, in lanes 0..3
    Transform8(t, rows, kPass2Shift, (1 << (kPass2Shift - 1)) + (128 << kPass2Shift));
    Transpose(rows);
    StoreRows(rows, 4, out, stride);
}

#undef SSE2

}  // namespace

#endif

bool InverseDct8x4Vector(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
#if PICDLL_SSE2
    if (UseSse2()) {
        InverseDct8x4Sse2(coef, out, stride);
        return true;
    }
#endif
    return false;
}

void InverseDct(const int16_t coef[64], uint8_t* out, ptrdiff_t stride)
{
#if PICDLL_SSE2
    if (UseSse2()) return InverseDctSse2(coef, out, stride);
#endif
    InverseDctPortable(coef, out, stride);
}

}  // namespace picdll::jpeg
