// Conversion of full-resolution component rows to packed RGB.
#pragma once
#include <cstdint>

namespace picdll::jpeg {

// JFIF's YCbCr, in libjpeg's fixed-point arithmetic so that both agree to the bit.
void YCbCrToRgb(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint8_t* rgb, int n);
void GreyToRgb(const uint8_t* y, uint8_t* rgb, int n);
void PlanesToRgb(const uint8_t* r, const uint8_t* g, const uint8_t* b, uint8_t* rgb, int n);
// CMYK as Adobe applications store it, inverted (255 = no ink), printed on white.
void CmykToRgb(const uint8_t* c, const uint8_t* m, const uint8_t* y, const uint8_t* k,
               uint8_t* rgb, int n);
// Adobe's YCCK: the inverted C, M and Y coded as YCbCr, K as is.
void YcckToRgb(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, const uint8_t* k,
               uint8_t* rgb, int n);

}  // namespace picdll::jpeg
