// Baseline Huffman coding of quantised 8x8 blocks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/jpeg_tables.h"

// Packs variable-length codes MSB first and stuffs a zero byte after every 0xFF.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Put(uint32_t bits, int count);
  // Pads the last byte with one-bits, as the standard asks.
  void Flush();

 private:
  std::vector<uint8_t>& out_;
  uint32_t buffer_ = 0;
  int used_ = 0;
};

class HuffmanEncoder {
 public:
  explicit HuffmanEncoder(const HuffmanTable& table);
  void Put(BitWriter& bits, uint8_t symbol) const { bits.Put(code_[symbol], length_[symbol]); }

 private:
  std::array<uint16_t, 256> code_{};
  std::array<uint8_t, 256> length_{};
};

// Coefficients in zigzag order. previousDc carries the DC predictor of the component.
void EncodeBlock(BitWriter& bits, const std::array<int, 64>& zigzag, int& previousDc,
                 const HuffmanEncoder& dc, const HuffmanEncoder& ac);
