#include "picdll/bmp/bmp_channel.h"

#include <cstddef>

namespace picdll::bmp {

constexpr int kMaxTabulatedBits = 16;

Channel::Channel(uint32_t mask)
{
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift_;
    }
    max_ = mask;
    if (max_ >> kMaxTabulatedBits) return;
    table_.resize(size_t(max_) + 1);
    for (uint32_t value = 0; value <= max_; ++value) table_[value] = Scale(value);
}

// Scales so the largest stored value is full intensity, rounding to nearest: plain bit
// shifting would leave 5-bit white at 248 and darken narrow channels further.
uint8_t Channel::Scale(uint32_t value) const
{
    return uint8_t((uint64_t(value) * 255 + max_ / 2) / max_);
}

}  // namespace picdll::bmp
