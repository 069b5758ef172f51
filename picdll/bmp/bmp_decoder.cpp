// BMP decoding: the headers are checked before the picture is allocated, then rows or
// RLE codes are expanded to RGB.
#include <cstring>

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

}  // namespace

bool BmpDimensions(const uint8_t* data, size_t size, Dimensions& out)
{
    bmp::Layout layout;
    std::string why;
    if (!bmp::ReadLayout(data, size, layout, why)) return false;
    out.width = layout.width;
    out.height = layout.height;
    return true;
}

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, DecodeTarget& target,
                       std::string* why)
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

}  // namespace picdll
