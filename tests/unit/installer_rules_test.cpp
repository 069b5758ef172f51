// The installer's decisions: library versions and machine types, paths and the overwrite
// question within their buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/windows_path.h"
#include "installer/install_rules.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(ProductVersions, NumbersCountComponentByComponentAndTextDecidesOtherwise)
{
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"3.1.3", "3.1.3", 0},       {"4.0", "3.1.3", 1},          {"3.2", "3.1.3", 1},
        {"2.5", "3.1.3", -1},        {"3.1.10", "3.1.3", 1},       {"3.1", "3.1.3", -1},
        {"3.1.3.0", "3.1.3", 0},     {"3, 1, 3, 0", "3.1.3", 0},   {"3, 2, 0, 0", "3.1.3", 1},
        {" 03.01.03 ", "3.1.3", 0},  {"3.1.99999999999999999999", "3.1.3", 1},
        {"", "3.1.3", -1},           {"...", "3.1.3", -1},
        // A component that is not a number: the texts, letter case ignored.
        {"3.1.3a", "3.1.3", 1},      {"3.1.3 BETA", "3.1.3 beta", 0}, {"3.1.10b", "3.1.3", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareProductVersions(c.a, c.b)), c.order) << c.a << " against " << c.b;
        EXPECT_EQ(Sign(CompareProductVersions(c.b, c.a)), -c.order) << c.b << " against " << c.a;
    }
}

TEST(InstalledLibrary, StaysOnlyWhenReadAtLeastAsNewAndOfTheSameMachine)
{
    const uint16_t amd64 = 0x8664;
    EXPECT_FALSE(LibraryNeedsWriting({true, "3.1.10", amd64}, amd64));
    EXPECT_TRUE(LibraryNeedsWriting({true, "2.5", amd64}, amd64));
    EXPECT_TRUE(LibraryNeedsWriting({true, "3.1.3", 0x14C}, amd64));
    EXPECT_TRUE(LibraryNeedsWriting({false, "9.9", amd64}, amd64));
    EXPECT_TRUE(LibraryOfOtherMachine({true, "3.1.3", 0x14C}, amd64));
    EXPECT_FALSE(LibraryOfOtherMachine({true, "3.1.3", amd64}, amd64));
    EXPECT_FALSE(LibraryOfOtherMachine({false, "", 0}, amd64));  // no PE header: no machine to keep
}

std::vector<unsigned char> PeHead(uint32_t at, std::size_t size)
{
    std::vector<unsigned char> data(size, 0);
    data[0] = 'M';
    data[1] = 'Z';
    for (int i = 0; i < 4; ++i) data[0x3C + i] = uint8_t(at >> (8 * i));
    if (at + 6 <= size) std::memcpy(&data[at], "PE\0\0\x4c\x01", 6);
    return data;
}

TEST(PeMachine, ReadOnlyFromAWholeHeader)
{
    EXPECT_EQ(PeMachine(PeHead(0x80, 512).data(), 512), 0x14C);
    EXPECT_EQ(PeMachine(PeHead(506, 512).data(), 512), 0x14C);  // the header's last byte is the file's
    EXPECT_EQ(PeMachine(PeHead(507, 512).data(), 512), 0);
    EXPECT_EQ(PeMachine(PeHead(0xFFFFFFF0, 512).data(), 512), 0);
    EXPECT_EQ(PeMachine(PeHead(0x80, 512).data(), 0x3F), 0);
    std::vector<unsigned char> notPe = PeHead(0x80, 512);
    notPe[0x81] = 'X';
    EXPECT_EQ(PeMachine(notPe.data(), notPe.size()), 0);
}

TEST(Paths, OneBackslashBetweenFolderAndNameAndNothingThatDoesNotFit)
{
    char path[16];
    EXPECT_TRUE(JoinFolderAndName(path, sizeof path, "C:\\WINDOWS", "abcd"));
    EXPECT_STREQ(path, "C:\\WINDOWS\\abcd");  // 15 characters and the end
    EXPECT_TRUE(JoinFolderAndName(path, sizeof path, "C:\\WINDOWS\\", "abcd"));
    EXPECT_STREQ(path, "C:\\WINDOWS\\abcd");
    EXPECT_FALSE(JoinFolderAndName(path, sizeof path, "C:\\WINDOWS", "abcde"));
    EXPECT_STREQ(path, "");
    EXPECT_FALSE(JoinFolderAndName(path, sizeof path, "", "a"));

    InstallPaths paths;
    ASSERT_TRUE(BuildInstallPaths(std::string(247, 'x').c_str(), paths));  // 247 + "\velmora.hlp"
    EXPECT_EQ(std::strlen(paths.winHelp), kPathSize - 1);
    EXPECT_FALSE(BuildInstallPaths(std::string(248, 'x').c_str(), paths));
}

TEST(Paths, OverwriteQuestionHoldsTheLongestPath)
{
    char text[kPathSize + 64];
    ASSERT_TRUE(FormatOverwriteQuestion(text, sizeof text, std::string(kPathSize - 1, 'p').c_str()));
    char small[20];
    EXPECT_FALSE(FormatOverwriteQuestion(small, sizeof small, "C:\\WINDOWS\\Velmora.scr"));
    EXPECT_STREQ(small, "");
}

}  // namespace
