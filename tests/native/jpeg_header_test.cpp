// Size queries and EXIF orientation on files whose headers the tests put together.
#include <gtest/gtest.h>

#include "tests/native/jpeg_test_support.h"

namespace {

using jpeg_test::Decode;
using jpeg_test::Decoded;
using picdll::DecodeStatus;

constexpr int kWidth = 45, kHeight = 29;

// An APP1 segment holding an EXIF block with one IFD0 entry, the orientation.
std::vector<uint8_t> ExifSegment(int orientation, bool little_endian)
{
    auto u16 = [&](std::vector<uint8_t>& v, int x) {
        if (little_endian) v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)});
        else v.insert(v.end(), {uint8_t(x >> 8), uint8_t(x)});
    };
    std::vector<uint8_t> tiff = {uint8_t(little_endian ? 'I' : 'M'), uint8_t(little_endian ? 'I' : 'M')};
    u16(tiff, 42);
    u16(tiff, little_endian ? 8 : 0);  // IFD0 at offset 8, as a 32-bit value
    u16(tiff, little_endian ? 0 : 8);
    u16(tiff, 1);                       // one entry
    u16(tiff, 0x0112);                  // orientation, SHORT, count 1
    u16(tiff, 3);
    u16(tiff, little_endian ? 1 : 0);
    u16(tiff, little_endian ? 0 : 1);
    u16(tiff, orientation);
    u16(tiff, 0);
    tiff.insert(tiff.end(), 4, 0);  // no next IFD
    std::vector<uint8_t> segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    segment[2] = uint8_t((segment.size() - 2) >> 8);
    segment[3] = uint8_t(segment.size() - 2);
    return segment;
}

std::vector<uint8_t> WithExif(const std::vector<uint8_t>& file, int orientation, bool little_endian)
{
    std::vector<uint8_t> out(file.begin(), file.begin() + 2);  // SOI
    std::vector<uint8_t> app1 = ExifSegment(orientation, little_endian);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), file.begin() + 2, file.end());
    return out;
}

// The stored picture turned as EXIF describes: a transpose first (5 to 8), then mirrors.
jpeg_test::Rgb Turn(const jpeg_test::Rgb& in, int orientation)
{
    bool transpose = orientation >= 5;
    bool mirror_x = orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
    bool mirror_y = orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8;
    jpeg_test::Rgb out;
    out.width = transpose ? in.height : in.width;
    out.height = transpose ? in.width : in.height;
    out.pixels.resize(in.pixels.size());
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            int ox = transpose ? y : x, oy = transpose ? x : y;
            if (mirror_x) ox = out.width - 1 - ox;
            if (mirror_y) oy = out.height - 1 - oy;
            for (int c = 0; c < 3; ++c)
                out.pixels[(size_t(oy) * out.width + ox) * 3 + c] = in.pixels[(size_t(y) * in.width + x) * 3 + c];
        }
    }
    return out;
}

class JpegHeaders : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!jpeg_test::EncodeWithLibjpeg(jpeg_test::SyntheticPhoto(kWidth, kHeight), {}, file_))
            GTEST_SKIP() << "libjpeg is needed to make the test files";
    }
    std::vector<uint8_t> file_;
};

TEST_F(JpegHeaders, EveryOrientationTurnsThePicture)
{
    Decoded stored = Decode(file_);
    ASSERT_EQ(stored.status, DecodeStatus::Ok);
    for (bool little : {true, false}) {
        for (int o = 1; o <= 8; ++o) {
            std::vector<uint8_t> file = WithExif(file_, o, little);
            Decoded d = Decode(file);
            ASSERT_EQ(d.status, DecodeStatus::Ok);
            jpeg_test::Rgb expected = Turn(stored.image, o);
            EXPECT_EQ(d.image.width, expected.width) << o;
            EXPECT_EQ(d.image.pixels, expected.pixels) << "orientation " << o << (little ? " II" : " MM");
            picdll::Dimensions dims;
            ASSERT_TRUE(picdll::JpegDimensions(file.data(), file.size(), dims));
            EXPECT_EQ(dims.width, expected.width);
            EXPECT_EQ(dims.height, expected.height);
        }
    }
}

TEST_F(JpegHeaders, OutOfRangeOrientationMeansUpright)
{
    for (int o : {0, 9, 0x106, 0xFFFF}) {
        std::vector<uint8_t> file = WithExif(file_, o, true);
        picdll::Dimensions dims;
        ASSERT_TRUE(picdll::JpegDimensions(file.data(), file.size(), dims));
        EXPECT_EQ(dims.width, kWidth) << o;
        EXPECT_EQ(Decode(file).image.width, kWidth) << o;
    }
}

// The size query reads headers only: a file that ends right after its frame header
// still tells its size, turned by its orientation.
TEST_F(JpegHeaders, SizeFromHeadersAlone)
{
    std::vector<uint8_t> file = WithExif(file_, 6, false);
    size_t sof = 0;
    for (size_t i = 2; i + 4 < file.size() && !sof; ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) sof = i;
    ASSERT_GT(sof, 0u);
    file.resize(sof + 2 + (file[sof + 2] << 8 | file[sof + 3]));
    picdll::Dimensions dims;
    ASSERT_TRUE(picdll::JpegDimensions(file.data(), file.size(), dims));
    EXPECT_EQ(dims.width, kHeight);
    EXPECT_EQ(dims.height, kWidth);
    Decoded d = Decode(file);
    EXPECT_EQ(d.status, DecodeStatus::Failed);
    EXPECT_FALSE(d.why.empty());
    // Cut inside the frame header, the size is unknown.
    file.resize(sof + 6);
    EXPECT_FALSE(picdll::JpegDimensions(file.data(), file.size(), dims));
}

// Motion-JPEG frames leave out their Huffman tables and rely on the standard's example
// tables, which libjpeg also writes by default: without them the picture is the same.
TEST_F(JpegHeaders, MissingHuffmanTablesMeanTheStandardOnes)
{
    std::vector<uint8_t> stripped(file_.begin(), file_.begin() + 2);
    size_t i = 2;
    while (i + 4 <= file_.size() && file_[i] == 0xFF && file_[i + 1] != 0xDA) {
        size_t length = 2 + (file_[i + 2] << 8 | file_[i + 3]);
        if (file_[i + 1] != 0xC4) stripped.insert(stripped.end(), file_.begin() + long(i), file_.begin() + long(i + length));
        i += length;
    }
    stripped.insert(stripped.end(), file_.begin() + long(i), file_.end());
    ASSERT_LT(stripped.size(), file_.size());
    Decoded with = Decode(file_), without = Decode(stripped);
    ASSERT_EQ(without.status, DecodeStatus::Ok) << without.why;
    EXPECT_EQ(with.image.pixels, without.image.pixels);
}

TEST_F(JpegHeaders, NotAJpeg)
{
    const std::vector<std::vector<uint8_t>> files = {
        {}, {0xFF}, {0xFF, 0xD8}, {'B', 'M', 0, 0, 0, 0}, {0xFF, 0xD8, 0xFF, 0xD9}};
    for (const auto& file : files) {
        picdll::Dimensions dims;
        EXPECT_FALSE(picdll::JpegDimensions(file.data(), file.size(), dims));
        Decoded d = Decode(file);
        EXPECT_EQ(d.status, DecodeStatus::Failed);
        EXPECT_FALSE(d.why.empty());
    }
}

}  // namespace
