// How decoding a BMP file's pixels ended.
#pragma once
#include <cstdint>
#include <string>

#include "picdll/decode.h"

namespace picdll::bmp {

struct PixelOutcome {
    DecodeStatus status = DecodeStatus::Ok;
    uint64_t outOfPalette = 0;  // pixels whose index had no palette entry (decoded black)
    std::string why;            // when Failed
};

}  // namespace picdll::bmp
