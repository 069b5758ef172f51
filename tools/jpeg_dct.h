// Forward 8x8 DCT-II as defined for JPEG, straight from the definition via a cosine matrix;
// plenty fast for generating sample pictures and easy to trust.
#pragma once

#include <array>

using Block = std::array<float, 64>;  // row-major, samples already level-shifted by -128

Block ForwardDct(const Block& samples);
