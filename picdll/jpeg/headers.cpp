#include "picdll/jpeg/headers.h"

#include <cstring>

#include "picdll/jpeg/exif.h"
#include "picdll/jpeg/zigzag.h"

namespace picdll::jpeg {

namespace {

enum Marker : uint8_t {
    kSof0 = 0xC0,  // baseline
    kSof1 = 0xC1,  // extended sequential
    kSof2 = 0xC2,  // progressive
    kSof3 = 0xC3,  // lossless
    kDht = 0xC4,
    kJpg = 0xC8,
    kDac = 0xCC,
    kRst0 = 0xD0,
    kRst7 = 0xD7,
    kSoi = 0xD8,
    kEoi = 0xD9,
    kSos = 0xDA,
    kDqt = 0xDB,
    kDri = 0xDD,
    kApp0 = 0xE0,
    kApp1 = 0xE1,
    kApp14 = 0xEE,
    kTem = 0x01,
};

uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

bool IsStandalone(uint8_t m) { return m == kSoi || m == kTem || (m >= kRst0 && m <= kRst7); }

// SOF markers of coding processes we do not decode.
const char* UnsupportedProcess(uint8_t m)
{
    if (m == kSof3) return "lossless JPEG is not supported";
    if (m >= 0xC5 && m <= 0xC7) return "hierarchical JPEG is not supported";
    if (m >= 0xC9 && m <= 0xCF && m != kDac) return "arithmetic-coded JPEG is not supported";
    return nullptr;
}

bool ReadHuffmanTables(const uint8_t* p, size_t n, StreamTables& t)
{
    while (n > 0) {
        if (n < 17) return false;
        int tc = p[0] >> 4, th = p[0] & 15;
        if (tc > 1 || th > 3) return false;
        size_t total = 0;
        for (int i = 1; i <= 16; ++i) total += p[i];
        if (n < 17 + total) return false;
        HuffmanTable& table = tc ? t.ac[th] : t.dc[th];
        if (!BuildHuffmanTable(p + 1, p + 17, table)) return false;
        (tc ? t.ac_defined : t.dc_defined)[th] = true;
        p += 17 + total;
        n -= 17 + total;
    }
    return true;
}

bool ReadQuantTables(const uint8_t* p, size_t n, StreamTables& t)
{
    while (n > 0) {
        int pq = p[0] >> 4, tq = p[0] & 15;
        size_t bytes = pq ? 128 : 64;
        if (pq > 1 || tq > 3 || n < 1 + bytes) return false;
        for (int k = 0; k < 64; ++k)
            t.quant[tq][kZigzag[k]] = pq ? Be16(p + 1 + 2 * k) : p[1 + k];
        t.quant_defined[tq] = true;
        p += 1 + bytes;
        n -= 1 + bytes;
    }
    return true;
}

void ReadAppSegment(uint8_t marker, const uint8_t* p, size_t n, StreamTables& t)
{
    if (marker == kApp0 && n >= 5 && std::memcmp(p, "JFIF\0", 5) == 0) {
        t.jfif = true;
    } else if (marker == kApp1 && !t.exif && n >= 6 && std::memcmp(p, "Exif\0", 5) == 0) {
        t.exif = true;  // the first EXIF block is the picture's; later ones may be embedded
        t.orientation = ExifOrientation(p, n);
    } else if (marker == kApp14 && n >= 12 && std::memcmp(p, "Adobe", 5) == 0) {
        t.adobe = true;
        t.adobe_transform = p[11];
    }
}

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

bool ReadFrame(uint8_t marker, const uint8_t* p, size_t n, StreamTables& t, std::string& why)
{
    if (n < 6) {
        why = "frame header is cut short";
        return false;
    }
    Frame f;
    f.progressive = marker == kSof2;
    int precision = p[0];
    f.height = Be16(p + 1);
    f.width = Be16(p + 3);
    f.component_count = p[5];
    if (precision != 8) {
        why = std::to_string(precision) + "-bit samples are not supported";
        return false;
    }
    if (f.width == 0 || f.height == 0) {
        why = "picture has no width or height";
        return false;
    }
    int nc = f.component_count;
    if (nc != 1 && nc != 3 && nc != 4) {
        why = std::to_string(nc) + " colour components are not supported";
        return false;
    }
    if (n < 6 + 3 * size_t(nc)) {
        why = "frame header is cut short";
        return false;
    }
    for (int i = 0; i < nc; ++i) {
        Component& c = f.components[i];
        const uint8_t* q = p + 6 + 3 * i;
        c.id = q[0];
        c.h = nc == 1 ? 1 : q[1] >> 4;  // a lone component is never subsampled
        c.v = nc == 1 ? 1 : q[1] & 15;
        c.quant_table = q[2];
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quant_table > 3) {
            why = "invalid component in frame header";
            return false;
        }
        if (c.h > f.h_max) f.h_max = c.h;
        if (c.v > f.v_max) f.v_max = c.v;
    }
    f.mcus_wide = CeilDiv(f.width, 8 * f.h_max);
    f.mcus_high = CeilDiv(f.height, 8 * f.v_max);
    for (int i = 0; i < nc; ++i) {
        Component& c = f.components[i];
        c.width = CeilDiv(f.width * c.h, f.h_max);
        c.height = CeilDiv(f.height * c.v, f.v_max);
        c.blocks_wide = f.mcus_wide * c.h;
        c.blocks_high = f.mcus_high * c.v;
    }
    t.frame = f;
    t.have_frame = true;
    return true;
}

bool ReadScan(const uint8_t* p, size_t n, StreamTables& t, ScanHeader& scan, std::string& why)
{
    const Frame& f = t.frame;
    int ns = n >= 1 ? p[0] : 0;
    if (ns < 1 || ns > f.component_count || n < 4 + 2 * size_t(ns)) {
        why = "invalid scan header";
        return false;
    }
    scan = ScanHeader();
    scan.component_count = ns;
    const uint8_t* q = p + 1 + 2 * ns;
    if (f.progressive) {
        scan.ss = q[0];
        scan.se = q[1];
        scan.ah = q[2] >> 4;
        scan.al = q[2] & 15;
    }
    // Table numbers matter only for the tables the scan uses: a progressive DC scan's
    // AC table number, say, may be anything.
    bool uses_dc = !f.progressive || (scan.ss == 0 && scan.ah == 0);
    bool uses_ac = !f.progressive || scan.ss > 0;
    bool used[kMaxComponents] = {};
    for (int i = 0; i < ns; ++i) {
        int id = p[1 + 2 * i], td = p[2 + 2 * i] >> 4, ta = p[2 + 2 * i] & 15;
        int index = -1;
        for (int c = 0; c < f.component_count && index < 0; ++c)
            if (f.components[c].id == id && !used[c]) index = c;
        if (index < 0 || (uses_dc && td > 3) || (uses_ac && ta > 3)) {
            why = "invalid scan header";
            return false;
        }
        used[index] = true;
        scan.components[i] = index;
        scan.dc_table[i] = uses_dc ? td : 0;
        scan.ac_table[i] = uses_ac ? ta : 0;
        // Streams that leave the tables out rely on the standard's example tables.
        if (uses_dc && !t.dc_defined[td]) {
            BuildDefaultHuffmanTable(false, td & 1, t.dc[td]);
            t.dc_defined[td] = true;
        }
        if (uses_ac && !t.ac_defined[ta]) {
            BuildDefaultHuffmanTable(true, ta & 1, t.ac[ta]);
            t.ac_defined[ta] = true;
        }
    }
    return true;
}

// How many times `block` samples a side each block of a component sampled `factor` of `most`
// gives: the largest k that keeps its grid a whole division of the picture's, within 8 samples
// a block. The odd 3:1 sampling takes 3 at 1/4 and 1/8, where its colour would otherwise be
// stretched threefold.
int SampleMultiple(int factor, int most, int block)
{
    for (int k = most / factor; k > 1; --k)
        if (most % (factor * k) == 0 && block * k <= 8) return k;
    return 1;
}

}  // namespace

