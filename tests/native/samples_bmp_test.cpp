// BMP output of make-samples: row order and padding at every width residue, exact
// colours through the 8-bit palette, and dithering that keeps pictures faithful.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/native/samples_test_support.h"

namespace {

using namespace tooltest;

class SamplesBmp : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = FreshDir("bmp"); }
  void TearDown() override { fs::remove_all(dir_); }

  Bitmap Make(const std::string& options) {
    const fs::path path = dir_ / "picture.bmp";
    EXPECT_EQ(RunCommand(Quote(Tool("make-samples")) + " " + Quote(dir_.string()) + " --name picture.bmp --kind bmp " + options), 0);
    Bitmap bmp;
    EXPECT_EQ(ReadBmp(path, bmp), "") << options;
    return bmp;
  }

  fs::path dir_;
};

TEST_F(SamplesBmp, OnePixelPictureIsLaidOutByteForByte) {
  Make("--size 1x1 --pattern flat:123456");
  const std::vector<uint8_t> bytes = ReadAll(dir_ / "picture.bmp");
  ASSERT_EQ(bytes.size(), 58u);  // headers + one padded row
  EXPECT_EQ(bytes[54], 0x56);     // blue, green, red, one pad byte
  EXPECT_EQ(bytes[55], 0x34);
  EXPECT_EQ(bytes[56], 0x12);
  EXPECT_EQ(bytes[57], 0x00);
}

TEST_F(SamplesBmp, RowsArePaddedAndStoredBottomUpAtEveryWidth) {
  for (const char* bits : {"24", "8"}) {
    for (int width = 1; width <= 5; ++width) {
      const std::string options = "--bits " + std::string(bits) + " --pattern bars --size " + std::to_string(width) + "x3";
      const Bitmap bmp = Make(options);  // the reader insists on exact padding
      ASSERT_EQ(bmp.width, width) << options;
      ASSERT_EQ(bmp.height, 3) << options;
    }
  }
  // The gradient runs blue at the top to cyan at the bottom of its left edge.
  const Bitmap bmp = Make("--size 5x3 --pattern gradient");
  EXPECT_EQ(bmp.At(0, 0), (Colour{0, 0, 255}));
  EXPECT_EQ(bmp.At(0, 2), (Colour{0, 255, 255}));
  EXPECT_EQ(bmp.At(4, 0), (Colour{255, 0, 0}));
}

TEST_F(SamplesBmp, PaletteKeepsPureColoursExact) {
  const Bitmap bars = Make("--bits 8 --size 13x4 --pattern bars");
  EXPECT_EQ(bars.bits, 8);
  EXPECT_EQ(bars.palette.size(), 256u);
  const Colour expected[8] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                              {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
  for (int y = 0; y < bars.height; ++y) {
    for (int x = 0; x < bars.width; ++x) EXPECT_EQ(bars.At(x, y), expected[x * 8 / 13]) << x << "," << y;
  }
  const Bitmap grey = Make("--bits 8 --size 4x4 --pattern flat:7f7f7f");
  const Colour first = grey.At(0, 0);
  EXPECT_EQ(first[0], first[1]);
  EXPECT_EQ(first[1], first[2]);
  EXPECT_NEAR(first[0], 127, 3) << "mid grey has a palette entry of its own";
}

TEST_F(SamplesBmp, DitheredPaletteStaysFaithfulToTheFullColourPicture) {
  const Bitmap full = Make("--bits 24 --size 160x120 --pattern photo");
  const Bitmap reduced = Make("--bits 8 --size 160x120 --pattern photo");
  // Per pixel the dither moves colours by up to a palette step; over 4x4 areas it cancels.
  double pixelError = 0, areaError = 0;
  for (int by = 0; by < 120; by += 4) {
    for (int bx = 0; bx < 160; bx += 4) {
      double sumFull[3] = {}, sumReduced[3] = {};
      for (int y = by; y < by + 4; ++y) {
        for (int x = bx; x < bx + 4; ++x) {
          for (size_t k = 0; k < 3; ++k) {
            sumFull[k] += full.At(x, y)[k];
            sumReduced[k] += reduced.At(x, y)[k];
            pixelError += std::abs(full.At(x, y)[k] - reduced.At(x, y)[k]);
          }
        }
      }
      for (size_t k = 0; k < 3; ++k) areaError += std::fabs(sumFull[k] - sumReduced[k]) / 16;
    }
  }
  EXPECT_LT(pixelError / (160 * 120 * 3), 20.0);
  EXPECT_LT(areaError / (40 * 30 * 3), 6.0);
}

}  // namespace
