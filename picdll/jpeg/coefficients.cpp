#include "picdll/jpeg/coefficients.h"

#include <algorithm>
#include <cstring>

namespace picdll::jpeg {

void CoefficientStore::Reset(int blocks_wide, int blocks_high, int across, int down, bool with_bits)
{
    wide_ = blocks_wide;
    across_ = across;
    down_ = down;
    kept_ = 0;
    for (int k = 0; k < 64; ++k) {
        const int u = kZigzag[k] % 8, v = kZigzag[k] / 8;
        const bool keep = u < across && v < down;
        coded_slot_[k] = int8_t(keep ? v * across + u : 0);
        if (keep) kept_ |= uint64_t(1) << k;
    }
    const size_t blocks = size_t(blocks_wide) * size_t(blocks_high);
    terms_.assign(blocks * size_t(terms_per_block()), 0);
    with_bits_ = with_bits || !whole();
    if (with_bits_) nonzero_.assign(blocks, 0);
}

void CoefficientStore::Store(int bx, int by, const int16_t all[64])
{
    int16_t* terms = Terms(bx, by);
    for (int v = 0; v < down_; ++v) std::memcpy(terms + v * across_, all + 8 * v, size_t(across_) * sizeof *terms);
}

void CoefficientStore::Load(const int16_t* terms, int16_t all[64]) const
{
    if (whole()) {
        std::memcpy(all, terms, 64 * sizeof *all);
        return;
    }
    std::fill(all, all + 64, int16_t(0));
    for (int v = 0; v < down_; ++v) std::memcpy(all + 8 * v, terms + v * across_, size_t(across_) * sizeof *terms);
}

}  // namespace picdll::jpeg
