#include "picdll/jpeg/scan_reader.h"

namespace picdll::jpeg {

namespace {

// The code byte of the first marker at or after `p` (stuffed zeros and fill bytes are
// no markers), or nullptr.
const uint8_t* FindMarker(const uint8_t* p, const uint8_t* end)
{
    while (p < end) {
        if (*p++ != 0xFF) continue;
        while (p < end && *p == 0xFF) ++p;
        if (p < end && *p != 0x00) return p;
    }
    return nullptr;
}

bool IsRestart(uint8_t code) { return code >= 0xD0 && code <= 0xD7; }

}  // namespace

void ScanReader::NextInterval()
{
    left_ = interval_;
    int expected = expected_;
    expected_ = (expected_ + 1) & 7;
    if (lost_ > 0) {
        --lost_;
        return;  // still damaged: this interval's data was lost
    }
    const uint8_t* p = damaged_ ? resume_ : bits.Position();
    for (;;) {
        const uint8_t* code = FindMarker(p, end_);
        if (code == nullptr || !IsRestart(*code)) {
            // The scan ends here (or the file does): nothing more to read.
            no_more_markers_ = true;
            MarkDamaged(code ? code - 1 : end_);
            return;
        }
        int ahead = (*code - 0xD0 - expected) & 7;
        if (ahead == 0) {
            bits.Restart(code + 1);
            damaged_ = false;
            return;
        }
        if (ahead < 4) {
            // Intervals were lost: skip them, and this marker starts the one after.
            lost_ = ahead - 1;
            MarkDamaged(code - 1);
            return;
        }
        p = code + 1;  // a stale marker from an interval already passed
    }
}

}  // namespace picdll::jpeg
