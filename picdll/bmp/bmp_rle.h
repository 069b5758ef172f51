// Expansion of run-length encoded BMP pixel data: RLE8, RLE4 and OS/2's RLE24.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picdll/bmp/bmp_layout.h"
#include "picdll/bmp/bmp_outcome.h"

namespace picdll::bmp {

// Expands the pixel data into `rgb` (width x height x 3 bytes, top row first), which the
// caller has cleared: pixels the data skips (deltas, early end of line or bitmap, data cut
// short) stay black. Codes that would write outside the picture fail the decode.
PixelOutcome DecodeRle(const uint8_t* data, size_t size, const Layout& layout,
                       DecodeTarget& target, uint8_t* rgb);

}  // namespace picdll::bmp
