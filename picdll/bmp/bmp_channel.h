// One colour channel of a BITFIELDS pixel, scaled to 8 bits.
#pragma once
#include <cstdint>
#include <vector>

namespace picdll::bmp {

class Channel {
public:
    // `mask` is one run of set bits (checked when the headers were read).
    explicit Channel(uint32_t mask);

    uint8_t operator()(uint32_t pixel) const
    {
        const uint32_t value = (pixel >> shift_) & max_;
        return table_.empty() ? Scale(value) : table_[value];
    }

private:
    uint8_t Scale(uint32_t value) const;

    int shift_ = 0;
    uint32_t max_ = 0;
    std::vector<uint8_t> table_;  // every value's result, for channels of up to 16 bits
};

}  // namespace picdll::bmp
