#include "picdll/jpeg/block_smoothing.h"

#include <algorithm>
#include <cstring>

#include "picdll/jpeg/zigzag.h"

namespace picdll::jpeg {

namespace {

// Weights of the DC terms around a block, in 1/256, for each smoothed term (coding order),
// on the 5x5 blocks with the block in the middle. The annex predicts the first five AC
// terms from the 3x3 blocks around (1 2 3 / 4 5 6 / 7 8 9, 5 being the block itself):
//   AC01 = 1.13885 (DC4 - DC6) / 8            AC10 = 1.13885 (DC2 - DC8) / 8
//   AC20 = 0.27881 (DC2 + DC8 - 2 DC5) / 8    AC02 = 0.27881 (DC4 + DC6 - 2 DC5) / 8
//   AC11 = 0.16213 ((DC1 - DC3) - (DC7 - DC9)) / 8
// The reference decoders reach one block further and weigh a little more; these weights
// are measured from their output, and serve once some AC terms have arrived.
using Kernel = int16_t[5][5];
constexpr Kernel kSomeAc[kSmoothedTerms] = {
    {},
    {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {-7, 50, 0, -50, 7}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {{0, 0, -7, 0, 0}, {0, 0, 50, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, -50, 0, 0}, {0, 0, 7, 0, 0}},
    {{0, 0, -1, 0, 0}, {0, 0, 13, 0, 0}, {0, 0, -24, 0, 0}, {0, 0, 13, 0, 0}, {0, 0, -1, 0, 0}},
    {{0, -1, 0, 1, 0}, {-1, 10, 0, -10, 1}, {0, 0, 0, 0, 0}, {1, -10, 0, 10, -1}, {0, 1, 0, -1, 0}},
    {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {-1, 13, -24, 13, -1}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
};
// While a block has nothing but its DC term, the reference decoders draw on a wider,
// smoother neighbourhood: the DC term itself is blurred and nine AC terms are predicted.
// Measured from their output.
constexpr Kernel kDcOnly[kSmoothedTerms] = {
    {{-2, -6, -8, -6, -2}, {-6, 6, 42, 6, -6}, {-8, 42, 152, 42, -8}, {-6, 6, 42, 6, -6}, {-2, -6, -8, -6, -2}},
    {{-1, -1, 0, 1, 1}, {-3, 13, 0, -13, 3}, {-3, 38, 0, -38, 3}, {-3, 13, 0, -13, 3}, {-1, -1, 0, 1, 1}},
    {{-1, -3, -3, -3, -1}, {-1, 13, 38, 13, -1}, {0, 0, 0, 0, 0}, {1, -13, -38, -13, 1}, {1, 3, 3, 3, 1}},
    {{0, 0, 1, 0, 0}, {0, 2, 7, 2, 0}, {0, -5, -14, -5, 0}, {0, 2, 7, 2, 0}, {0, 0, 1, 0, 0}},
    {{-1, 0, 0, 0, 1}, {0, 9, 0, -9, 0}, {0, 0, 0, 0, 0}, {0, -9, 0, 9, 0}, {1, 0, 0, 0, -1}},
    {{0, 0, 0, 0, 0}, {0, 2, -5, 2, 0}, {1, 7, -14, 7, 1}, {0, 2, -5, 2, 0}, {0, 0, 0, 0, 0}},
    {{0, 0, 0, 0, 0}, {0, 1, 0, -1, 0}, {0, 2, 0, -2, 0}, {0, 1, 0, -1, 0}, {0, 0, 0, 0, 0}},
    {{0, 0, 0, 0, 0}, {0, 1, -3, 1, 0}, {0, 0, 0, 0, 0}, {0, -1, 3, -1, 0}, {0, 0, 0, 0, 0}},
    {{0, 0, 0, 0, 0}, {0, 1, 0, -1, 0}, {0, -3, 0, 3, 0}, {0, 1, 0, -1, 0}, {0, 0, 0, 0, 0}},
    {{0, 0, 0, 0, 0}, {0, 1, 2, 1, 0}, {0, 0, 0, 0, 0}, {0, -1, -2, -1, 0}, {0, 0, 0, 0, 0}},
};

// `num` / (256 q), rounded to nearest, then limited to what is still unknown: a term that
// came as 0 at bit position `al` > 0 lies below 1 << al.
int Predict(int64_t num, int64_t q, int al)
{
    const int64_t magnitude = ((q << 7) + (num < 0 ? -num : num)) / (q << 8);
    int64_t limited = al > 0 ? std::min<int64_t>(magnitude, (int64_t(1) << al) - 1) : magnitude;
    limited = std::min<int64_t>(limited, 32767);
    return int(num < 0 ? -limited : limited);
}

bool OnlyDc(const int8_t* known)
{
    for (int k = 1; k < kSmoothedTerms; ++k)
        if (known[k] >= 0) return false;
    return true;
}

}  // namespace

ScanProgress::ScanProgress()
{
    std::memset(known_, -1, sizeof known_);
    std::memset(before_, -1, sizeof before_);
    std::fill(reached_, reached_ + kMaxComponents, INT_MAX);
}

void ScanProgress::Start(const ScanHeader& scan)
{
    const bool first = !started_;
    started_ = true;
    for (int i = 0; i < scan.component_count; ++i) {
        const int c = scan.components[i];
        // Before the frame's first scan there is nothing to smooth: the reference decoders
        // count it as exact, not as terms still to come.
        if (first)
            std::memset(before_[c], 0, sizeof before_[c]);
        else
            std::memcpy(before_[c], known_[c], sizeof known_[c]);
        reached_[c] = INT_MAX;
        for (int k = scan.ss; k <= std::min(scan.se, kSmoothedTerms - 1); ++k) known_[c][k] = int8_t(scan.al);
    }
}

void ScanProgress::Reached(const ScanHeader& scan, int row)
{
    // Measured from the reference decoders: the components of a DC scan count as delivered
    // two rows further, as far as the neighbourhood of a smoothed DC term reaches.
    std::fill(reached_, reached_ + kMaxComponents, row);
    if (scan.ss == 0)
        for (int i = 0; i < scan.component_count; ++i) reached_[scan.components[i]] = row + 2;
}

bool ScanProgress::WorthSmoothing(const Frame& frame, const uint16_t quant[][64]) const
{
    bool worth = false;
    for (int c = 0; c < frame.component_count; ++c) {
        if (known_[c][0] < 0) return false;
        for (int k = 0; k < kSmoothedTerms; ++k)
            if (quant[c][kZigzag[k]] == 0) return false;
        for (int k = 1; k < kSmoothedTerms; ++k) worth |= known_[c][k] != 0;
    }
    return worth;
}

void SmoothBlock(const CoefficientPlane& plane, int bx, int by, const int8_t* known,
                 const uint16_t* quant, int16_t out[64])
{
    plane.store->Load(plane.store->Terms(bx, by), out);
    // The rows two away are those of the reference decoders, which look no further than
    // the next row while in the first two MCU rows or the last two.
    const int mcu_row = by / plane.v, in_mcu_row = by % plane.v;
    const int above = std::max(by - 1, 0), below = std::min(by + 1, plane.high - 1);
    const int rows[5] = {
        mcu_row > 1 || in_mcu_row > 1 ? by - 2 : above,
        above,
        by,
        below,
        mcu_row < plane.mcu_rows - 2 || in_mcu_row < plane.v - 2 ? std::min(by + 2, plane.high - 1) : below,
    };
    int64_t dc[5][5];
    for (int j = 0; j < 5; ++j) {
        const int y = rows[j];
        for (int i = 0; i < 5; ++i) {
            const int x = std::clamp(bx + i - 2, 0, plane.wide - 1);
            dc[j][i] = plane.store->Terms(x, y)[0];
        }
    }
    const bool only_dc = OnlyDc(known);
    const Kernel* kernels = only_dc ? kDcOnly : kSomeAc;
    const int terms = only_dc ? kSmoothedTerms : 6;
    for (int k = only_dc ? 0 : 1; k < terms; ++k) {
        const int at = kZigzag[k];
        if (k > 0 && (known[k] == 0 || out[at] != 0)) continue;
        int64_t sum = 0;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 5; ++i) sum += kernels[k][j][i] * dc[j][i];
        out[at] = int16_t(Predict(sum * quant[0], quant[at], k > 0 ? known[k] : 0));
    }
}

}  // namespace picdll::jpeg
