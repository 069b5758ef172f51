// Little-endian fields of a file image in memory (BMP stores everything this way).
#pragma once
#include <cstdint>

namespace picdll::bmp {

inline uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

inline uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline int32_t ReadI32(const uint8_t* p) { return int32_t(ReadU32(p)); }

}  // namespace picdll::bmp
