#include "tools/jpeg_tables.h"

#include <algorithm>

#include "picdll/jpeg/example_tables.h"

const std::array<uint8_t, 64> kLuminanceQuant = {
    16, 11, 10, 16, 24,  40,  51,  61,   //
    12, 12, 14, 19, 26,  58,  60,  55,   //
    14, 13, 16, 24, 40,  57,  69,  56,   //
    14, 17, 22, 29, 51,  87,  80,  62,   //
    18, 22, 37, 56, 68,  109, 103, 77,   //
    24, 35, 55, 64, 81,  104, 113, 92,   //
    49, 64, 78, 87, 103, 121, 120, 101,  //
    72, 92, 95, 98, 112, 100, 103, 99};

const std::array<uint8_t, 64> kChrominanceQuant = {
    17, 18, 24, 47, 99, 99, 99, 99,  //
    18, 21, 26, 66, 99, 99, 99, 99,  //
    24, 26, 56, 99, 99, 99, 99, 99,  //
    47, 66, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99};

std::array<uint8_t, 64> ScaleQuantTable(const std::array<uint8_t, 64>& base, int quality) {
  quality = std::clamp(quality, 1, 100);
  const int percent = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  std::array<uint8_t, 64> out{};
  for (size_t i = 0; i < 64; ++i) {
    // Baseline files carry 8-bit divisors, hence the upper clamp.
    out[i] = uint8_t(std::clamp((base[i] * percent + 50) / 100, 1, 255));
  }
  return out;
}

namespace {

HuffmanTable FromExample(const picdll::jpeg::ExampleHuffmanTable& example)
{
    HuffmanTable table;
    std::copy(example.counts, example.counts + 16, table.counts.begin());
    table.symbols.assign(example.symbols, example.symbols + example.symbolCount);
    return table;
}

}  // namespace

const HuffmanTable kLuminanceDc = FromExample(picdll::jpeg::kExampleDcLuma);
const HuffmanTable kChrominanceDc = FromExample(picdll::jpeg::kExampleDcChroma);
const HuffmanTable kLuminanceAc = FromExample(picdll::jpeg::kExampleAcLuma);
const HuffmanTable kChrominanceAc = FromExample(picdll::jpeg::kExampleAcChroma);
