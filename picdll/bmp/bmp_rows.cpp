#include "picdll/bmp/bmp_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "picdll/bmp/bmp_channel.h"
#include "picdll/bmp/bmp_palette.h"
#include "picdll/bmp/little_endian.h"

namespace picdll::bmp {
namespace {

// Indices of 1, 2 and 4 bits are packed from the most significant end of each byte.
uint64_t ConvertIndexed(const uint8_t* in, int width, int bits, const Palette& palette,
                        uint8_t* out)
{
    uint64_t outOfPalette = 0;
    const unsigned mask = (1u << bits) - 1;
    for (unsigned x = 0, bit = 0; x < unsigned(width); ++x, bit += unsigned(bits), out += 3) {
        const unsigned index = (in[bit >> 3] >> (8 - bits - (bit & 7))) & mask;
        outOfPalette += palette.Put(index, out);
    }
    return outOfPalette;
}

void ConvertBgr24(const uint8_t* in, int width, uint8_t* out)
{
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

class BitfieldsPixels {
public:
    explicit BitfieldsPixels(const Layout& layout)
        : red_(layout.masks.red), green_(layout.masks.green), blue_(layout.masks.blue),
          bytes_(layout.bitsPerPixel / 8)
    {
    }

    void Convert(const uint8_t* in, int width, uint8_t* out) const
    {
        for (int x = 0; x < width; ++x, in += bytes_, out += 3) {
            const uint32_t pixel = bytes_ == 2 ? ReadU16(in) : ReadU32(in);
            out[0] = red_(pixel);
            out[1] = green_(pixel);
            out[2] = blue_(pixel);
        }
    }

private:
    Channel red_, green_, blue_;
    int bytes_;
};

// 64-bit pixels hold linear light; the picture wants sRGB. Values outside 0..1 (the
// format allows -4..4) are clipped.
class LinearLightPixels {
public:
    LinearLightPixels()
    {
        for (int i = 0; i <= kOne; ++i) {
            const double linear = double(i) / kOne;
            const double encoded = linear <= 0.0031308 ? 12.92 * linear
                                                       : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
            srgb_[i] = uint8_t(std::lround(encoded * 255));
        }
    }

    void Convert(const uint8_t* in, int width, uint8_t* out) const
    {
        for (int x = 0; x < width; ++x, in += 8, out += 3) {
            out[0] = Encode(in + 4);
            out[1] = Encode(in + 2);
            out[2] = Encode(in);
        }
    }

private:
    static constexpr int kOne = 8192;

    uint8_t Encode(const uint8_t* sample) const
    {
        return srgb_[std::clamp(int(int16_t(ReadU16(sample))), 0, kOne)];
    }

    uint8_t srgb_[kOne + 1];
};

// Calls convert(stored row, RGB row) for every row present, in storage order.
template <typename ConvertRow>
PixelOutcome ForEachRow(const uint8_t* data, size_t size, const Layout& layout,
                        DecodeTarget& target, uint8_t* rgb, ConvertRow convert)
{
    PixelOutcome outcome;
    const uint64_t stride = RowStride(layout.width, layout.bitsPerPixel);
    const uint64_t usedBytes = (uint64_t(layout.width) * uint64_t(layout.bitsPerPixel) + 7) / 8;
    const size_t outStride = size_t(layout.width) * 3;
    for (int row = 0; row < layout.height; ++row) {
        if (!target.KeepGoing()) {
            outcome.status = DecodeStatus::Stopped;
            return outcome;
        }
        const int outRow = layout.topDown ? row : layout.height - 1 - row;
        uint8_t* out = rgb + size_t(outRow) * outStride;
        const uint64_t at = layout.pixelOffset + uint64_t(row) * stride;
        if (at + usedBytes > size) {
            std::memset(out, 0, outStride);
        } else {
            outcome.outOfPalette += convert(data + at, out);
        }
    }
    return outcome;
}

}  // namespace

PixelOutcome DecodeRows(const uint8_t* data, size_t size, const Layout& layout,
                        DecodeTarget& target, uint8_t* rgb)
{
    const int width = layout.width;
    switch (layout.format) {
    case PixelFormat::Indexed: {
        const Palette palette(data, layout);
        return ForEachRow(data, size, layout, target, rgb, [&](const uint8_t* in, uint8_t* out) {
            return ConvertIndexed(in, width, layout.bitsPerPixel, palette, out);
        });
    }
    case PixelFormat::Bgr24:
        return ForEachRow(data, size, layout, target, rgb, [&](const uint8_t* in, uint8_t* out) {
            ConvertBgr24(in, width, out);
            return uint64_t(0);
        });
    case PixelFormat::Bitfields: {
        const BitfieldsPixels pixels(layout);
        return ForEachRow(data, size, layout, target, rgb, [&](const uint8_t* in, uint8_t* out) {
            pixels.Convert(in, width, out);
            return uint64_t(0);
        });
    }
    case PixelFormat::Linear64: {
        const LinearLightPixels pixels;
        return ForEachRow(data, size, layout, target, rgb, [&](const uint8_t* in, uint8_t* out) {
            pixels.Convert(in, width, out);
            return uint64_t(0);
        });
    }
    case PixelFormat::Rle8:
    case PixelFormat::Rle4:
    case PixelFormat::Rle24:
        break;  // expanded by DecodeRle
    }
    PixelOutcome outcome;
    outcome.status = DecodeStatus::Failed;
    outcome.why = "not an uncompressed picture";
    return outcome;
}

}  // namespace picdll::bmp
