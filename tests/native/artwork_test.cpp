// The logo frames and banner: committed copies are the generator's output, in the exact
// format the resource compiler and the saver expect, and they look like what they are.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/native/samples_test_support.h"

namespace {

using namespace tooltest;

const fs::path kCommitted = fs::path(VELMORA_SOURCE_DIR) / "resources" / "bitmaps";

std::string FrameName(int frame) {
  char name[16];
  std::snprintf(name, sizeof name, "frame%02d.bmp", frame);
  return name;
}

Bitmap Load(const std::string& name) {
  Bitmap bmp;
  const std::string why = ReadBmp(kCommitted / name, bmp);
  EXPECT_EQ(why, "") << name;
  return bmp;
}

// Columns holding any lettering, as [first, last]; {-1, -1} when blank.
std::pair<int, int> InkColumns(const Bitmap& bmp, int threshold = 40) {
  int first = -1, last = -1;
  for (int x = 0; x < bmp.width; ++x) {
    for (int y = 0; y < bmp.height; ++y) {
      if (bmp.Index(x, y) > threshold) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

// Mean absolute index difference between a and the left-right mirror image of b.
double MirrorDifference(const Bitmap& a, const Bitmap& b) {
  double sum = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) sum += std::abs(a.Index(x, y) - b.Index(a.width - 1 - x, y));
  }
  return sum / double(a.width * a.height);
}

TEST(Artwork, CommittedBitmapsAreExactlyTheGeneratorOutput) {
  const fs::path out = FreshDir("artwork");
  ASSERT_EQ(RunCommand(Quote(Tool("make-artwork")) + " " + Quote(out.string())), 0);
  std::vector<std::string> names = {"banner.bmp"};
  for (int frame = 1; frame <= 10; ++frame) names.push_back(FrameName(frame));
  for (const std::string& name : names) {
    EXPECT_EQ(ReadAll(out / name), ReadAll(kCommitted / name)) << name << " differs: rerun make-artwork";
  }
  // Nothing else is written.
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 11);
  fs::remove_all(out);
}

TEST(Artwork, BitmapsHaveTheResourceFormat) {
  for (int frame = 1; frame <= 11; ++frame) {
    const std::string name = frame <= 10 ? FrameName(frame) : "banner.bmp";
    const Bitmap bmp = Load(name);
    EXPECT_EQ(bmp.width, frame <= 10 ? 150 : 238) << name;
    EXPECT_EQ(bmp.height, frame <= 10 ? 53 : 17) << name;
    EXPECT_EQ(bmp.bits, 8) << name;
    EXPECT_EQ(bmp.palette.size(), 256u) << name;
    EXPECT_TRUE(bmp.colorsUsed == 0 || bmp.colorsUsed == 256) << name;
    // The lettering sits on pure black, and index 0 is that black.
    EXPECT_EQ(bmp.palette[0], (Colour{0, 0, 0})) << name;
    EXPECT_EQ(bmp.Index(0, 0), 0) << name;
    EXPECT_EQ(bmp.Index(bmp.width - 1, bmp.height - 1), 0) << name;
  }
}

TEST(Artwork, LogoPaletteIsABlueGreenRampOutOfBlack) {
  const Bitmap bmp = Load(FrameName(1));
  int brightness = -1;
  for (const Colour& c : bmp.palette) {
    const int sum = c[0] + c[1] + c[2];
    EXPECT_GE(sum, brightness - 3) << "ramp should brighten steadily";
    brightness = std::max(brightness, sum);
  }
  const Colour mid = bmp.palette[128], upper = bmp.palette[220];
  EXPECT_GT(mid[2], mid[1]) << "the middle of the ramp is blue";
  EXPECT_GT(upper[1], upper[2]) << "the top of the ramp is green";
  EXPECT_LT(upper[0], upper[1]);
}

TEST(Artwork, EveryFrameHasLetteringThatNarrowsAsTheWordTurns) {
  const int frontWidth = InkColumns(Load(FrameName(1))).second - InkColumns(Load(FrameName(1))).first + 1;
  EXPECT_GT(frontWidth, 120) << "the front view fills the frame";
  // Frame k turns the word by these angles; its width follows |cos|.
  const double angles[10] = {0, 45, 90, 135, 180, 215, 250, 285, 320, 355};
  for (int frame = 1; frame <= 10; ++frame) {
    const Bitmap bmp = Load(FrameName(frame));
    const auto [first, last] = InkColumns(bmp);
    ASSERT_GE(first, 0) << "frame " << frame << " is blank";
    const double expected = frontWidth * std::max(std::fabs(std::cos(angles[frame - 1] * M_PI / 180)), 0.08);
    EXPECT_NEAR(last - first + 1, expected, 6) << "frame " << frame;
    EXPECT_NEAR((first + last) / 2.0, 74.5, 3) << "frame " << frame << " turns about the centre";
  }
}

TEST(Artwork, FramesSeenFromBehindAreMirrorImages) {
  const Bitmap front = Load(FrameName(1)), back = Load(FrameName(5));
  const Bitmap quarter = Load(FrameName(2)), threeQuarter = Load(FrameName(4));
  // The word itself is far from symmetric, so small differences really mean mirrored.
  EXPECT_GT(MirrorDifference(front, front), 20.0);
  EXPECT_LT(MirrorDifference(back, front), 1.0);
  EXPECT_LT(MirrorDifference(threeQuarter, quarter), 1.0);
}

TEST(Artwork, BannerIsCentredLightBlueTextOnBlack) {
  const Bitmap bmp = Load("banner.bmp");
  const Colour text = bmp.palette[255];
  EXPECT_GT(text[2], 200) << "text is light blue";
  EXPECT_GT(text[2], text[1]);
  EXPECT_GT(text[1], text[0]);
  EXPECT_GT(text[0], 100) << "light, not deep blue";

  int solid = 0, lit = 0;
  for (uint8_t i : bmp.indices) {
    solid += i >= 160;
    lit += i > 0;
  }
  EXPECT_GT(solid, 250) << "strokes have well covered pixels, not just a blur";
  EXPECT_LT(lit, int(bmp.indices.size()) / 2) << "background stays black";
  for (int x = 0; x < bmp.width; ++x) {
    EXPECT_EQ(bmp.Index(x, 0), 0) << "top row is clear";
    EXPECT_EQ(bmp.Index(x, bmp.height - 1), 0) << "bottom row is clear";
  }
  const auto [first, last] = InkColumns(bmp, 0);
  EXPECT_GT(first, 2);
  EXPECT_NEAR((first + last) / 2.0, 118.5, 2);
  EXPECT_GT(last - first, 150) << "a whole sentence wide";
}

}  // namespace
