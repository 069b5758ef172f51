// BMP Suite files against the suite's reference pictures, read with ImageMagick.
//
// Our output has no alpha: the colour channels are kept as stored and alpha is dropped,
// as a picture show draws every picture opaque. Where a reference is transparent, its
// pixels carry no colour to compare, so only pixels with alpha above zero are compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/unit/bmp_test_support.h"

using namespace bmptest;
namespace fs = std::filesystem;

namespace {

fs::path SuiteDir() { return fs::path(VELMORA_CORPUS_DIR) / "bmp"; }

std::vector<uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> ReadRgba(const fs::path& png)
{
    const std::string command = "convert '" + png.string() + "' -depth 8 rgba:-";
    std::vector<uint8_t> rgba;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        uint8_t buffer[65536];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            rgba.insert(rgba.end(), buffer, buffer + n);
        }
        pclose(pipe);
    }
    return rgba;
}

struct ReferenceCase {
    const char* file;       // under bmp/
    const char* reference;  // under bmp/reference/
    int tolerance;          // the suite rounds channels wider than 8 bits its own way
};

const ReferenceCase kCases[] = {
    {"g/pal1.bmp", "pal1.png", 0},
    {"g/pal1bg.bmp", "pal1bg.png", 0},
    {"g/pal1wb.bmp", "pal1.png", 0},
    {"g/pal4.bmp", "pal4.png", 0},
    {"g/pal4gs.bmp", "pal4gs.png", 0},
    {"g/pal4rle.bmp", "pal4.png", 0},
    {"g/pal8-0.bmp", "pal8.png", 0},
    {"g/pal8.bmp", "pal8.png", 0},
    {"g/pal8gs.bmp", "pal8gs.png", 0},
    {"g/pal8nonsquare.bmp", "pal8nonsquare-e.png", 0},  // pixels as stored, not stretched
    {"g/pal8os2.bmp", "pal8.png", 0},
    {"g/pal8rle.bmp", "pal8.png", 0},
    {"g/pal8topdown.bmp", "pal8.png", 0},
    {"g/pal8v4.bmp", "pal8.png", 0},
    {"g/pal8v5.bmp", "pal8.png", 0},
    {"g/pal8w124.bmp", "pal8w124.png", 0},
    {"g/pal8w125.bmp", "pal8w125.png", 0},
    {"g/pal8w126.bmp", "pal8w126.png", 0},
    {"g/rgb16-565.bmp", "rgb16-565.png", 0},
    {"g/rgb16-565pal.bmp", "rgb16-565.png", 0},
    {"g/rgb16.bmp", "rgb16.png", 0},
    {"g/rgb16bfdef.bmp", "rgb16.png", 0},
    {"g/rgb24.bmp", "rgb24.png", 0},
    {"g/rgb24pal.bmp", "rgb24.png", 0},
    {"g/rgb32.bmp", "rgb24.png", 0},
    {"g/rgb32bf.bmp", "rgb24.png", 0},
    {"g/rgb32bfdef.bmp", "rgb24.png", 0},
    {"q/pal1p1.bmp", "pal1p1.png", 0},
    {"q/pal2.bmp", "pal2.png", 0},
    {"q/pal2color.bmp", "pal2color.png", 0},
    {"q/pal4rlecut.bmp", "pal4rlecut-b.png", 0},  // skipped pixels black
    {"q/pal4rletrns.bmp", "pal4rletrns-b.png", 0},
    {"q/pal8offs.bmp", "pal8.png", 0},
    {"q/pal8os2-hs.bmp", "pal8.png", 0},
    {"q/pal8os2-sz.bmp", "pal8.png", 0},
    {"q/pal8os2sp.bmp", "pal8.png", 0},
    {"q/pal8os2v2-16.bmp", "pal8.png", 0},
    {"q/pal8os2v2-40sz.bmp", "pal8.png", 0},
    {"q/pal8os2v2-sz.bmp", "pal8.png", 0},
    {"q/pal8os2v2.bmp", "pal8.png", 0},
    {"q/pal8oversizepal.bmp", "pal8.png", 0},
    {"q/pal8rlecut.bmp", "pal8rlecut-b.png", 0},
    {"q/pal8rletrns.bmp", "pal8rletrns-b.png", 0},
    {"q/rgb16-231.bmp", "rgb16-231.png", 0},
    {"q/rgb16-3103.bmp", "rgb16-3103.png", 0},
    {"q/rgb16faketrns.bmp", "rgb16.png", 0},  // the unused bit is not alpha
    {"q/rgb24largepal.bmp", "rgb24.png", 0},
    {"q/rgb24lprof.bmp", "rgb24.png", 0},     // colour profiles are ignored, so
    {"q/rgb24prof.bmp", "rgb24.png", 0},      // rgb24prof2 keeps its swapped channels
    {"q/rgb24rle24.bmp", "pal8.png", 0},
    {"q/rgb32-111110.bmp", "rgb24.png", 1},
    {"q/rgb32-7187.bmp", "rgb32-7187.png", 1},
    {"q/rgb32-xbgr.bmp", "rgb24.png", 0},
    {"q/rgb32fakealpha.bmp", "rgb24.png", 0},
    {"q/rgb32h52.bmp", "rgb24.png", 0},
    {"q/rgba16-1924.bmp", "rgba16-1924.png", 0},
    {"q/rgba16-4444.bmp", "rgba16-4444.png", 0},
    {"q/rgba16-5551.bmp", "rgba16-5551.png", 0},
    {"q/rgba32-1.bmp", "rgba32.png", 0},
    {"q/rgba32-1010102.bmp", "rgba32-1010102.png", 0},
    {"q/rgba32-2.bmp", "rgba32.png", 0},
    {"q/rgba32-61754.bmp", "rgba32-61754.png", 1},
    {"q/rgba32-81284.bmp", "rgba32-81284.png", 1},
    {"q/rgba32abf.bmp", "rgba32.png", 0},
    {"q/rgba32h56.bmp", "rgba32.png", 0},
    {"q/rgba64.bmp", "rgba32.png", 1},  // linear light encoded to sRGB
};

}  // namespace

TEST(BmpReference, SuiteFilesMatchTheirReferencePictures)
{
    if (!fs::is_directory(SuiteDir())) GTEST_SKIP() << "no BMP Suite at " << SuiteDir();
    for (const ReferenceCase& c : kCases) {
        SCOPED_TRACE(c.file);
        RecordingTarget target;
        std::string why;
        ASSERT_EQ(Decode(ReadFile(SuiteDir() / c.file), target, &why), picdll::DecodeStatus::Ok)
            << why;
        const auto reference = ReadRgba(SuiteDir() / "reference" / c.reference);
        ASSERT_EQ(reference.size(), target.rgb.size() / 3 * 4) << "size or ImageMagick missing";
        int worst = 0;
        for (size_t i = 0, n = target.rgb.size() / 3; i < n; ++i) {
            if (reference[4 * i + 3] == 0) continue;
            for (size_t channel = 0; channel < 3; ++channel) {
                const int difference = target.rgb[3 * i + channel] - reference[4 * i + channel];
                worst = std::max(worst, std::abs(difference));
            }
        }
        EXPECT_LE(worst, c.tolerance);
    }
}
