// Decoded samples of each component, a few MCU rows at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picdll/jpeg/headers.h"

namespace picdll::jpeg {

// Holds three MCU rows per component: the one being filled and its neighbours above and
// below, which vertical upsampling reads. MCU row k lives in slot k % 3.
class SamplePlanes {
public:
    explicit SamplePlanes(const Frame& frame);

    // Top-left sample of block (bx, by) of MCU row `mcu_row`, `by` counted within the MCU row.
    uint8_t* Block(int component, int mcu_row, int bx, int by)
    {
        Plane& p = planes_[component];
        size_t row = size_t(mcu_row % kSlots) * p.rows_per_mcu + size_t(by) * p.block_v;
        return p.samples.data() + row * p.stride + size_t(bx) * p.block_h;
    }
    ptrdiff_t stride(int component) const { return planes_[component].stride; }

    // Sample row `r` of a component; rows outside the picture repeat its edge rows.
    const uint8_t* Row(int component, int r) const
    {
        const Plane& p = planes_[component];
        r = r < 0 ? 0 : r >= p.height ? p.height - 1 : r;
        size_t row = size_t((r / p.rows_per_mcu) % kSlots) * p.rows_per_mcu + size_t(r % p.rows_per_mcu);
        return p.samples.data() + row * p.stride;
    }

private:
    static constexpr int kSlots = 3;
    struct Plane {
        std::vector<uint8_t> samples;
        ptrdiff_t stride = 0;
        int rows_per_mcu = 0;
        int height = 0;
        int block_h = 8, block_v = 8;  // samples a block gives across and down
    };
    Plane planes_[kMaxComponents];
};

}  // namespace picdll::jpeg
