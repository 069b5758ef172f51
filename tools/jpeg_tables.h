// The example tables of the JPEG standard (Annex K): quantisation tables for luminance and
// chrominance, and the four "typical" Huffman tables most baseline encoders use as they are.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Natural order, at the quality the standard prints them for (50 in the usual scaling).
extern const std::array<uint8_t, 64> kLuminanceQuant;
extern const std::array<uint8_t, 64> kChrominanceQuant;

// Scales an example table the way most encoders interpret a 1..100 quality figure:
// 50 leaves it as printed, higher values shrink the divisors down to 1 at 100.
std::array<uint8_t, 64> ScaleQuantTable(const std::array<uint8_t, 64>& base, int quality);

struct HuffmanTable {
  std::array<uint8_t, 16> counts;  // number of codes of each length 1..16
  std::vector<uint8_t> symbols;    // in order of increasing code length
};

extern const HuffmanTable kLuminanceDc;
extern const HuffmanTable kLuminanceAc;
extern const HuffmanTable kChrominanceDc;
extern const HuffmanTable kChrominanceAc;
