#include "picdll/decode.h"

namespace picdll {
bool BmpDimensions(const uint8_t*, size_t, Dimensions&) { return false; }
DecodeStatus DecodeBmp(const uint8_t*, size_t, DecodeTarget&, std::string* why)
{
    if (why) *why = "not implemented";
    return DecodeStatus::Failed;
}
}  // namespace picdll
