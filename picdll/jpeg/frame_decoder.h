// Decodes the scans of a frame into the picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picdll/decode.h"
#include "picdll/jpeg/block_smoothing.h"
#include "picdll/jpeg/headers.h"
#include "picdll/jpeg/row_writer.h"
#include "picdll/jpeg/sample_planes.h"

namespace picdll::jpeg {

// A sequential frame whose first scan holds every component is decoded as it streams
// in, an MCU row at a time. Anything else (progressive frames, components in separate
// scans) collects coefficients for the whole frame and is turned into pixels at the end.
class FrameDecoder {
public:
    FrameDecoder(const Frame& frame, const ScanHeader& first_scan, RowWriter& writer,
                 DecodeTarget& target);

    // False once the picture is complete and later scans have nothing to add.
    bool WantsMoreScans() const { return !(streaming_ && written_); }

    // Decodes the scan whose entropy-coded data starts at `pos` and moves `pos` to where
    // the markers after it begin. Scans that make no sense are passed over.
    DecodeStatus DecodeScan(const StreamTables& tables, const ScanHeader& scan,
                            const uint8_t* data, size_t size, size_t& pos);

    // Writes whatever part of the picture has not been written yet.
    DecodeStatus Finish();

private:
    DecodeStatus DecodeStreaming(const StreamTables& tables, const ScanHeader& scan,
                                 const uint8_t* data, size_t size, size_t& pos);
    DecodeStatus DecodeCoefficients(const StreamTables& tables, const ScanHeader& scan,
                                    const uint8_t* data, size_t size, size_t& pos);
    int16_t* CoefficientBlock(int c, int bx, int by)
    {
        const Component& comp = frame_.components[c];
        return coefficients_[c].data() + (size_t(by) * comp.blocks_wide + size_t(bx)) * 64;
    }

    Frame frame_;
    RowWriter& writer_;
    DecodeTarget& target_;
    SamplePlanes planes_;
    bool streaming_;
    bool written_ = false;
    // Each component's quantisation table, as it stood at the first scan that holds it.
    uint16_t quant_[kMaxComponents][64] = {};
    bool latched_[kMaxComponents] = {};
    std::vector<int16_t> coefficients_[kMaxComponents];  // only when not streaming
    ScanProgress progress_;                                // progressive frames only
};

}  // namespace picdll::jpeg
