#include "tools/jpeg_entropy.h"

#include <cstdlib>

void BitWriter::Put(uint32_t bits, int count) {
  buffer_ = (buffer_ << count) | (bits & ((1u << count) - 1));
  used_ += count;
  while (used_ >= 8) {
    const uint8_t byte = uint8_t(buffer_ >> (used_ - 8));
    out_.push_back(byte);
    if (byte == 0xFF) out_.push_back(0x00);
    used_ -= 8;
  }
}

void BitWriter::Flush() {
  if (used_ > 0) Put(0x7F, 8 - used_);
  buffer_ = 0;
}

HuffmanEncoder::HuffmanEncoder(const HuffmanTable& table) {
  // Canonical codes: consecutive values within a length, doubled when the length grows.
  uint32_t code = 0;
  size_t k = 0;
  for (int length = 1; length <= 16; ++length) {
    for (int i = 0; i < table.counts[size_t(length - 1)]; ++i, ++k, ++code) {
      code_[table.symbols[k]] = uint16_t(code);
      length_[table.symbols[k]] = uint8_t(length);
    }
    code <<= 1;
  }
}

namespace {

// Magnitude category: number of bits needed for |value|.
int Category(int value) {
  int magnitude = std::abs(value);
  int bits = 0;
  while (magnitude) {
    ++bits;
    magnitude >>= 1;
  }
  return bits;
}

// Negative values are sent as their one's complement in `category` bits.
void PutValue(BitWriter& bits, int value, int category) {
  if (category == 0) return;
  bits.Put(uint32_t(value < 0 ? value - 1 : value), category);
}

constexpr uint8_t kEndOfBlock = 0x00;
constexpr uint8_t kSixteenZeros = 0xF0;

}  // namespace

void EncodeBlock(BitWriter& bits, const std::array<int, 64>& zz, int& previousDc,
                 const HuffmanEncoder& dc, const HuffmanEncoder& ac) {
  const int diff = zz[0] - previousDc;
  previousDc = zz[0];
  const int dcCategory = Category(diff);
  dc.Put(bits, uint8_t(dcCategory));
  PutValue(bits, diff, dcCategory);

  int run = 0;
  for (int k = 1; k < 64; ++k) {
    if (zz[size_t(k)] == 0) {
      ++run;
      continue;
    }
    for (; run > 15; run -= 16) ac.Put(bits, kSixteenZeros);
    const int category = Category(zz[size_t(k)]);
    ac.Put(bits, uint8_t(run << 4 | category));
    PutValue(bits, zz[size_t(k)], category);
    run = 0;
  }
  if (run > 0) ac.Put(bits, kEndOfBlock);
}
