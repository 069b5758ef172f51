// The marker segments of a JPEG stream: frame, scan and table definitions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "picdll/jpeg/huffman.h"

namespace picdll::jpeg {

constexpr int kMaxComponents = 4;

struct Component {
    int id = 0;
    int h = 1, v = 1;  // sampling factors
    int quant_table = 0;
    // Derived from the frame:
    int width = 0, height = 0;             // samples that cover the picture
    int blocks_wide = 0, blocks_high = 0;  // blocks of the padded MCU grid
    // Samples a block gives across and down: the frame's `block`, or more for a component of a
    // reduced frame that is sampled more coarsely, whose h and v then count its samples as given.
    int side_h = 8, side_v = 8;
};

struct Frame {
    bool progressive = false;
    int width = 0, height = 0;
    int component_count = 0;
    Component components[kMaxComponents];
    int h_max = 1, v_max = 1;
    int mcus_wide = 0, mcus_high = 0;
    // Samples a block side becomes: 8, or 4, 2, 1 in a frame decoded reduced, whose
    // width, height and component sizes then count reduced samples too.
    int block = 8;
};

// The frame as decoded reduced by 2^shift (0..3) in each direction: ceil(width / 2^shift)
// by ceil(height / 2^shift) pixels, each block giving 8 >> shift samples a side, or up to 8
// in a direction in which its component is subsampled.
Frame ReducedFrame(const Frame& full, int shift);

struct ScanHeader {
    int component_count = 0;
    int components[kMaxComponents] = {};  // indices into Frame::components
    int dc_table[kMaxComponents] = {};
    int ac_table[kMaxComponents] = {};
    int ss = 0, se = 63, ah = 0, al = 0;  // spectral band and successive approximation
};

enum class ColourModel { Grey, YCbCr, Rgb, Cmyk, Ycck };

// What the marker segments read so far have defined.
struct StreamTables {
    bool have_frame = false;
    Frame frame;
    uint16_t quant[4][64] = {};  // natural order
    bool quant_defined[4] = {};
    HuffmanTable dc[4], ac[4];
    bool dc_defined[4] = {}, ac_defined[4] = {};
    int restart_interval = 0;
    bool jfif = false;
    bool adobe = false;
    int adobe_transform = 0;
    bool exif = false;
    int orientation = 1;  // EXIF, 1..8
};

enum class HeaderResult {
    Scan,    // a scan header was read; its entropy-coded data starts at position()
    End,     // EOI, the end of the data, or a segment cut short
    Failed,  // the stream cannot be decoded; see `why`
};

// Walks the marker segments of a file image, from its SOI on.
class HeaderReader {
public:
    HeaderReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Reads segments up to and including the next scan header. With `tables_too`
    // false only the frame and the orientation are taken in (enough for a size query).
    HeaderResult NextScan(StreamTables& t, ScanHeader& scan, std::string& why, bool tables_too = true);

    size_t position() const { return pos_; }
    void set_position(size_t pos) { pos_ = pos; }
    // After End: how many bytes from the start the walk needed to go on when the data
    // ran out, or 0 when it ended for another reason (EOI, a malformed segment).
    size_t wanted() const { return wanted_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    size_t wanted_ = 0;
};

// How the components of the frame are to be turned into RGB.
ColourModel ChooseColourModel(const StreamTables& t);

}  // namespace picdll::jpeg
