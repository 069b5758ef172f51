// Synthetic files for what the BMP Suite files leave out or cannot show on their own.
#include <gtest/gtest.h>

#include "picdll/bmp/bmp_channel.h"
#include "tests/unit/bmp_test_support.h"

using namespace bmptest;
using picdll::DecodeStatus;

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kYellow{255, 255, 0};
const std::vector<Rgb> kSixColours{kRed, kGreen, kBlue, kWhite, kBlack, kYellow};

struct FormatCase {
    const char* name;
    BmpRecipe recipe;
    std::vector<Rgb> expected;  // 3 x 2, top row first
};

BmpRecipe Recipe(uint32_t headerSize, int32_t height, uint16_t bits, std::vector<uint8_t> pixels,
             std::vector<Rgb> palette = {}, uint32_t compression = 0,
             std::vector<uint32_t> masks = {})
{
    BmpRecipe s;
    s.headerSize = headerSize;
    s.width = 3;
    s.height = height;
    s.bits = bits;
    s.pixels = std::move(pixels);
    s.palette = std::move(palette);
    s.compression = compression;
    s.masks = std::move(masks);
    return s;
}

// Every case stores red, green, blue over white, black, yellow (where the depth allows),
// with rows padded to 4 bytes and the bottom row first unless the height is negative.
const FormatCase kFormats[] = {
    {"24-bit", Recipe(40, 2, 24, {255, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0,  //
                                0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}),
     kSixColours},
    {"24-bit top-down", Recipe(40, -2, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,  //
                                          255, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0}),
     kSixColours},
    {"8-bit", Recipe(40, 2, 8, {3, 4, 5, 0, 0, 1, 2, 0}, kSixColours), kSixColours},
    {"4-bit", Recipe(40, 2, 4, {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0}, kSixColours), kSixColours},
    {"2-bit", Recipe(40, 2, 2, {0b11000100, 0, 0, 0, 0b00011000, 0, 0, 0}, kSixColours),
     {kRed, kGreen, kBlue, kWhite, kRed, kGreen}},
    {"1-bit", Recipe(40, 2, 1, {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}, {kBlack, kWhite}),
     {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
    {"OS/2 1.x", Recipe(12, 2, 8, {3, 4, 5, 0, 0, 1, 2, 0}, kSixColours), kSixColours},
    {"OS/2 2.x, 16-byte header", Recipe(16, 2, 8, {3, 4, 5, 0, 0, 1, 2, 0}, kSixColours),
     kSixColours},
    {"16-bit 5-5-5", Recipe(40, 2, 16, {0xFF, 0x7F, 0, 0, 0xE0, 0x7F, 0, 0,  //
                                      0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}),
     kSixColours},
    {"16-bit 5-6-5", Recipe(40, 2, 16, {0xFF, 0xFF, 0, 0, 0xE0, 0xFF, 0, 0,  //
                                      0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0},
                          {}, 3, {0xF800, 0x07E0, 0x001F}),
     kSixColours},
    {"32-bit masks in a V5 header, channels in the top bits",
     Recipe(124, 2, 32, {0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF,  //
                       0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
          {}, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}),
     kSixColours},
    {"32-bit alpha bitfields, alpha ignored",
     Recipe(40, 2, 32, {0xFF, 0xFF, 0xFF, 0x00, 0, 0, 0, 0x80, 0, 0xFF, 0xFF, 0xFF,  //
                      0, 0, 0xFF, 0xFF, 0, 0xFF, 0, 0xFF, 0xFF, 0, 0, 0xFF},
          {}, 6, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
     kSixColours},
};

}  // namespace

TEST(BmpDecode, EveryPixelFormatAndHeaderGivesTheSamePicture)
{
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(c.name);
        RecordingTarget target;
        std::string why;
        ASSERT_EQ(Decode(BuildBmp(c.recipe), target, &why), DecodeStatus::Ok) << why;
        ASSERT_EQ(target.width, 3);
        ASSERT_EQ(target.height, 2);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(target.At(i % 3, i / 3), c.expected[size_t(i)]) << i;
    }
}

TEST(BmpDecode, DimensionsComeFromTheHeaderWithHeightPositive)
{
    const auto file = BuildBmp(kFormats[1].recipe);  // top-down
    picdll::Dimensions size;
    ASSERT_TRUE(picdll::BmpDimensions(file.data(), file.size(), size));
    EXPECT_EQ(size.width, 3);
    EXPECT_EQ(size.height, 2);
}

TEST(BmpChannel, ScalesEveryWidthToTheFullRangeRoundingToNearest)
{
    struct Case {
        uint32_t mask, pixel;
        uint8_t expected;
    } cases[] = {
        {0x7C00, 0x7C00, 255},         {0x7C00, 3u << 10, 25},  // 3 * 255 / 31 = 24.7
        {0x07E0, 0x07E0, 255},         {0x0001, 1, 255},
        {0x3FF, 512, 128},             {0xFF000000, 0x80000000, 128},
        {0xFFFF0000, 0x80000000, 128}, {0x1FFFF, 0x10000, 128},  // beyond the table's 16 bits
        {0x80000000, 0x80000000, 255}, {0xFFE00000, 357u << 21, 44},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(picdll::bmp::Channel(c.mask)(c.pixel), c.expected)
            << std::hex << c.mask << " " << c.pixel;
    }
}

TEST(BmpDecode, AFileCutShortWithinTheAllowanceDecodesItsRowsAndLeavesTheRestBlack)
{
    BmpRecipe s;
    s.width = 1;
    s.height = 4;
    s.pixels = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};  // the top row is missing
    RecordingTarget target;
    ASSERT_EQ(Decode(BuildBmp(s), target), DecodeStatus::Ok);
    EXPECT_EQ(target.At(0, 0), kBlack);
    EXPECT_EQ(target.At(0, 1), (Rgb{9, 8, 7}));
    EXPECT_EQ(target.At(0, 3), (Rgb{3, 2, 1}));
}

TEST(BmpDecode, StrayIndicesPastThePaletteAreBlackButManyFailTheDecode)
{
    BmpRecipe s;
    s.width = 64;
    s.height = 2;
    s.bits = 8;
    s.palette = {kWhite, kGreen};
    s.pixels.assign(128, 1);
    s.pixels[70] = 200;  // top row, x = 6
    RecordingTarget target;
    ASSERT_EQ(Decode(BuildBmp(s), target), DecodeStatus::Ok);
    EXPECT_EQ(target.At(6, 0), kBlack);
    EXPECT_EQ(target.At(7, 0), kGreen);

    s.pixels.assign(128, 2);
    std::string why;
    EXPECT_EQ(Decode(BuildBmp(s), target, &why), DecodeStatus::Failed);
    EXPECT_NE(why.find("palette"), std::string::npos) << why;
}

TEST(BmpDecode, ARefusedAllocationFailsAndAStopIsObeyedAtOnce)
{
    const auto file = BuildBmp(kFormats[0].recipe);
    RecordingTarget refusing(false);
    EXPECT_EQ(Decode(file, refusing), DecodeStatus::Failed);

    RecordingTarget stopping(true, 0);
    EXPECT_EQ(Decode(file, stopping), DecodeStatus::Stopped);
    EXPECT_EQ(stopping.allocations, 1);
}