HeaderResult HeaderReader::NextScan(StreamTables& t, ScanHeader& scan, std::string& why,
                                    bool tables_too)
{
    wanted_ = 0;
    if (pos_ == 0) {
        if (size_ < 2) {
            wanted_ = 2;
            why = "not a JPEG file";
            return HeaderResult::Failed;
        }
        if (data_[0] != 0xFF || data_[1] != kSoi) {
            why = "not a JPEG file";
            return HeaderResult::Failed;
        }
        pos_ = 2;
    }
    for (;;) {
        // Find the next marker, stepping over stray bytes and 0xFF fill bytes.
        while (pos_ < size_ && data_[pos_] != 0xFF) ++pos_;
        while (pos_ < size_ && data_[pos_] == 0xFF) ++pos_;
        if (pos_ >= size_) {
            wanted_ = size_ + 2;
            return HeaderResult::End;
        }
        uint8_t marker = data_[pos_++];
        if (marker == 0 || IsStandalone(marker)) continue;
        if (marker == kEoi) return HeaderResult::End;
        if (size_ - pos_ < 2) {
            wanted_ = pos_ + 2;
            return HeaderResult::End;
        }
        size_t length = Be16(data_ + pos_);
        if (length < 2) return HeaderResult::End;
        if (size_ - pos_ < length) {
            wanted_ = pos_ + length;
            return HeaderResult::End;
        }
        const uint8_t* body = data_ + pos_ + 2;
        size_t n = length - 2;
        size_t next = pos_ + length;

        if (const char* unsupported = UnsupportedProcess(marker)) {
            why = unsupported;
            return HeaderResult::Failed;
        }
        bool ok = true;
        switch (marker) {
        case kSof0:
        case kSof1:
        case kSof2:
            if (t.have_frame) return HeaderResult::End;  // a second picture: not ours to read
            ok = ReadFrame(marker, body, n, t, why);
            break;
        case kDht:
            if (tables_too && !ReadHuffmanTables(body, n, t)) {
                why = "invalid Huffman table";
                ok = false;
            }
            break;
        case kDqt:
            if (tables_too && !ReadQuantTables(body, n, t)) {
                why = "invalid quantisation table";
                ok = false;
            }
            break;
        case kDri:
            if (n >= 2) t.restart_interval = Be16(body);
            break;
        case kSos:
            if (!t.have_frame) {
                why = "scan before frame header";
                return HeaderResult::Failed;
            }
            if (tables_too && !ReadScan(body, n, t, scan, why)) return HeaderResult::Failed;
            pos_ = next;
            return HeaderResult::Scan;
        case kJpg:
            break;
        default:
            if (marker >= kApp0) ReadAppSegment(marker, body, n, t);
            break;
        }
        if (!ok) return HeaderResult::Failed;
        pos_ = next;
    }
}

