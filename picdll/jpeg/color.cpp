#include "picdll/jpeg/color.h"

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

}  // namespace

void YCbCrToRgb(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* rgb, int n)
{
    for (int i = 0; i < n; ++i, rgb += 3) YccPixel(y[i], cb[i], cr[i], rgb);
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
