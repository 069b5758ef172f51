#include <gtest/gtest.h>

#include "tests/unit/bmp_test_support.h"

using namespace bmptest;
using picdll::DecodeStatus;

namespace {

constexpr Rgb kGrey{9, 9, 9}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};

// Palette entry 0 is grey, so pixels the codes skip (black) cannot pass for index 0.
BmpRecipe RleRecipe(uint16_t bits, int width, int height, std::vector<uint8_t> codes)
{
    BmpRecipe s;
    s.width = width;
    s.height = height;
    s.bits = bits;
    s.compression = bits == 8 ? 1 : 2;
    s.palette = {kGrey, kRed, kGreen, kBlue};
    s.pixels = std::move(codes);
    return s;
}

void ExpectPicture(const RecordingTarget& target, const std::vector<Rgb>& topFirst)
{
    for (size_t i = 0; i < topFirst.size(); ++i) {
        EXPECT_EQ(target.At(int(i) % target.width, int(i) / target.width), topFirst[i]) << i;
    }
}

}  // namespace

TEST(BmpRle, Rle8RunsLiteralsDeltasAndEarlyEndsLeaveSkippedPixelsBlack)
{
    const auto file = BuildBmp(RleRecipe(8, 4, 3, {
                                                    3, 1,              // bottom row: 3 red
                                                    0, 0,              // end of line
                                                    0, 2, 1, 0,        // delta: 1 right
                                                    0, 3, 2, 3, 1, 0,  // literal, padded
                                                    0, 0,              // end of line
                                                    2, 3,              // 2 blue
                                                    0, 1,              // end of bitmap
                                                }));
    RecordingTarget target;
    ASSERT_EQ(Decode(file, target), DecodeStatus::Ok);
    ExpectPicture(target, {kBlue, kBlue, kBlack, kBlack,    //
                           kBlack, kGreen, kBlue, kRed,     //
                           kRed, kRed, kRed, kBlack});
}

TEST(BmpRle, Rle4AlternatesNibblesHighFirst)
{
    const auto file = BuildBmp(RleRecipe(4, 5, 2, {
                                                    3, 0x12,                // 1 2 1
                                                    0, 0,                   // end of line
                                                    0, 5, 0x12, 0x31, 0x20, 0,  // 1 2 3 1 2
                                                    0, 1,
                                                }));
    RecordingTarget target;
    ASSERT_EQ(Decode(file, target), DecodeStatus::Ok);
    ExpectPicture(target, {kRed, kGreen, kBlue, kRed, kGreen,  //
                           kRed, kGreen, kRed, kBlack, kBlack});
}

TEST(BmpRle, DataEndingEarlyKeepsWhatIsThere)
{
    // A literal of 4 cut off after 2 pixels, with no end-of-bitmap code.
    const auto file = BuildBmp(RleRecipe(8, 4, 1, {0, 4, 1, 2}));
    RecordingTarget target;
    ASSERT_EQ(Decode(file, target), DecodeStatus::Ok);
    ExpectPicture(target, {kRed, kGreen, kBlack, kBlack});
}

TEST(BmpRle, CodesReachingOutsideThePictureFail)
{
    const std::vector<uint8_t> cases[] = {
        {5, 1},                 // run past the right edge
        {2, 1, 0, 3, 1, 2, 3, 0},  // literal past the right edge
        {0, 2, 5, 0},           // delta past the right edge
        {0, 2, 0, 3},           // delta above the top row
        {0, 2, 0, 2, 1, 1},     // a run after the last row
    };
    for (const auto& codes : cases) {
        RecordingTarget target;
        std::string why;
        EXPECT_EQ(Decode(BuildBmp(RleRecipe(8, 4, 2, codes)), target, &why), DecodeStatus::Failed)
            << testing::PrintToString(codes);
        EXPECT_FALSE(why.empty());
    }
}

TEST(BmpRle, AStopIsObeyed)
{
    RecordingTarget target(true, 0);
    EXPECT_EQ(Decode(BuildBmp(RleRecipe(8, 4, 1, {4, 1, 0, 1})), target), DecodeStatus::Stopped);
}
