#include "picdll/imaging.h"

namespace picdll {
void QuantizeRGB(const uint8_t*, int, int, uint8_t*, int, PaletteEntry*) {}
}  // namespace picdll
