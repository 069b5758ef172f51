#include "picdll/jpeg/colour.h"

#include "picdll/simd.h"

namespace picdll::jpeg {

namespace {

// The JFIF factors scaled by 2^16, with rounding.
constexpr int kScaleBits = 16;
constexpr int kHalf = 1 << (kScaleBits - 1);
constexpr int kCrToR = 91881;   // 1.402
constexpr int kCbToG = -22554;  // -0.34414
constexpr int kCrToG = -46802;  // -0.71414
constexpr int kCbToB = 116130;  // 1.772

uint8_t Clamp(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

void YccPixel(int y, int cb, int cr, uint8_t* rgb)
{
    cb -= 128;
    cr -= 128;
    rgb[0] = Clamp(y + ((kCrToR * cr + kHalf) >> kScaleBits));
    rgb[1] = Clamp(y + ((kCbToG * cb + kCrToG * cr + kHalf) >> kScaleBits));
    rgb[2] = Clamp(y + ((kCbToB * cb + kHalf) >> kScaleBits));
}

// a * b / 255, rounded.
uint8_t Scale(int a, int b)
{
    int t = a * b + 128;
    return uint8_t((t + (t >> 8)) >> 8);
}

#if PICDLL_SSE2

#define SSE2 PICDLL_SSE2_FUNCTION

// (weight_cb * cb + weight_cr * cr + 1/2) >> kScaleBits for the pairs (cb, cr) in lo and hi.
SSE2 __m128i ScaledSum(__m128i lo, __m128i hi, int weight_cb, int weight_cr)
{
    __m128i w = _mm_set_epi16(short(weight_cr), short(weight_cb), short(weight_cr), short(weight_cb),
                              short(weight_cr), short(weight_cb), short(weight_cr), short(weight_cb));
    __m128i half = _mm_set1_epi32(kHalf);
    return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(lo, w), half), kScaleBits),
                           _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(hi, w), half), kScaleBits));
}

// Eight pixels in 16-bit lanes. The factors above 1 are split into a whole part, added
// as is, and a remainder that fits a 16-bit multiply-add; the sums are those of YccPixel.
SSE2 void Ycc8(__m128i y, __m128i cb, __m128i cr, __m128i& r, __m128i& g, __m128i& b)
{
    const __m128i center = _mm_set1_epi16(128);
    cb = _mm_sub_epi16(cb, center);
    cr = _mm_sub_epi16(cr, center);
    __m128i lo = _mm_unpacklo_epi16(cb, cr), hi = _mm_unpackhi_epi16(cb, cr);
    constexpr int kOne = 1 << kScaleBits;
    r = _mm_add_epi16(_mm_add_epi16(y, cr), ScaledSum(lo, hi, 0, kCrToR - kOne));
    g = _mm_sub_epi16(_mm_add_epi16(y, ScaledSum(lo, hi, kCbToG, kCrToG + kOne)), cr);
    b = _mm_add_epi16(_mm_add_epi16(y, _mm_add_epi16(cb, cb)), ScaledSum(lo, hi, kCbToB - 2 * kOne, 0));
}

SSE2 __m128i Load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Sixteen pixels of bytes to packed RGB: 48 bytes written, and two more bytes of
// scratch after them that the caller has room for.
SSE2 void Ycc16(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* rgb)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i vy = Load16(y), vcb = Load16(cb), vcr = Load16(cr);
    __m128i r0, g0, b0, r1, g1, b1;
    Ycc8(_mm_unpacklo_epi8(vy, zero), _mm_unpacklo_epi8(vcb, zero), _mm_unpacklo_epi8(vcr, zero), r0, g0, b0);
    Ycc8(_mm_unpackhi_epi8(vy, zero), _mm_unpackhi_epi8(vcb, zero), _mm_unpackhi_epi8(vcr, zero), r1, g1, b1);
    __m128i r = _mm_packus_epi16(r0, r1), g = _mm_packus_epi16(g0, g1), b = _mm_packus_epi16(b0, b1);
    // RGBx per pixel, then each 64-bit half squeezed from 8 to 6 bytes.
    __m128i rg_lo = _mm_unpacklo_epi8(r, g), rg_hi = _mm_unpackhi_epi8(r, g);
    __m128i bx_lo = _mm_unpacklo_epi8(b, zero), bx_hi = _mm_unpackhi_epi8(b, zero);
    __m128i quads[4] = {_mm_unpacklo_epi16(rg_lo, bx_lo), _mm_unpackhi_epi16(rg_lo, bx_lo),
                        _mm_unpacklo_epi16(rg_hi, bx_hi), _mm_unpackhi_epi16(rg_hi, bx_hi)};
    const __m128i first = _mm_set1_epi64x(0x0000000000FFFFFFll);
    const __m128i second = _mm_set1_epi64x(0x0000FFFFFF000000ll);
    for (int q = 0; q < 4; ++q, rgb += 12) {
        __m128i packed = _mm_or_si128(_mm_and_si128(quads[q], first),
                                      _mm_and_si128(_mm_srli_epi64(quads[q], 8), second));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(rgb), packed);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(rgb + 6), _mm_srli_si128(packed, 8));
    }
}

// Whole groups of sixteen pixels while one pixel is left after them to take Ycc16's
// scratch bytes; returns the first pixel not done.
SSE2 int YCbCrToRgbSse2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* rgb, int n)
{
    int i = 0;
    for (; i + 16 < n; i += 16) Ycc16(y + i, cb + i, cr + i, rgb + 3 * i);
    return i;
}

#undef SSE2

#endif

}  // namespace

void YCbCrToRgb(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* rgb, int n)
{
    int i = 0;
#if PICDLL_SSE2
    if (UseSse2()) i = YCbCrToRgbSse2(y, cb, cr, rgb, n);
#endif
    for (; i < n; ++i) YccPixel(y[i], cb[i], cr[i], rgb + 3 * i);
}

void GreyToRgb(const uint8_t* y, uint8_t* rgb, int n)
{
    for (int i = 0; i < n; ++i, rgb += 3) rgb[0] = rgb[1] = rgb[2] = y[i];
}

void PlanesToRgb(const uint8_t* r, const uint8_t* g, const uint8_t* b, uint8_t* rgb, int n)
{
    for (int i = 0; i < n; ++i, rgb += 3) {
        rgb[0] = r[i];
        rgb[1] = g[i];
        rgb[2] = b[i];
    }
}

void CmykToRgb(const uint8_t* c, const uint8_t* m, const uint8_t* y, const uint8_t* k,
               uint8_t* rgb, int n)
{
    for (int i = 0; i < n; ++i, rgb += 3) {
        rgb[0] = Scale(c[i], k[i]);
        rgb[1] = Scale(m[i], k[i]);
        rgb[2] = Scale(y[i], k[i]);
    }
}

void YcckToRgb(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, const uint8_t* k,
               uint8_t* rgb, int n)
{
    for (int i = 0; i < n; ++i, rgb += 3) {
        // The YCbCr decode gives 255 minus the inverted ink values.
        uint8_t ink[3];
        YccPixel(y[i], cb[i], cr[i], ink);
        rgb[0] = Scale(255 - ink[0], k[i]);
        rgb[1] = Scale(255 - ink[1], k[i]);
        rgb[2] = Scale(255 - ink[2], k[i]);
    }
}

}  // namespace picdll::jpeg