Frame ReducedFrame(const Frame& full, int shift)
{
    Frame f = full;
    const int d = 1 << shift;
    f.block = 8 >> shift;
    f.width = CeilDiv(full.width, d);
    f.height = CeilDiv(full.height, d);
    for (int i = 0; i < f.component_count; ++i) {
        Component& c = f.components[i];
        // A subsampled component (the colour of most photos) keeps the terms its coarser grid
        // leaves room for, so it comes out as fine as the reduced picture instead of being
        // stretched to it as at full size: a reduced picture keeps the colour detail of the
        // full one.
        const int more_h = SampleMultiple(c.h, full.h_max, f.block), more_v = SampleMultiple(c.v, full.v_max, f.block);
        c.side_h = f.block * more_h;
        c.side_v = f.block * more_v;
        c.h *= more_h;
        c.v *= more_v;
        c.width = CeilDiv(full.width * c.h, full.h_max * d);
        c.height = CeilDiv(full.height * c.v, full.v_max * d);
    }
    return f;
}

ColourModel ChooseColourModel(const StreamTables& t)
{
    const Frame& f = t.frame;
    if (f.component_count == 1) return ColourModel::Grey;
    if (f.component_count == 4)
        return t.adobe && t.adobe_transform == 2 ? ColourModel::Ycck : ColourModel::Cmyk;
    if (t.adobe) return t.adobe_transform == 0 ? ColourModel::Rgb : ColourModel::YCbCr;
    if (t.jfif) return ColourModel::YCbCr;
    const Component* c = f.components;
    if (c[0].id == 'R' && c[1].id == 'G' && c[2].id == 'B') return ColourModel::Rgb;
    return ColourModel::YCbCr;
}

}  // namespace picdll::jpeg
