#include "picdll/jpeg/exif.h"

#include <cstring>

namespace picdll::jpeg {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

// Reads the TIFF structure in the byte order its header announces. Every read is
// bounds-checked; only IFD0 is visited, so no offset chain can loop.
class TiffReader {
public:
    TiffReader(const uint8_t* data, size_t size, bool little) : data_(data), size_(size), little_(little) {}

    bool U16(size_t at, uint16_t& v) const
    {
        if (at > size_ || size_ - at < 2) return false;
        const uint8_t* p = data_ + at;
        v = little_ ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]);
        return true;
    }
    bool U32(size_t at, uint32_t& v) const
    {
        uint16_t a, b;
        if (!U16(at, a) || !U16(at + 2, b)) return false;
        v = little_ ? uint32_t(b) << 16 | a : uint32_t(a) << 16 | b;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool little_;
};

}  // namespace

int ExifOrientation(const uint8_t* body, size_t length)
{
    static const char kExif[] = {'E', 'x', 'i', 'f', 0};
    if (length < 6 + 8 || std::memcmp(body, kExif, 5) != 0) return 1;
    const uint8_t* tiff = body + 6;
    size_t size = length - 6;

    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I') little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M') little = false;
    else return 1;
    TiffReader r(tiff, size, little);

    uint16_t magic, count;
    uint32_t ifd;
    if (!r.U16(2, magic) || magic != 42 || !r.U32(4, ifd) || !r.U16(ifd, count)) return 1;
    for (uint32_t i = 0; i < count; ++i) {
        size_t entry = size_t(ifd) + 2 + size_t(i) * 12;
        uint16_t tag, type;
        if (!r.U16(entry, tag) || !r.U16(entry + 2, type)) return 1;
        if (tag != kOrientationTag) continue;
        uint32_t value = 0;
        if (type == kTypeShort) {
            uint16_t v;
            if (!r.U16(entry + 8, v)) return 1;
            value = v;
        } else if (type != kTypeLong || !r.U32(entry + 8, value)) {
            return 1;
        }
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

}  // namespace picdll::jpeg
