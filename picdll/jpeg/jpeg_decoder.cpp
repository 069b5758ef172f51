// The JPEG entry points of the image library: size queries and whole-picture decoding.
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

DecodeStatus Decode(const uint8_t* data, size_t size, DecodeTarget& target, std::string& why)
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

    Placement placement(tables->orientation, frame.width, frame.height);
    uint8_t* pixels = target.Allocate(placement.upright_width(), placement.upright_height());
    if (pixels == nullptr) {
        why = "no memory for the picture";
        return DecodeStatus::Failed;
    }
    RowWriter writer(frame, ChooseColourModel(*tables), placement, pixels);
    FrameDecoder decoder(frame, scan, writer, target);
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
    try {
        std::string reason;
        const DecodeStatus status = Decode(data, size, target, reason);
        if (status == DecodeStatus::Failed && why != nullptr) *why = reason;
        return status;
    } catch (const std::bad_alloc&) {
        if (why != nullptr) *why = "out of memory";  // short enough to need no memory
        return DecodeStatus::Failed;
    }
}

}  // namespace picdll
