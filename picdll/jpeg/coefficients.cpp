#include "picdll/jpeg/coefficients.h"

#include <algorithm>
#include <cstring>

namespace picdll::jpeg {

void CoefficientStore::Reset(int blocks_wide, int blocks_high, int side)
{
    wide_ = blocks_wide;
    side_ = side;
    kept_ = 0;
    for (int k = 0; k < 64; ++k) {
        const int u = kZigzag[k] % 8, v = kZigzag[k] / 8;
        coded_slot_[k] = int8_t(u < side && v < side ? v * side + u : -1);
        if (coded_slot_[k] >= 0) kept_ |= uint64_t(1) << k;
    }
    const size_t blocks = size_t(blocks_wide) * size_t(blocks_high);
    terms_.assign(blocks * size_t(side) * size_t(side), 0);
    if (side < 8) nonzero_.assign(blocks, 0);
}

void CoefficientStore::Store(int bx, int by, const int16_t all[64])
{
    int16_t* terms = Terms(bx, by);
    for (int v = 0; v < side_; ++v) std::memcpy(terms + v * side_, all + 8 * v, size_t(side_) * sizeof *terms);
}

void CoefficientStore::Load(const int16_t* terms, int16_t all[64]) const
{
    if (side_ == 8) {
        std::memcpy(all, terms, 64 * sizeof *all);
        return;
    }
    std::fill(all, all + 64, int16_t(0));
    for (int v = 0; v < side_; ++v) std::memcpy(all + 8 * v, terms + v * side_, size_t(side_) * sizeof *terms);
}

}  // namespace picdll::jpeg
