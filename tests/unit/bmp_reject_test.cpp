// Headers that must be refused before anything is allocated.
#include <gtest/gtest.h>

#include "tests/unit/bmp_test_support.h"

using namespace bmptest;
using picdll::DecodeStatus;

namespace {

BmpRecipe Valid()  // 2 x 2, 24-bit
{
    BmpRecipe s;
    s.width = 2;
    s.height = 2;
    s.pixels.assign(16, 0x40);
    return s;
}

struct RejectCase {
    const char* name;
    std::vector<uint8_t> file;
};

template <typename Change>
RejectCase With(const char* name, Change change)
{
    BmpRecipe s = Valid();
    change(s);
    return {name, BuildBmp(s)};
}

template <typename Change>
RejectCase Patched(const char* name, Change change)
{
    std::vector<uint8_t> file = BuildBmp(Valid());
    change(file);
    return {name, file};
}

}  // namespace

TEST(BmpReject, BrokenHeadersFailWithAReasonAndNoAllocation)
{
    const RejectCase cases[] = {
        With("zero planes", [](BmpRecipe& s) { s.planes = 0; }),
        With("zero width", [](BmpRecipe& s) { s.width = 0; }),
        With("zero height", [](BmpRecipe& s) { s.height = 0; }),
        With("too wide", [](BmpRecipe& s) { s.width = 65536; }),
        With("too many pixels", [](BmpRecipe& s) { s.width = s.height = 20000; }),
        With("3 bits per pixel", [](BmpRecipe& s) { s.bits = 3; }),
        With("RLE8 of 24-bit pixels", [](BmpRecipe& s) { s.compression = 1; }),
        With("unknown compression", [](BmpRecipe& s) { s.compression = 9; }),
        With("RLE stored top-down", [](BmpRecipe& s) {
            s.bits = 8, s.compression = 1, s.height = -2, s.pixels = {0, 1};
        }),
        With("empty blue mask", [](BmpRecipe& s) {
            s.bits = 16, s.compression = 3, s.masks = {0xFF00, 0xFF, 0};
        }),
        With("overlapping masks", [](BmpRecipe& s) {
            s.bits = 16, s.compression = 3, s.masks = {0xF800, 0x0FE0, 0x1F};
        }),
        With("mask with a gap", [](BmpRecipe& s) {
            s.bits = 16, s.compression = 3, s.masks = {0xF800, 0x07E0, 0x15};
        }),
        With("mask wider than the pixel", [](BmpRecipe& s) {
            s.bits = 16, s.compression = 3, s.masks = {0x1F0000, 0x07E0, 0x1F};
        }),
        With("palette larger than the file", [](BmpRecipe& s) {
            s.bits = 8, s.coloursUsed = 1000000, s.pixels.assign(8, 0);
        }),
        With("pixel data cut short", [](BmpRecipe& s) { s.pixels.resize(11); }),
        Patched("not BM", [](std::vector<uint8_t>& f) { f[1] = 'A'; }),
        Patched("header size 66", [](std::vector<uint8_t>& f) { f[14] = 66; }),
        Patched("header past the end", [](std::vector<uint8_t>& f) { f.resize(40); }),
        Patched("pixel offset past the end", [](std::vector<uint8_t>& f) { f[10] = 200; }),
        Patched("pixel offset inside the header", [](std::vector<uint8_t>& f) { f[10] = 20; }),
        Patched("file size field far past the end", [](std::vector<uint8_t>& f) { f[5] = 1; }),
        Patched("lopsided density", [](std::vector<uint8_t>& f) { f[38] = 1, f[42] = 200; }),
    };
    for (const RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTarget target;
        std::string why;
        EXPECT_EQ(Decode(c.file, target, &why), DecodeStatus::Failed);
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(why.find('\n'), std::string::npos);
        EXPECT_EQ(target.allocations, 0);
        picdll::Dimensions size;
        EXPECT_FALSE(picdll::BmpDimensions(c.file.data(), c.file.size(), size));
    }
}
