#include "picdll/imaging.h"

namespace picdll {
void ResizeRGB(const uint8_t*, int, int, uint8_t*, int, int) {}
}  // namespace picdll
