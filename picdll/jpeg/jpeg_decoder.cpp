// The JPEG entry points of the image library: size queries and whole-picture decoding.
#include <climits>
#include <memory>
#include <new>

#include "picdll/decode.h"
#include "picdll/jpeg/frame_decoder.h"
#include "picdll/jpeg/headers.h"
#include "picdll/jpeg/orientation.h"
#include "picdll/jpeg/row_writer.h"

namespace picdll {

namespace {

using namespace jpeg;

// Progressive files need a dozen scans or so; hostile ones can hold thousands, each
// sweeping the whole picture.
constexpr int kMaxScans = 1000;

// The wanted smallest size and, once the frame is known, the reduction chosen for it.
struct Reduction {
    int min_width = 0, min_height = 0;
    int shift = 0;
};

DecodeStatus Decode(const uint8_t* data, size_t size, DecodeTarget& target, Reduction& reduction,
                    std::string& why)
{
    auto tables = std::make_unique<StreamTables>();
    HeaderReader headers(data, size);
    ScanHeader scan;
    switch (headers.NextScan(*tables, scan, why)) {
    case HeaderResult::Failed:
        return DecodeStatus::Failed;
    case HeaderResult::End:
        why = tables->have_frame ? "no image data" : "no frame header";
        return DecodeStatus::Failed;
    case HeaderResult::Scan:
        break;
    }
    const Frame& frame = tables->frame;
    if (!AcceptableSize(frame.width, frame.height)) {
        why = "picture too large";
        return DecodeStatus::Failed;
    }
    for (int i = 0; i < scan.component_count; ++i) {
        if (!tables->quant_defined[frame.components[scan.components[i]].quant_table]) {
            why = "missing quantisation table";
            return DecodeStatus::Failed;
        }
    }

    const Placement upright(tables->orientation, frame.width, frame.height);
    for (int d = ChooseJpegReduction(upright.upright_width(), upright.upright_height(),
                                     reduction.min_width, reduction.min_height);
         d > 1; d >>= 1)
        ++reduction.shift;
    // The frame the writer sees; the decoder keeps its own copy of the full one.
    const Frame output = ReducedFrame(frame, reduction.shift);
    Placement placement(tables->orientation, output.width, output.height);
    uint8_t* pixels = target.Allocate(placement.upright_width(), placement.upright_height());
    if (pixels == nullptr) {
        why = "no memory for the picture";
        return DecodeStatus::Failed;
    }
    RowWriter writer(output, ChooseColourModel(*tables), placement, pixels);
    FrameDecoder decoder(frame, output, scan, writer, target);
    for (int scans = 1;; ++scans) {
        size_t pos = headers.position();
        DecodeStatus status = decoder.DecodeScan(*tables, scan, data, size, pos);
        if (status != DecodeStatus::Ok) return status;
        headers.set_position(pos);
        // Whatever goes wrong after the first scan leaves a picture worth showing.
        std::string ignored;
        if (!decoder.WantsMoreScans() || scans == kMaxScans ||
            headers.NextScan(*tables, scan, ignored) != HeaderResult::Scan)
            break;
    }
    return decoder.Finish();
}

}  // namespace

SizeQuery JpegDimensionsOfStart(const uint8_t* data, size_t size, uint64_t file_size,
                                Dimensions& out, size_t& needed)
{
    try {
        auto tables = std::make_unique<jpeg::StreamTables>();
        jpeg::HeaderReader headers(data, size);
        jpeg::ScanHeader scan;
        std::string why;
        const jpeg::HeaderResult result = headers.NextScan(*tables, scan, why, false);
        // The walk stops at the first scan; bytes it lacked before that may still come.
        if (result != jpeg::HeaderResult::Scan && headers.wanted() > 0 && size < file_size) {
            needed = headers.wanted();
            return SizeQuery::NeedMore;
        }
        if (result == jpeg::HeaderResult::Failed) return SizeQuery::Failed;
        const jpeg::Frame& frame = tables->frame;
        if (!tables->have_frame || !AcceptableSize(frame.width, frame.height)) return SizeQuery::Failed;
        jpeg::Placement placement(tables->orientation, frame.width, frame.height);
        out.width = placement.upright_width();
        out.height = placement.upright_height();
        return SizeQuery::Found;
    } catch (const std::bad_alloc&) {
        return SizeQuery::Failed;
    }
}

bool JpegDimensions(const uint8_t* data, size_t size, Dimensions& out)
{
    size_t needed = 0;
    return JpegDimensionsOfStart(data, size, size, out, needed) == SizeQuery::Found;
}

DecodeStatus DecodeJpeg(const uint8_t* data, size_t size, DecodeTarget& target, std::string* why)
{
    int reduction = 1;
    return DecodeJpegReduced(data, size, INT_MAX, INT_MAX, target, reduction, why);
}

int ChooseJpegReduction(int width, int height, int min_width, int min_height)
{
    int chosen = 1;
    for (int d = 2; d <= 8; d *= 2) {
        const int64_t w = (int64_t(width) + d - 1) / d, h = (int64_t(height) + d - 1) / d;
        if (w >= min_width && h >= min_height) chosen = d;
    }
    return chosen;
}

DecodeStatus DecodeJpegReduced(const uint8_t* data, size_t size, int min_width, int min_height,
                               DecodeTarget& target, int& reduction, std::string* why)
{
    Reduction wanted;
    wanted.min_width = min_width;
    wanted.min_height = min_height;
    reduction = 1;
    try {
        std::string reason;
        const DecodeStatus status = Decode(data, size, target, wanted, reason);
        reduction = 1 << wanted.shift;
        if (status == DecodeStatus::Failed && why != nullptr) *why = reason;
        return status;
    } catch (const std::bad_alloc&) {
        if (why != nullptr) *why = "out of memory";  // short enough to need no memory
        return DecodeStatus::Failed;
    }
}

}  // namespace picdll
