// Portable picture decoding shared by picdll.dll, picdecode and the tests.
// Decoders work on a file image in memory and write 24-bit RGB (R, G, B per pixel,
// rows packed without gaps, top row first) into a buffer the caller provides.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace picdll {

// Largest picture we agree to decode: 128 Mi pixels (384 MiB of RGB). Anything larger
// is refused before a single byte is allocated for it.
constexpr int64_t kMaxPixels = int64_t(1) << 27;
// Widest or tallest side accepted (JPEG cannot express more; BMP headers can lie).
constexpr int kMaxSide = 65535;

// True when a width x height picture may be decoded.
inline bool AcceptableSize(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

struct Dimensions {
    int width = 0;
    int height = 0;
};

enum class DecodeStatus {
    Ok,       // the picture is in the buffer (possibly partly recovered from damage)
    Stopped,  // KeepGoing() answered false; the buffer may be partly written
    Failed,   // the file cannot be read as a picture; see `why`
};

// Where a decoder puts its result.
class DecodeTarget {
public:
    virtual ~DecodeTarget() = default;
    // Called at most once, after the header has been validated with AcceptableSize and
    // before any pixel is decoded. Returns width * height * 3 writable bytes, or nullptr
    // to refuse (the decode then fails).
    virtual uint8_t* Allocate(int width, int height) = 0;
    // Called often while decoding (at least every few milliseconds of work);
    // false stops the decode at once.
    virtual bool KeepGoing() = 0;
};

// The size of the upright picture, read from the headers alone (no pixel decoding).
bool JpegDimensions(const uint8_t* data, size_t size, Dimensions& out);
bool BmpDimensions(const uint8_t* data, size_t size, Dimensions& out);

// The same query for a caller that reads no more of a file than its headers need: `data`
// holds the first `size` bytes of a file of `file_size` bytes. NeedMore asks for the
// first `needed` bytes (more than `size`) before the query can go on; Found and Failed
// are the answers the whole file would give.
enum class SizeQuery { Found, Failed, NeedMore };
SizeQuery JpegDimensionsOfStart(const uint8_t* data, size_t size, uint64_t file_size,
                                Dimensions& out, size_t& needed);
SizeQuery BmpDimensionsOfStart(const uint8_t* data, size_t size, uint64_t file_size,
                               Dimensions& out, size_t& needed);

// Decodes the whole file. On Failed, `why` (when given) receives a one-line reason.
// JPEG pictures are delivered upright according to their EXIF orientation.
DecodeStatus DecodeJpeg(const uint8_t* data, size_t size, DecodeTarget& target,
                        std::string* why = nullptr);
DecodeStatus DecodeBmp(const uint8_t* data, size_t size, DecodeTarget& target,
                       std::string* why = nullptr);

// The reduction a JPEG picture of upright size `width` x `height` is decoded at when it is
// wanted no smaller than `min_width` x `min_height`: the largest of 2, 4 and 8 that leaves
// ceil(width / d) x ceil(height / d) at least that large, or 1 when none does.
int ChooseJpegReduction(int width, int height, int min_width, int min_height);

// DecodeJpeg at the reduction ChooseJpegReduction gives for the picture's upright size:
// the target receives ceil(width / d) x ceil(height / d) pixels and `reduction` d. Each
// pixel is taken from the 1/d-size frequencies of its blocks, never from a full-size
// picture, so the work after the entropy decoding and the memory for the picture shrink
// with d, and so does that for the coefficients of a progressive picture.
DecodeStatus DecodeJpegReduced(const uint8_t* data, size_t size, int min_width, int min_height,
                               DecodeTarget& target, int& reduction, std::string* why = nullptr);

}  // namespace picdll
