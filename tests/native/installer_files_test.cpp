// The installer's icon and the help source, against what they stand for: the committed icon
// is the generator's output with the images the resource compiler groups, and the help names
// every effect as the effect list does.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "effects/effects.h"
#include "tests/native/samples_test_support.h"

namespace {

using namespace tooltest;

TEST(InstallIcon, CommittedIconIsTheGeneratorOutputWithTwoAlphaImages)
{
    const fs::path out = FreshDir("icon") / "install.ico";
    ASSERT_EQ(RunCommand(Quote(Tool("make-icon")) + " " + Quote(out.string())), 0);
    const std::vector<uint8_t> committed = ReadAll(fs::path(VELMORA_SOURCE_DIR) / "resources" / "install.ico");
    EXPECT_EQ(ReadAll(out), committed);
    ASSERT_GE(committed.size(), 6u + 2 * 16);
    EXPECT_EQ(Le(committed, 2, 2), 1u);  // an icon
    ASSERT_EQ(Le(committed, 4, 2), 2u);
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * size_t(i);
        const uint32_t size = committed[entry], offset = Le(committed, entry + 12, 4);
        EXPECT_EQ(size, i == 0 ? 32u : 16u);
        EXPECT_EQ(Le(committed, entry + 6, 2), 32u);  // bits per pixel
        ASSERT_LE(offset + Le(committed, entry + 8, 4), committed.size());
        EXPECT_EQ(Le(committed, offset + 4, 4), size);
        EXPECT_EQ(Le(committed, offset + 8, 4), size * 2);  // colour and mask
        // Transparent corners, an opaque middle.
        const size_t pixels = offset + 40, row = size_t(size) * 4;
        EXPECT_EQ(committed[pixels + 3], 0) << size;
        EXPECT_EQ(committed[pixels + row * (size / 2) + (size / 2) * 4 + 3], 255) << size;
    }
}

TEST(HelpSource, ListsEveryEffectByItsNameInOrder)
{
    std::ifstream in(fs::path(VELMORA_SOURCE_DIR) / "help" / "velmora.txt");
    std::stringstream text;
    text << in.rdbuf();
    const std::string help = text.str();
    size_t last = 0;
    for (int number = 1; number <= kLastEffect; ++number) {
        const std::string item = "* **" + std::to_string(number) + " " + EffectName(number) + "**: ";
        const size_t at = help.find(item);
        EXPECT_NE(at, std::string::npos) << item;
        EXPECT_GT(at, last) << item;
        if (at != std::string::npos) last = at;
    }
}

}  // namespace
