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

// Files sharing a reference picture, named without ".bmp" and ".png".
struct ReferenceGroup {
    const char* reference;  // nullptr: each file's own name under reference/
    int tolerance;          // the suite rounds channels wider than 8 bits its own way
    std::vector<std::string> files;
};

const ReferenceGroup kGroups[] = {
    {nullptr, 0, {"g/pal1",      "g/pal1bg",       "g/pal4",          "g/pal4gs",
                  "g/pal8",      "g/pal8gs",       "g/pal8w124",      "g/pal8w125",
                  "g/pal8w126",  "g/rgb16-565",    "g/rgb16",         "g/rgb24",
                  "q/pal1p1",    "q/pal2",         "q/pal2color",     "q/rgb16-231",
                  "q/rgb16-3103", "q/rgba16-1924", "q/rgba16-4444",   "q/rgba16-5551",
                  "q/rgba32-1010102"}},
    {nullptr, 1, {"q/rgb32-7187", "q/rgba32-61754", "q/rgba32-81284"}},
    {"pal1", 0, {"g/pal1wb"}},
    {"pal4", 0, {"g/pal4rle"}},
    {"pal8", 0, {"g/pal8-0", "g/pal8os2", "g/pal8rle", "g/pal8topdown", "g/pal8v4",
                 "g/pal8v5", "q/pal8offs", "q/pal8os2-hs", "q/pal8os2-sz", "q/pal8os2sp",
                 "q/pal8os2v2-16", "q/pal8os2v2-40sz", "q/pal8os2v2-sz", "q/pal8os2v2",
                 "q/pal8oversizepal", "q/rgb24rle24"}},
    {"pal8nonsquare-e", 0, {"g/pal8nonsquare"}},  // pixels as stored, not stretched
    // Skipped pixels are black.
    {"pal4rlecut-b", 0, {"q/pal4rlecut"}},
    {"pal4rletrns-b", 0, {"q/pal4rletrns"}},
    {"pal8rlecut-b", 0, {"q/pal8rlecut"}},
    {"pal8rletrns-b", 0, {"q/pal8rletrns"}},
    {"rgb16-565", 0, {"g/rgb16-565pal"}},
    {"rgb16", 0, {"g/rgb16bfdef", "q/rgb16faketrns"}},  // the unused bit is not alpha
    // Colour profiles are ignored, so rgb24prof2 keeps its swapped channels.
    {"rgb24", 0, {"g/rgb24pal", "g/rgb32", "g/rgb32bf", "g/rgb32bfdef", "q/rgb24largepal",
                  "q/rgb24lprof", "q/rgb24prof", "q/rgb32-xbgr", "q/rgb32fakealpha",
                  "q/rgb32h52"}},
    {"rgb24", 1, {"q/rgb32-111110"}},
    {"rgba32", 0, {"q/rgba32-1", "q/rgba32-2", "q/rgba32abf", "q/rgba32h56"}},
    {"rgba32", 1, {"q/rgba64"}},  // linear light encoded to sRGB
};

}  // namespace

TEST(BmpReference, SuiteFilesMatchTheirReferencePictures)
{
    if (!fs::is_directory(SuiteDir())) GTEST_SKIP() << "no BMP Suite at " << SuiteDir();
    for (const ReferenceGroup& group : kGroups) {
        for (const std::string& file : group.files) {
            SCOPED_TRACE(file);
            RecordingTarget target;
            std::string why;
            ASSERT_EQ(Decode(ReadFile(SuiteDir() / (file + ".bmp")), target, &why),
                      picdll::DecodeStatus::Ok)
                << why;
            const std::string name = group.reference ? group.reference : file.substr(2);
            const auto reference = ReadRgba(SuiteDir() / "reference" / (name + ".png"));
            ASSERT_EQ(reference.size(), target.rgb.size() / 3 * 4) << "size or ImageMagick missing";
            int worst = 0;
            for (size_t i = 0, n = target.rgb.size() / 3; i < n; ++i) {
                if (reference[4 * i + 3] == 0) continue;
                for (size_t c = 0; c < 3; ++c) {
                    const int difference = target.rgb[3 * i + c] - reference[4 * i + c];
                    worst = std::max(worst, std::abs(difference));
                }
            }
            EXPECT_LE(worst, group.tolerance);
        }
    }
}
