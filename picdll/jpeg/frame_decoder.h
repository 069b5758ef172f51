// Decodes the scans of a frame into the picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picdll/decode.h"
#include "picdll/jpeg/block_smoothing.h"
#include "picdll/jpeg/coefficients.h"
#include "picdll/jpeg/headers.h"
#include "picdll/jpeg/row_writer.h"
#include "picdll/jpeg/sample_planes.h"

namespace picdll::jpeg {

// A sequential frame whose first scan holds every component is decoded as it streams
// in, an MCU row at a time. Anything else (progressive frames, components in separate
// scans) collects coefficients for the whole frame and is turned into pixels at the end.
// `output` is the frame as the writer sees it: `frame` itself, or its ReducedFrame, whose
// blocks then give each component's output side samples a side and keep no more terms
// than those need.
class FrameDecoder {
public:
    FrameDecoder(const Frame& frame, const Frame& output, const ScanHeader& first_scan,
                 RowWriter& writer, DecodeTarget& target);

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
    // Block (bx, by) of the i-th component of a scan that is not streamed.
    bool DecodeBlock(const StreamTables& tables, const ScanHeader& scan, int i, BitReader& bits,
                     int& prediction, int& eob_run, int bx, int by);
    void WriteBlock(const int16_t coef[64], bool ac_present, int c, int mcu_row, int bx, int by);

    Frame frame_;
    struct Side {
        int across, down;  // samples a block gives in the output
    };
    Side sides_[kMaxComponents] = {};
    RowWriter& writer_;
    DecodeTarget& target_;
    SamplePlanes planes_;
    bool streaming_;
    bool written_ = false;
    // Each component's quantisation table, as it stood at the first scan that holds it.
    uint16_t quant_[kMaxComponents][64] = {};
    bool latched_[kMaxComponents] = {};
    CoefficientStore coefficients_[kMaxComponents];  // only when not streaming
    ScanProgress progress_;                                // progressive frames only
};

}  // namespace picdll::jpeg
