// BMP decoding: the headers are checked before the picture is allocated, then rows or
// RLE codes are expanded to RGB.
#include <algorithm>
#include <cstring>
#include <new>

#include "picdll/bmp/bmp_layout.h"
#include "picdll/bmp/bmp_rle.h"
#include "picdll/bmp/bmp_rows.h"
#include "picdll/decode.h"

namespace picdll {
namespace {

// A few stray indices past the palette are damage, painted black. When more than one
// pixel in this many has one, the palette or the pixels are being misread, and the
// picture is refused rather than shown wrong.
constexpr uint64_t kPixelsPerStrayIndex = 64;

DecodeStatus Fail(std::string* why, const std::string& reason)
{
    if (why) *why = reason;
    return DecodeStatus::Failed;
}

DecodeStatus Decode(const uint8_t* data, size_t size, DecodeTarget& target, std::string* why)
{
    bmp::Layout layout;
    std::string reason;
    if (!bmp::ReadLayout(data, size, layout, reason)) return Fail(why, reason);
    uint8_t* rgb = target.Allocate(layout.width, layout.height);
    if (!rgb) return Fail(why, "no memory for the picture");

    const uint64_t pixels = uint64_t(layout.width) * uint64_t(layout.height);
    bmp::PixelOutcome outcome;
    if (bmp::IsRle(layout.format)) {
        std::memset(rgb, 0, size_t(pixels) * 3);
        outcome = bmp::DecodeRle(data, size, layout, target, rgb);
    } else {
        outcome = bmp::DecodeRows(data, size, layout, target, rgb);
    }
    if (outcome.status == DecodeStatus::Failed) return Fail(why, outcome.why);
    if (outcome.status == DecodeStatus::Stopped) return DecodeStatus::Stopped;
    if (outcome.outOfPalette * kPixelsPerStrayIndex > pixels) {
        return Fail(why, std::to_string(outcome.outOfPalette) +
                             " pixels use colours missing from the palette");
    }
    return DecodeStatus::Ok;
}

}  // namespace

SizeQuery BmpDimensionsOfStart(const uint8_t* data, size_t size, uint64_t file_size,
                               Dimensions& out, size_t& needed)
{
    if (size < file_size && size < bmp::kLayoutBytes) {
        needed = size_t(std::min<uint64_t>(file_size, bmp::kLayoutBytes));
        return SizeQuery::NeedMore;
    }
    if (file_size > SIZE_MAX) return SizeQuery::Failed;
    try {
        bmp::Layout layout;
        std::string why;
        if (!bmp::ReadLayout(data, size_t(file_size), layout, why)) return SizeQuery::Failed;
        out.width = layout.width;
        out.height = layout.height;
        return SizeQuery::Found;
    } catch (const std::bad_alloc&) {
        return SizeQuery::Failed;
    }
}

bool BmpDimensions(const uint8_t* data, size_t size, Dimensions& out)
{
    size_t needed = 0;
    return BmpDimensionsOfStart(data, size, size, out, needed) == SizeQuery::Found;
}

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, DecodeTarget& target,
                       std::string* why)
{
    try {
        return Decode(data, size, target, why);
    } catch (const std::bad_alloc&) {
        return Fail(why, "out of memory");
    }
}

}  // namespace picdll
