#include "picdll/bmp/bmp_layout.h"

#include <algorithm>
#include <utility>

#include "picdll/bmp/little_endian.h"
#include "picdll/decode.h"

namespace picdll::bmp {
namespace {

constexpr size_t kFileHeaderBytes = 14;

// Compression codes. OS/2 2.x reuses 3 and 4 for its own schemes.
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfieldsOrHuffman = 3;
constexpr uint32_t kJpegOrRle24 = 4;
constexpr uint32_t kPng = 5;
constexpr uint32_t kAlphaBitfields = 6;

// A file whose size fields or rows reach further past its end than this fraction of its
// pixel data is refused: it was cut short, or its header lies about sizes. Within the
// allowance, pixels the file lacks decode black.
constexpr uint64_t kMissingDataAllowanceDivisor = 4;

// RLE runs reach 255 pixels per 2 bytes; deltas and end-of-bitmap can skip more, but a
// picture made almost entirely of skipped pixels is not worth allocating for.
constexpr uint64_t kMaxRlePixelsPerByte = 256;

// Pixels more than this many times taller than wide (or wider than tall) come from a
// corrupt header, not from any real device.
constexpr int64_t kMaxPixelAspect = 100;

enum class HeaderFamily { Os2Core, Os2v2, Windows };

struct InfoHeader {
    HeaderFamily family = HeaderFamily::Windows;
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;
    int planes = 0;
    int bitCount = 0;
    uint32_t compression = kUncompressed;
    uint32_t imageSize = 0;
    int32_t xDensity = 0;
    int32_t yDensity = 0;
    uint32_t coloursUsed = 0;
};

bool Fail(std::string& why, std::string reason)
{
    why = std::move(reason);
    return false;
}

bool FamilyOf(uint32_t headerSize, HeaderFamily& family)
{
    switch (headerSize) {
    case 12: family = HeaderFamily::Os2Core; return true;
    case 40:   // BITMAPINFOHEADER
    case 52:   // ...with RGB masks
    case 56:   // ...with RGBA masks
    case 108:  // BITMAPV4HEADER
    case 124:  // BITMAPV5HEADER
        family = HeaderFamily::Windows;
        return true;
    }
    // OS/2 2.x headers may end after any field of their 64 bytes.
    if (headerSize >= 16 && headerSize <= 64 && headerSize % 2 == 0) {
        family = HeaderFamily::Os2v2;
        return true;
    }
    return false;
}

InfoHeader ReadInfoHeader(const uint8_t* p, uint32_t size, HeaderFamily family)
{
    InfoHeader h;
    h.family = family;
    h.size = size;
    if (family == HeaderFamily::Os2Core) {
        h.width = ReadU16(p + 4);
        h.height = ReadU16(p + 6);
        h.planes = ReadU16(p + 8);
        h.bitCount = ReadU16(p + 10);
        return h;
    }
    h.width = ReadI32(p + 4);
    h.height = ReadI32(p + 8);
    h.planes = ReadU16(p + 12);
    h.bitCount = ReadU16(p + 14);
    auto field = [&](uint32_t offset) { return offset + 4 <= size ? ReadU32(p + offset) : 0; };
    h.compression = field(16);
    h.imageSize = field(20);
    h.xDensity = int32_t(field(24));
    h.yDensity = int32_t(field(28));
    h.coloursUsed = field(32);
    return h;
}

bool IsIndexedDepth(int bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

bool ChooseFormat(const InfoHeader& h, PixelFormat& format, std::string& why)
{
    const int bits = h.bitCount;
    const bool windows = h.family == HeaderFamily::Windows;
    auto choose = [&](PixelFormat chosen) {
        format = chosen;
        return true;
    };
    auto chooseIf = [&](bool fits, PixelFormat chosen) {
        if (fits) return choose(chosen);
        return Fail(why, "compression " + std::to_string(h.compression) + " does not go with " +
                             std::to_string(bits) + " bits per pixel");
    };
    switch (h.compression) {
    case kUncompressed:
        if (IsIndexedDepth(bits)) return choose(PixelFormat::Indexed);
        if (bits == 24) return choose(PixelFormat::Bgr24);
        if (bits == 16 || bits == 32) return choose(PixelFormat::Bitfields);
        if (bits == 64) return choose(PixelFormat::Linear64);
        return Fail(why, std::to_string(bits) + " bits per pixel is not a BMP pixel size");
    case kRle8: return chooseIf(bits == 8, PixelFormat::Rle8);
    case kRle4: return chooseIf(bits == 4, PixelFormat::Rle4);
    case kBitfieldsOrHuffman:
        if (!windows) return Fail(why, "OS/2 Huffman-compressed pictures are not supported");
        return chooseIf(bits == 16 || bits == 32, PixelFormat::Bitfields);
    case kJpegOrRle24:
        if (windows) return Fail(why, "BMP files holding a JPEG picture are not supported");
        return chooseIf(bits == 24, PixelFormat::Rle24);
    case kPng:
        if (windows) return Fail(why, "BMP files holding a PNG picture are not supported");
        break;
    case kAlphaBitfields:
        if (windows) return chooseIf(bits == 16 || bits == 32, PixelFormat::Bitfields);
        break;
    }
    return Fail(why, "unknown compression " + std::to_string(h.compression));
}

bool CheckSize(const InfoHeader& h, Layout& layout, std::string& why)
{
    if (h.width <= 0) return Fail(why, "width " + std::to_string(h.width) + " is not positive");
    if (h.height == 0) return Fail(why, "height is zero");
    const int64_t height = h.height < 0 ? -h.height : h.height;
    if (!AcceptableSize(h.width, height)) {
        return Fail(why, "a picture of " + std::to_string(h.width) + "x" +
                             std::to_string(height) + " pixels is too large");
    }
    layout.width = int(h.width);
    layout.height = int(height);
    layout.topDown = h.height < 0;
    return true;
}

// True when `mask` is one run of set bits inside a pixel of `bits` bits.
bool IsChannelMask(uint32_t mask, int bits)
{
    if (mask == 0 || (bits < 32 && mask >> bits != 0)) return false;
    const uint32_t lowest = mask & (~mask + 1);
    const uint32_t pastRun = mask + lowest;  // wraps to 0 for a run ending at bit 31
    return (pastRun & (pastRun - 1)) == 0;
}

// Reads the channel masks of a BITFIELDS picture; they sit inside headers of 52 bytes or
// more and follow a 40-byte header. `headersEnd` grows past masks stored after it.
bool ReadMasks(const uint8_t* data, size_t size, const InfoHeader& h, size_t& headersEnd,
               ChannelMasks& masks, std::string& why)
{
    if (h.compression == kUncompressed) {
        if (h.bitCount == 16) masks = {0x7C00, 0x03E0, 0x001F};
        else masks = {0xFF0000, 0x00FF00, 0x0000FF};
        return true;
    }
    const uint8_t* at = data + kFileHeaderBytes + 40;
    if (h.size == 40) {
        headersEnd += h.compression == kAlphaBitfields ? 16 : 12;
        if (headersEnd > size) return Fail(why, "the channel masks run past the end of the file");
    }
    masks = {ReadU32(at), ReadU32(at + 4), ReadU32(at + 8)};
    for (uint32_t mask : {masks.red, masks.green, masks.blue}) {
        if (!IsChannelMask(mask, h.bitCount)) {
            return Fail(why, mask == 0 ? "a colour channel has an empty mask"
                                       : "a channel mask is not one run of bits in the pixel");
        }
    }
    if ((masks.red & masks.green) | (masks.red & masks.blue) | (masks.green & masks.blue)) {
        return Fail(why, "the channel masks overlap");
    }
    return true;
}

bool LocatePalette(const InfoHeader& h, size_t size, Layout& layout, std::string& why)
{
    layout.paletteEntryBytes = h.family == HeaderFamily::Os2Core ? 3 : 4;
    const uint64_t entryBytes = uint64_t(layout.paletteEntryBytes);
    const uint64_t full = uint64_t(1) << h.bitCount;
    // OS/2 1.x files have no count; a shorter palette shows in where the pixels start.
    const bool declared = h.family != HeaderFamily::Os2Core && h.coloursUsed != 0;
    const uint64_t entries = declared ? h.coloursUsed : full;
    if (declared && layout.paletteOffset + entries * entryBytes > size) {
        return Fail(why, "a palette of " + std::to_string(entries) +
                             " colours runs past the end of the file");
    }
    const uint64_t room = (layout.pixelOffset - layout.paletteOffset) / entryBytes;
    layout.paletteEntries = int(std::min({entries, full, room}));
    return true;
}

bool CheckPixelData(const InfoHeader& h, uint32_t fileSizeField, size_t size,
                    const Layout& layout, std::string& why)
{
    const uint64_t present = size - layout.pixelOffset;
    uint64_t claimed = h.imageSize;
    if (fileSizeField > layout.pixelOffset) {
        claimed = std::max<uint64_t>(claimed, fileSizeField - layout.pixelOffset);
    }
    if (!IsRle(layout.format)) {
        claimed = std::max(claimed, RowStride(layout.width, layout.bitsPerPixel) *
                                        uint64_t(layout.height));
    }
    if (present < claimed - claimed / kMissingDataAllowanceDivisor) {
        return Fail(why, "the file is cut short: it holds " + std::to_string(present) +
                             " of " + std::to_string(claimed) + " bytes of pixel data");
    }
    const uint64_t pixels = uint64_t(layout.width) * uint64_t(layout.height);
    if (IsRle(layout.format) && pixels > present * kMaxRlePixelsPerByte) {
        return Fail(why, std::to_string(present) + " bytes of RLE data cannot describe " +
                             std::to_string(pixels) + " pixels");
    }
    return true;
}

bool CheckDensity(const InfoHeader& h, std::string& why)
{
    const int64_t x = h.xDensity, y = h.yDensity;
    if (x > 0 && y > 0 && (x > kMaxPixelAspect * y || y > kMaxPixelAspect * x)) {
        return Fail(why, "implausible pixel density of " + std::to_string(x) + " by " +
                             std::to_string(y) + " pixels per metre");
    }
    return true;
}

}  // namespace

bool IsRle(PixelFormat format)
{
    return format == PixelFormat::Rle8 || format == PixelFormat::Rle4 ||
           format == PixelFormat::Rle24;
}

uint64_t RowStride(int width, int bitsPerPixel)
{
    return (uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32 * 4;
}

bool ReadLayout(const uint8_t* data, size_t size, Layout& layout, std::string& why)
{
    if (size < kFileHeaderBytes + 4) return Fail(why, "too short to be a BMP file");
    if (data[0] != 'B' || data[1] != 'M') return Fail(why, "not a BMP file");
    const uint32_t fileSizeField = ReadU32(data + 2);
    const uint32_t pixelOffset = ReadU32(data + 10);
    const uint32_t headerSize = ReadU32(data + kFileHeaderBytes);

    HeaderFamily family;
    if (!FamilyOf(headerSize, family)) {
        return Fail(why, "unknown header size " + std::to_string(headerSize));
    }
    if (kFileHeaderBytes + headerSize > size) return Fail(why, "the header is cut short");
    const InfoHeader h = ReadInfoHeader(data + kFileHeaderBytes, headerSize, family);

    layout = Layout();
    if (h.planes != 1) return Fail(why, "planes is " + std::to_string(h.planes) + ", not 1");
    if (!ChooseFormat(h, layout.format, why) || !CheckSize(h, layout, why)) return false;
    layout.bitsPerPixel = h.bitCount;
    if (IsRle(layout.format) && layout.topDown) {
        return Fail(why, "RLE pictures cannot be stored top-down");
    }

    size_t headersEnd = kFileHeaderBytes + headerSize;
    if (layout.format == PixelFormat::Bitfields &&
        !ReadMasks(data, size, h, headersEnd, layout.masks, why)) {
        return false;
    }
    if (pixelOffset < headersEnd) return Fail(why, "the pixel data overlaps the headers");
    if (pixelOffset > size) return Fail(why, "the pixel data starts past the end of the file");
    layout.pixelOffset = pixelOffset;
    layout.paletteOffset = headersEnd;

    const bool paletted = layout.format == PixelFormat::Indexed ||
                          layout.format == PixelFormat::Rle8 || layout.format == PixelFormat::Rle4;
    if (paletted && !LocatePalette(h, size, layout, why)) return false;
    return CheckPixelData(h, fileSizeField, size, layout, why) && CheckDensity(h, why);
}

}  // namespace picdll::bmp
