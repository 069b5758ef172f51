// BMP Suite: what each file must decode to is checked against the reference pictures in
// tests/native; here, which files decode at all, and that the bad ones fail safely.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/unit/bmp_test_support.h"

using namespace bmptest;
using picdll::DecodeStatus;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> FilesIn(const char* folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(SuiteDir() / folder)) {
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    }
    return files;
}

// Questionable files we refuse: Huffman 1D compression and embedded JPEG or PNG.
const std::set<std::string> kRefusedQuestionable{"pal1huffmsb.bmp", "rgb24jpeg.bmp",
                                                 "rgb24png.bmp"};

}  // namespace

class BmpCorpus : public testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::is_directory(SuiteDir())) GTEST_SKIP() << "no BMP Suite at " << SuiteDir();
    }
};

TEST_F(BmpCorpus, GoodAndQuestionableFilesDecodeToTheSizeTheirHeadersGive)
{
    for (const char* folder : {"g", "q"}) {
        for (const fs::path& path : FilesIn(folder)) {
            SCOPED_TRACE(path.string());
            const auto file = ReadFile(path);
            RecordingTarget target;
            std::string why;
            const bool refused = kRefusedQuestionable.count(path.filename().string()) != 0;
            ASSERT_EQ(Decode(file, target, &why), refused ? DecodeStatus::Failed : DecodeStatus::Ok)
                << why;
            if (refused) continue;
            picdll::Dimensions size;
            ASSERT_TRUE(picdll::BmpDimensions(file.data(), file.size(), size));
            EXPECT_EQ(size.width, target.width);
            EXPECT_EQ(size.height, target.height);
        }
    }
}

TEST_F(BmpCorpus, BadFilesFailWithAReasonAndNoLargeAllocation)
{
    auto files = FilesIn("b");
    const auto extra = FilesIn("x");  // a bitmap array, not a BMP file
    files.insert(files.end(), extra.begin(), extra.end());
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const auto file = ReadFile(path);
        RecordingTarget target;
        std::string why;
        EXPECT_EQ(Decode(file, target, &why), DecodeStatus::Failed);
        EXPECT_FALSE(why.empty());
        // Nothing larger than a 1-bit picture filling the whole file would need.
        EXPECT_LE(target.rgb.size(), file.size() * 8 * 3);
    }
}
