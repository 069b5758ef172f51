// The demo's sample set and the command line of make-samples.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "tests/native/samples_test_support.h"

namespace {

using namespace tooltest;

std::string MakeSamples(const fs::path& dir, const std::string& options) {
  return Quote(Tool("make-samples")) + " " + Quote(dir.string()) + (options.empty() ? "" : " " + options);
}

// Reads a JPEG's size from its frame header.
bool JpegSize(const std::vector<uint8_t>& b, int& width, int& height) {
  for (size_t i = 2; i + 9 < b.size();) {
    if (b[i] != 0xFF) return false;
    const uint8_t marker = b[i + 1];
    const size_t length = size_t(b[i + 2]) << 8 | b[i + 3];
    if (marker == 0xC0) {
      height = b[i + 5] << 8 | b[i + 6];
      width = b[i + 7] << 8 | b[i + 8];
      return true;
    }
    i += 2 + length;
  }
  return false;
}

TEST(SamplesSet, IsAVariedSetOfPicturesThatDecode) {
  const fs::path dir = FreshDir("set");
  ASSERT_EQ(RunCommand(MakeSamples(dir, "")), 0);
  std::vector<std::string> names;
  uintmax_t total = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
    total += entry.file_size();
  }
  std::sort(names.begin(), names.end());
  ASSERT_GE(names.size(), 8u);
  ASSERT_LE(names.size(), 12u);
  EXPECT_LT(total, 8u << 20) << "keep the demo download small";

  const bool djpeg = HaveProgram("djpeg");
  std::set<int> bmpDepths;
  bool portrait = false, small = false, large = false, jpeg = false;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const std::string prefix = (i + 1 < 10 ? "0" : "") + std::to_string(i + 1) + "-";
    EXPECT_EQ(name.substr(0, 3), prefix) << "names sort in showing order";
    int width = 0, height = 0;
    if (name.size() > 4 && name.substr(name.size() - 4) == ".jpg") {
      jpeg = true;
      ASSERT_TRUE(JpegSize(ReadAll(dir / name), width, height)) << name;
      if (djpeg) {
        EXPECT_EQ(RunCommand("djpeg -outfile /dev/null " + Quote((dir / name).string()) + " 2> " + Quote((dir / "log").string())), 0);
        EXPECT_EQ(fs::file_size(dir / "log"), 0u) << name << " made djpeg complain";
        fs::remove(dir / "log");
      }
    } else {
      Bitmap bmp;
      ASSERT_EQ(ReadBmp(dir / name, bmp), "") << name;
      bmpDepths.insert(bmp.bits);
      width = bmp.width;
      height = bmp.height;
    }
    portrait |= height > width;
    small |= width <= 320;
    large |= width >= 1600;
  }
  EXPECT_TRUE(jpeg);
  EXPECT_EQ(bmpDepths, (std::set<int>{8, 24}));
  EXPECT_TRUE(portrait);
  EXPECT_TRUE(small);
  EXPECT_TRUE(large);
  fs::remove_all(dir);
}

TEST(SamplesSet, SinglePicturesAreNamedAndRepeatable) {
  const fs::path dir = FreshDir("single");
  ASSERT_EQ(RunCommand(MakeSamples(dir, "--size 3x2 --kind bmp --pattern flat:00ff00")), 0);
  EXPECT_TRUE(fs::exists(dir / "flat-00ff00-3x2.bmp"));
  ASSERT_EQ(RunCommand(MakeSamples(dir, "--size 64x48 --name a")), 0);
  ASSERT_EQ(RunCommand(MakeSamples(dir, "--size 64x48 --name b.jpg")), 0);
  EXPECT_FALSE(ReadAll(dir / "a.jpg").empty()) << "the extension follows the kind";
  EXPECT_EQ(ReadAll(dir / "a.jpg"), ReadAll(dir / "b.jpg")) << "output must not change between runs";
  fs::remove_all(dir);
}

TEST(SamplesSet, RejectsNonsenseWithoutWritingAnything) {
  const fs::path dir = FreshDir("bad");
  const char* bad[] = {"--size 0x5",       "--size 12",         "--size 70000x2",  "--kind gif",
                       "--pattern plasma", "--pattern flat:12", "--pattern flat:12345g",
                       "--quality 0",      "--sampling 422",    "--bits 16",       "--frobnicate 1",
                       "--size"};
  for (const char* options : bad) {
    EXPECT_NE(RunCommand(MakeSamples(dir, options) + " 2>/dev/null"), 0) << options;
  }
  EXPECT_NE(RunCommand(Quote(Tool("make-samples")) + " 2>/dev/null"), 0) << "an output folder is required";
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

}  // namespace
