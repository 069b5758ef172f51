// Decoding of uncompressed BMP pixel rows.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picdll/bmp/bmp_layout.h"
#include "picdll/bmp/bmp_outcome.h"

namespace picdll::bmp {

// Converts every row of an Indexed, Bgr24 or Bitfields picture into `rgb` (width x height
// x 3 bytes, top row first). Rows missing from a cut-short file are black.
PixelOutcome DecodeRows(const uint8_t* data, size_t size, const Layout& layout,
                        DecodeTarget& target, uint8_t* rgb);

}  // namespace picdll::bmp
