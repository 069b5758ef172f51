// Our decoder against libjpeg-turbo on JPEGs made at test time by cjpeg, ImageMagick
// and libjpeg itself from synthetic photo-like pictures.
//
// Why 45 dB: both decoders use the same integer IDCT (islow), the same triangle-filter
// chroma upsampling and the same fixed-point YCbCr conversion, so on these files they
// agree to the bit today. What may legitimately differ is rounding in the last bit:
// another libjpeg build or version (a float IDCT, IJG's DCT-domain upsampling) lands
// 50-55 dB away, while a real fault (a misplaced block, a wrong coefficient, a
// sampling mix-up) falls to 20-35 dB. 45 dB separates the two.
#include <gtest/gtest.h>

#include "tests/native/jpeg_test_support.h"

namespace {

using jpeg_test::Decode;
using jpeg_test::Decoded;
using picdll::DecodeStatus;

constexpr double kMinPsnr = 45.0;

struct EncodeCase {
    const char* name;
    int width, height;
    const char* cjpeg_options;  // a {scans} in the options is replaced by a scan script
};

void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

// Components coded in separate sequential scans (cjpeg writes a script-driven
// sequential file when no scan has a partial band).
const char* kSeparateScans = "0: 0 63 0 0;\n1: 0 63 0 0;\n2: 0 63 0 0;\n";

const EncodeCase kCases[] = {
    {"baseline_q95", 641, 481, "-quality 95"},
    {"baseline_q50", 641, 481, "-quality 50"},
    {"optimised_tables", 641, 481, "-optimize"},
    {"progressive", 641, 481, "-progressive"},
    {"progressive_q50_444", 641, 481, "-progressive -quality 50 -sample 1x1"},
    {"greyscale", 641, 481, "-grayscale"},
    {"greyscale_progressive", 641, 481, "-grayscale -progressive"},
    {"restart_every_row", 641, 481, "-restart 1"},
    {"restart_every_5_mcus", 641, 481, "-restart 5B"},
    {"restart_progressive", 641, 481, "-progressive -restart 3B"},
    {"rgb_components", 641, 481, "-rgb"},
    {"separate_scans", 641, 481, "-scans {scans}"},
    {"sample_1x1", 641, 481, "-sample 1x1"},
    {"sample_2x1", 641, 481, "-sample 2x1"},
    {"sample_1x2", 641, 481, "-sample 1x2"},
    {"sample_2x2", 641, 481, "-sample 2x2"},
    {"sample_4x1", 641, 481, "-sample 4x1"},
    {"sample_1x4", 641, 481, "-sample 1x4"},
    {"sample_4x2", 641, 481, "-sample 4x2"},
    {"sample_3x1", 641, 481, "-sample 3x1"},
    {"sample_3x2", 641, 481, "-sample 3x2"},
    {"sample_mixed_chroma", 641, 481, "-sample 2x2,2x1,1x2"},
    {"sample_chroma_finer", 641, 481, "-sample 1x1,2x2,2x2"},
    {"sample_4x2_progressive", 641, 481, "-progressive -sample 4x2"},
    {"size_1x1", 1, 1, "-quality 90"},
    {"size_1x1_progressive", 1, 1, "-progressive"},
    {"size_17x9", 17, 9, "-quality 90"},
    {"size_17x9_progressive", 17, 9, "-progressive -sample 2x1"},
    {"size_3x65_1x2", 3, 65, "-sample 1x2"},
};

class JpegVersusLibjpeg : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(JpegVersusLibjpeg, DecodesLikeLibjpeg)
{
    const EncodeCase& c = GetParam();
    if (!jpeg_test::HaveReference()) GTEST_SKIP() << "libjpeg not linked";
    if (!jpeg_test::HaveProgram("cjpeg")) GTEST_SKIP() << "cjpeg not installed";
    jpeg_test::TempDir dir;
    std::string options = c.cjpeg_options;
    size_t at = options.find("{scans}");
    if (at != std::string::npos) {
        FILE* f = std::fopen(dir.Path("scans.txt").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(kSeparateScans, f);
        std::fclose(f);
        options.replace(at, 7, dir.Path("scans.txt"));
    }
    ASSERT_TRUE(jpeg_test::WritePpm(dir.Path("in.ppm"), jpeg_test::SyntheticPhoto(c.width, c.height)));
    ASSERT_TRUE(jpeg_test::Run("cjpeg " + options + " -outfile " + dir.Path("out.jpg") + " " + dir.Path("in.ppm")));
    std::vector<uint8_t> file = jpeg_test::ReadFile(dir.Path("out.jpg"));

    Decoded ours = Decode(file);
    ASSERT_EQ(ours.status, DecodeStatus::Ok) << ours.why;
    jpeg_test::Rgb reference;
    ASSERT_TRUE(jpeg_test::ReferenceDecode(file, reference));
    ASSERT_EQ(ours.image.width, reference.width);
    ASSERT_EQ(ours.image.height, reference.height);
    EXPECT_GE(jpeg_test::Psnr(ours.image, reference), kMinPsnr);
}

INSTANTIATE_TEST_SUITE_P(JpegCjpeg, JpegVersusLibjpeg, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegOtherEncoders, ArithmeticCodingFailsCleanly)
{
    if (!jpeg_test::HaveProgram("cjpeg")) GTEST_SKIP() << "cjpeg not installed";
    jpeg_test::TempDir dir;
    ASSERT_TRUE(jpeg_test::WritePpm(dir.Path("in.ppm"), jpeg_test::SyntheticPhoto(64, 48)));
    ASSERT_TRUE(jpeg_test::Run("cjpeg -arithmetic -outfile " + dir.Path("a.jpg") + " " + dir.Path("in.ppm")));
    Decoded d = Decode(jpeg_test::ReadFile(dir.Path("a.jpg")));
    EXPECT_EQ(d.status, DecodeStatus::Failed);
    EXPECT_NE(d.why.find("arithmetic"), std::string::npos) << d.why;
}

// CMYK as ImageMagick writes it: Adobe marker, inverted ink values.
TEST(JpegOtherEncoders, ImageMagickCmyk)
{
    if (!jpeg_test::HaveReference()) GTEST_SKIP() << "libjpeg not linked";
    if (!jpeg_test::HaveProgram("convert")) GTEST_SKIP() << "ImageMagick not installed";
    jpeg_test::TempDir dir;
    jpeg_test::Rgb photo = jpeg_test::SyntheticPhoto(321, 241);
    ASSERT_TRUE(jpeg_test::WritePpm(dir.Path("in.ppm"), photo));
    for (const char* options : {"-quality 92", "-quality 80 -interlace JPEG"}) {
        std::string out = dir.Path("cmyk.jpg");
        ASSERT_TRUE(jpeg_test::Run("convert " + dir.Path("in.ppm") + " -colorspace CMYK " + options + " " + out));
        std::vector<uint8_t> file = jpeg_test::ReadFile(out);
        Decoded ours = Decode(file);
        ASSERT_EQ(ours.status, DecodeStatus::Ok) << ours.why;
        jpeg_test::Rgb reference;
        ASSERT_TRUE(jpeg_test::ReferenceDecode(file, reference));
        EXPECT_GE(jpeg_test::Psnr(ours.image, reference), kMinPsnr) << options;
        // Ink inverted the wrong way round would give a negative of the photo.
        EXPECT_GT(jpeg_test::Psnr(ours.image, photo), 25.0) << options;
    }
}

// ImageMagick cannot write YCCK, so libjpeg writes both Adobe variants here.
TEST(JpegOtherEncoders, AdobeCmykAndYcck)
{
    if (!jpeg_test::HaveReference()) GTEST_SKIP() << "libjpeg not linked";
    jpeg_test::Rgb photo = jpeg_test::SyntheticPhoto(203, 117);
    for (bool ycck : {false, true}) {
        jpeg_test::EncodeOptions options;
        options.quality = 95;
        options.ink = ycck ? jpeg_test::EncodeOptions::Ink::Ycck : jpeg_test::EncodeOptions::Ink::Cmyk;
        std::vector<uint8_t> file;
        ASSERT_TRUE(jpeg_test::EncodeWithLibjpeg(photo, options, file));
        Decoded ours = Decode(file);
        ASSERT_EQ(ours.status, DecodeStatus::Ok) << ours.why;
        jpeg_test::Rgb reference;
        ASSERT_TRUE(jpeg_test::ReferenceDecode(file, reference));
        EXPECT_GE(jpeg_test::Psnr(ours.image, reference), kMinPsnr) << (ycck ? "YCCK" : "CMYK");
        EXPECT_GT(jpeg_test::Psnr(ours.image, photo), 30.0) << (ycck ? "YCCK" : "CMYK");
    }
}

}  // namespace
