// Reading the orientation out of EXIF blocks, well-formed or not.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "picdll/jpeg/exif.h"

namespace {

// "Exif\0\0", then a TIFF header and IFD0 with `entries` entries, the orientation among them.
std::vector<uint8_t> Exif(bool little, uint32_t ifd_offset, uint16_t entries, uint16_t type, uint32_t value)
{
    std::vector<uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> (8 * (little ? i : bytes - 1 - i))));
    };
    b.push_back(little ? 'I' : 'M');
    b.push_back(little ? 'I' : 'M');
    put(42, 2);
    put(ifd_offset, 4);
    while (b.size() < 6 + size_t(ifd_offset) && b.size() < 64) b.push_back(0);
    put(entries, 2);
    put(0x010F, 2);  // a make tag first, to be stepped over
    put(2, 2);
    put(4, 4);
    put(0, 4);
    put(0x0112, 2);
    put(type, 2);
    put(1, 4);
    if (type == 3) {
        put(value, 2);
        put(0, 2);
    } else {
        put(value, 4);
    }
    put(0, 4);
    return b;
}

struct ExifCase {
    const char* what;
    std::vector<uint8_t> block;
    int orientation;
};

TEST(JpegExif, Orientation)
{
    std::vector<uint8_t> truncated = Exif(true, 8, 2, 3, 6);
    truncated.resize(truncated.size() - 10);  // ends inside the orientation entry
    std::vector<uint8_t> bad_magic = Exif(false, 8, 2, 3, 6);
    bad_magic[9] = 43;
    std::vector<uint8_t> not_exif = Exif(true, 8, 2, 3, 6);
    not_exif[0] = 'X';
    const ExifCase cases[] = {
        {"little-endian", Exif(true, 8, 2, 3, 6), 6},
        {"big-endian", Exif(false, 8, 2, 3, 8), 8},
        {"IFD0 further on", Exif(true, 20, 2, 3, 3), 3},
        {"LONG value", Exif(false, 8, 2, 4, 5), 5},
        {"value out of range", Exif(true, 8, 2, 3, 9), 1},
        {"zero", Exif(true, 8, 2, 3, 0), 1},
        {"unexpected type", Exif(true, 8, 2, 5, 6), 1},
        {"IFD0 beyond the block", Exif(true, 0xFFFFFFF0u, 2, 3, 6), 1},
        {"entry count overstated, orientation still within", Exif(true, 8, 0xFFFF, 3, 6), 6},
        {"orientation entry not counted", Exif(true, 8, 1, 3, 6), 1},
        {"cut short", truncated, 1},
        {"bad TIFF magic", bad_magic, 1},
        {"not EXIF", not_exif, 1},
        {"empty", {}, 1},
    };
    for (const ExifCase& c : cases)
        EXPECT_EQ(picdll::jpeg::ExifOrientation(c.block.data(), c.block.size()), c.orientation) << c.what;
}

}  // namespace
