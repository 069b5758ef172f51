// The entropy-coded data of one scan: restart markers, and recovery from damage.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picdll/jpeg/bit_reader.h"

namespace picdll::jpeg {

// Damage (a code the tables lack, data that ends early) writes off the rest of the
// current restart interval; decoding resumes at the next restart marker. A marker with
// an unexpected number tells how many intervals were lost, so later MCUs stay in place.
class ScanReader {
public:
    ScanReader(const uint8_t* data, size_t size, size_t pos, int restart_interval)
        : bits(data, size, pos), end_(data + size), interval_(restart_interval),
          left_(restart_interval) {}

    // Called before each MCU. False when the MCU's data is missing and it must be left
    // empty. `restarted` is set when a new interval begins: predictions start afresh.
    bool BeginMcu(bool& restarted)
    {
        restarted = false;
        if (interval_ > 0) {
            if (left_ == 0) {
                NextInterval();
                restarted = true;
            }
            --left_;
        }
        return !damaged_;
    }

    // Called after an MCU that was read; `ok` is false when it held an invalid code.
    void EndMcu(bool ok)
    {
        if (!ok || bits.Overrun()) MarkDamaged(bits.Position());
    }

    // True once no later MCU of this scan has data.
    bool Exhausted() const { return damaged_ && (interval_ == 0 || no_more_markers_); }

    // Where the markers after the scan are to be looked for.
    size_t EndPosition(const uint8_t* data) const
    {
        return size_t((damaged_ ? resume_ : bits.Position()) - data);
    }

    BitReader bits;

private:
    void MarkDamaged(const uint8_t* resume)
    {
        damaged_ = true;
        resume_ = resume;
    }
    void NextInterval();

    const uint8_t* end_;
    int interval_;
    int left_;               // MCUs left in the current interval
    int expected_ = 0;       // number of the next restart marker
    int lost_ = 0;           // intervals still to skip before the marker found
    bool damaged_ = false;
    bool no_more_markers_ = false;
    const uint8_t* resume_ = nullptr;  // where to look for the next marker once damaged
};

}  // namespace picdll::jpeg
