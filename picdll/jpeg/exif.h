// The orientation tag of an EXIF block.
#pragma once
#include <cstddef>
#include <cstdint>

namespace picdll::jpeg {

// The orientation (1..8) recorded in the body of an APP1 segment, or 1 when the segment
// is no EXIF block or carries no usable orientation.
int ExifOrientation(const uint8_t* body, size_t length);

// Orientations 5 to 8 turn the stored picture a quarter turn, swapping its sides.
inline bool SwapsSides(int orientation) { return orientation >= 5; }

}  // namespace picdll::jpeg
