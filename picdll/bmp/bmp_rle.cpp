#include "picdll/bmp/bmp_rle.h"

#include <algorithm>

#include "picdll/bmp/bmp_palette.h"

namespace picdll::bmp {
namespace {

// Escape codes, the byte after a zero count.
constexpr unsigned kEndOfLine = 0;
constexpr unsigned kEndOfBitmap = 1;
constexpr unsigned kDelta = 2;

// Codes expanded between calls of KeepGoing; a code covers at most 255 pixels.
constexpr unsigned kCodesPerCheck = 1024;

class RleExpander {
public:
    RleExpander(const uint8_t* data, size_t size, const Layout& layout, uint8_t* rgb)
        : in_(data + layout.pixelOffset), end_(data + size), layout_(layout),
          palette_(data, layout), rgb_(rgb)
    {
    }

    PixelOutcome Expand(DecodeTarget& target);

private:
    size_t Remaining() const { return size_t(end_ - in_); }
    bool Fits(unsigned count) const
    {
        return y_ < unsigned(layout_.height) && x_ + count <= unsigned(layout_.width);
    }
    uint8_t* Pixel() const
    {
        const size_t row = size_t(layout_.height) - 1 - y_;  // rows are stored bottom-up
        return rgb_ + (row * size_t(layout_.width) + x_) * 3;
    }
    void PutIndex(unsigned index, uint8_t* out)
    {
        outcome_.outOfPalette += palette_.Put(index, out);
    }
    void Repeat(unsigned count, unsigned value);
    void Literal(unsigned count);
    PixelOutcome& Finish(DecodeStatus status, const char* why = "")
    {
        outcome_.status = status;
        outcome_.why = why;
        return outcome_;
    }

    const uint8_t* in_;
    const uint8_t* const end_;
    const Layout& layout_;
    const Palette palette_;
    uint8_t* const rgb_;
    unsigned x_ = 0;
    unsigned y_ = 0;  // counted from the bottom row
    PixelOutcome outcome_;
};

PixelOutcome RleExpander::Expand(DecodeTarget& target)
{
    for (unsigned codes = 0; Remaining() >= 2; ++codes) {
        if (codes % kCodesPerCheck == 0 && !target.KeepGoing()) {
            return Finish(DecodeStatus::Stopped);
        }
        const unsigned count = in_[0], value = in_[1];
        in_ += 2;
        if (count > 0) {
            if (!Fits(count)) {
                return Finish(DecodeStatus::Failed, "an RLE run crosses the edge of the picture");
            }
            Repeat(count, value);
        } else if (value == kEndOfLine) {
            x_ = 0;
            if (++y_ >= unsigned(layout_.height)) break;
        } else if (value == kEndOfBitmap) {
            break;
        } else if (value == kDelta) {
            if (Remaining() < 2) break;
            x_ += in_[0];
            y_ += in_[1];
            in_ += 2;
            if (x_ > unsigned(layout_.width) || y_ > unsigned(layout_.height)) {
                return Finish(DecodeStatus::Failed, "an RLE delta moves outside the picture");
            }
        } else {
            if (!Fits(value)) {
                return Finish(DecodeStatus::Failed,
                              "an RLE literal crosses the edge of the picture");
            }
            Literal(value);
        }
    }
    return Finish(DecodeStatus::Ok);
}

void RleExpander::Repeat(unsigned count, unsigned value)
{
    uint8_t* out = Pixel();
    switch (layout_.format) {
    case PixelFormat::Rle8:
        for (unsigned i = 0; i < count; ++i, out += 3) PutIndex(value, out);
        break;
    case PixelFormat::Rle4:  // the two nibbles alternate, high one first
        for (unsigned i = 0; i < count; ++i, out += 3) {
            PutIndex(i & 1 ? value & 15 : value >> 4, out);
        }
        break;
    default:  // RLE24: count, blue, green, red
        if (Remaining() < 2) {
            in_ = end_;
            return;
        }
        for (unsigned i = 0; i < count; ++i, out += 3) {
            out[0] = in_[1];
            out[1] = in_[0];
            out[2] = uint8_t(value);
        }
        in_ += 2;
        break;
    }
    x_ += count;
}

// Literal pixels are padded to a 16-bit boundary; a literal cut off by the end of the
// file keeps the pixels that are there.
void RleExpander::Literal(unsigned count)
{
    const uint8_t* in = in_;
    uint8_t* out = Pixel();
    size_t bytes = 0;
    switch (layout_.format) {
    case PixelFormat::Rle8: {
        bytes = count;
        const size_t present = std::min<size_t>(count, Remaining());
        for (size_t i = 0; i < present; ++i, out += 3) PutIndex(in[i], out);
        break;
    }
    case PixelFormat::Rle4: {
        bytes = (count + 1) / 2;
        const size_t present = std::min<size_t>(count, Remaining() * 2);
        for (size_t i = 0; i < present; ++i, out += 3) {
            PutIndex(i & 1 ? in[i / 2] & 15 : in[i / 2] >> 4, out);
        }
        break;
    }
    default: {  // RLE24
        bytes = size_t(count) * 3;
        const size_t present = std::min<size_t>(count, Remaining() / 3);
        for (size_t i = 0; i < present; ++i, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        break;
    }
    }
    in_ += std::min(bytes + (bytes & 1), Remaining());
    x_ += count;
}

}  // namespace

PixelOutcome DecodeRle(const uint8_t* data, size_t size, const Layout& layout,
                       DecodeTarget& target, uint8_t* rgb)
{
    return RleExpander(data, size, layout, rgb).Expand(target);
}

}  // namespace picdll::bmp
