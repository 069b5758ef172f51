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

TEST(InstallIcon, CommittedIconIsTheGeneratorOutputWithTransparentCorners)
{
    const fs::path out = FreshDir("icon") / "install.ico";
    ASSERT_EQ(RunCommand(Quote(Tool("make-icon")) + " " + Quote(out.string())), 0);
    const std::vector<uint8_t> icon = ReadAll(fs::path(VELMORA_SOURCE_DIR) / "resources" / "install.ico");
    EXPECT_EQ(ReadAll(out), icon);
    ASSERT_EQ(Le(icon, 4, 2), 2u);
    for (size_t entry : {6u, 22u}) {
        const uint32_t size = icon[entry], pixels = Le(icon, entry + 12, 4) + 40;
        EXPECT_EQ(icon[pixels + 3], 0) << size;  // bottom-left corner: transparent
        EXPECT_EQ(icon[pixels + (size / 2) * (size * 4 + 4) + 3], 255) << size;  // middle: opaque
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
