// Smoothing of progressive pictures whose low coefficients did not all arrive (a file cut
// short, or scans that stop before the last bit). Such a block would show as a flat tile;
// its missing low AC terms are predicted from the DC terms of the blocks around it
// (ITU-T T.81, Annex K.8), as the reference decoders do.
#pragma once
#include <climits>
#include <cstdint>

#include "picdll/jpeg/coefficients.h"
#include "picdll/jpeg/headers.h"

namespace picdll::jpeg {

// The DC term and the first nine AC terms in coding order: the ones smoothing may set.
constexpr int kSmoothedTerms = 10;

// How much of each component's low terms the scans have delivered, and how far down the
// picture the last scan reached: below that, a picture shows what the scans before it
// delivered.
class ScanProgress {
public:
    ScanProgress();

    // A progressive scan about to be decoded.
    void Start(const ScanHeader& scan);
    // The scan just decoded delivered data down to MCU row `row` (the row its data ended
    // in, or the last of the frame).
    void Reached(const ScanHeader& scan, int row);

    // Whether any block of the frame may gain from smoothing: every component has its DC
    // terms, its table lets every smoothed term be scaled, and some smoothed AC term is not
    // yet exact.
    bool WorthSmoothing(const Frame& frame, const uint16_t quant[][64]) const;
    // Per term, the bit position (Al) it is known down to in MCU row `row`: 0 when exact,
    // -1 while none arrived.
    const int8_t* Known(int component, int row) const
    {
        return row <= reached_[component] ? known_[component] : before_[component];
    }

private:
    int8_t known_[kMaxComponents][kSmoothedTerms];
    int8_t before_[kMaxComponents][kSmoothedTerms];
    int reached_[kMaxComponents];
    bool started_ = false;
};

// One component's quantised coefficients as the scans left them. `wide` x `high` blocks
// cover the picture; `v` block rows make one of the frame's `mcu_rows` MCU rows.
struct CoefficientPlane {
    const CoefficientStore* store;
    int wide, high;
    int v, mcu_rows;
};

// Copies block (bx, by) into `out` (64 terms, those the store does not keep as 0), filling in the low terms that have not arrived with
// their predictions, limited to what the bits received allow. `known` as ScanProgress.
void SmoothBlock(const CoefficientPlane& plane, int bx, int by, const int8_t* known,
                 const uint16_t* quant, int16_t out[64]);

}  // namespace picdll::jpeg
