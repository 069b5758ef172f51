// What a BMP file's headers say about its pixels, checked against the file before any
// memory is allocated for the picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace picdll::bmp {

enum class PixelFormat {
    Indexed,    // 1, 2, 4 or 8 bits per pixel, looked up in the palette
    Bgr24,      // blue, green, red bytes
    Bitfields,  // 16 or 32 bits per pixel, channels placed by masks
    Linear64,   // blue, green, red, alpha: signed 16-bit linear light, 1.0 = 8192
    Rle8,
    Rle4,
    Rle24,      // OS/2 2.x
};

struct ChannelMasks {
    uint32_t red = 0, green = 0, blue = 0;
};

struct Layout {
    int width = 0;
    int height = 0;  // always positive; topDown gives the storage order
    bool topDown = false;
    int bitsPerPixel = 0;
    PixelFormat format = PixelFormat::Indexed;
    ChannelMasks masks;         // Bitfields only
    size_t paletteOffset = 0;   // Indexed, Rle8 and Rle4 only
    int paletteEntries = 0;     // usable entries present in the file, at most 256
    int paletteEntryBytes = 4;  // 3 in OS/2 1.x files
    size_t pixelOffset = 0;
};

// ReadLayout reads no byte past this many (file header, the largest info header and the
// masks after it); beyond them it only weighs offsets against the file's size.
constexpr size_t kLayoutBytes = 14 + 124 + 16;

// Fills `layout` from the headers of the file image; false with a one-line reason when
// the file is not a BMP picture we can decode.
bool ReadLayout(const uint8_t* data, size_t size, Layout& layout, std::string& why);

bool IsRle(PixelFormat format);

// Bytes in one stored row of an uncompressed picture: rows are padded to 4 bytes.
uint64_t RowStride(int width, int bitsPerPixel);

}  // namespace picdll::bmp
