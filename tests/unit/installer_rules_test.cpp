// The installer's decisions: library versions, PE machine types, paths and texts, and the
// help viewer the settings dialog opens.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/windows_path.h"
#include "config/help_choice.h"
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
        {"2.5", "3.1.3", -1},        {"3.1.10", "3.1.3", 1},       {"3.1.2", "3.1.3", -1},
        {"3.1.3.0", "3.1.3", 0},     {"3.1", "3.1.3", -1},         {"3, 1, 3, 0", "3.1.3", 0},
        {"3, 2, 0, 0", "3.1.3", 1},  {"2, 5, 0, 0", "3.1.3", -1},  {" 3.1.3 ", "3.1.3", 0},
        {"03.01.03", "3.1.3", 0},    {"3.1.99999999999999999999", "3.1.3", 1},
        {"", "3.1.3", -1},           {"...", "3.1.3", -1},
        // A component that is not a number: the texts, letter case ignored.
        {"3.1.3a", "3.1.3", 1},      {"3.1.3 BETA", "3.1.3 beta", 0}, {"V3.1.3", "3.1.3", 1},
        {"3.1.10b", "3.1.3", -1},    {"2.x", "3.1.3", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareProductVersions(c.a, c.b)), c.order) << c.a << " against " << c.b;
        EXPECT_EQ(Sign(CompareProductVersions(c.b, c.a)), -c.order) << c.b << " against " << c.a;
    }
}

TEST(ProductVersions, ReadOnlyWithinTheGivenLength)
{
    const char buffer[] = {'3', '.', '2', '9', '9'};
    EXPECT_EQ(CompareProductVersions(std::string_view(buffer, 3), "3.2"), 0);
}

TEST(InstalledLibrary, StaysOnlyWhenAtLeastAsNewAndOfTheSameMachine)
{
    constexpr uint16_t kI386 = 0x14C, kAmd64 = 0x8664;
    struct Case {
        InstalledLibrary installed;
        bool written;
    } cases[] = {
        {{true, "3.1.3", kAmd64}, false},  {{true, "3.1.10", kAmd64}, false}, {{true, "4.0", kAmd64}, false},
        {{true, "2.5", kAmd64}, true},     {{true, "3.1.3", kI386}, true},    {{true, "3.1.3", 0}, true},
        {{false, "", kAmd64}, true},       {{false, "9.9", kAmd64}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibraryNeedsWriting(c.installed, kAmd64), c.written) << c.installed.version << " " << c.installed.machine;
}

std::vector<unsigned char> PeHead(uint32_t at, uint16_t machine, std::size_t size)
{
    std::vector<unsigned char> data(size, 0);
    data[0] = 'M';
    data[1] = 'Z';
    for (int i = 0; i < 4; ++i) data[0x3C + i] = uint8_t(at >> (8 * i));
    if (at + 6 <= size) {
        std::memcpy(&data[at], "PE\0\0", 4);
        data[at + 4] = uint8_t(machine);
        data[at + 5] = uint8_t(machine >> 8);
    }
    return data;
}

TEST(PeMachine, ReadFromTheHeaderWhenItIsThere)
{
    EXPECT_EQ(PeMachine(PeHead(0x80, 0x8664, 512).data(), 512), 0x8664);
    EXPECT_EQ(PeMachine(PeHead(0x80, 0x14C, 512).data(), 512), 0x14C);
    EXPECT_EQ(PeMachine(PeHead(506, 0x14C, 512).data(), 512), 0x14C);  // header at the very end
    EXPECT_EQ(PeMachine(PeHead(507, 0x14C, 512).data(), 512), 0);      // one byte short
    EXPECT_EQ(PeMachine(PeHead(0xFFFFFFF0, 0x14C, 512).data(), 512), 0);
    EXPECT_EQ(PeMachine(PeHead(0x80, 0x14C, 512).data(), 0x3F), 0);   // no room for the pointer
    std::vector<unsigned char> notPe = PeHead(0x80, 0x14C, 512);
    notPe[0x81] = 'X';
    EXPECT_EQ(PeMachine(notPe.data(), notPe.size()), 0);
    notPe = PeHead(0x80, 0x14C, 512);
    notPe[0] = 'Z';
    EXPECT_EQ(PeMachine(notPe.data(), notPe.size()), 0);
}

TEST(WindowsPaths, OneBackslashBetweenFolderAndNameAndNothingThatDoesNotFit)
{
    char path[16];
    EXPECT_TRUE(JoinFolderAndName(path, sizeof path, "C:\\WINDOWS", "abcd"));
    EXPECT_STREQ(path, "C:\\WINDOWS\\abcd");  // 15 characters and the end
    EXPECT_TRUE(JoinFolderAndName(path, sizeof path, "C:\\WINDOWS\\", "abcd"));
    EXPECT_STREQ(path, "C:\\WINDOWS\\abcd");
    EXPECT_TRUE(JoinFolderAndName(path, sizeof path, "C:\\", "a.dll"));
    EXPECT_STREQ(path, "C:\\a.dll");
    EXPECT_FALSE(JoinFolderAndName(path, sizeof path, "C:\\WINDOWS", "abcde"));
    EXPECT_STREQ(path, "");
    EXPECT_FALSE(JoinFolderAndName(path, sizeof path, "", "a.dll"));
}

TEST(InstallPaths, AllFourOrNone)
{
    InstallPaths paths;
    ASSERT_TRUE(BuildInstallPaths("C:\\WINDOWS", paths));
    EXPECT_STREQ(paths.library, "C:\\WINDOWS\\picdll.dll");
    EXPECT_STREQ(paths.winHelp, "C:\\WINDOWS\\velmora.hlp");
    EXPECT_STREQ(paths.htmlHelp, "C:\\WINDOWS\\velmora.chm");
    EXPECT_STREQ(paths.saver, "C:\\WINDOWS\\Velmora.scr");
    // 259 characters at most: the folder, a backslash and the longest name, "velmora.hlp".
    EXPECT_TRUE(BuildInstallPaths(std::string(247, 'x').c_str(), paths));
    EXPECT_EQ(std::strlen(paths.saver), 259u);
    EXPECT_FALSE(BuildInstallPaths(std::string(248, 'x').c_str(), paths));
    EXPECT_FALSE(BuildInstallPaths(std::string(259, 'x').c_str(), paths));
    EXPECT_FALSE(BuildInstallPaths("", paths));
}

TEST(OverwriteQuestion, FullPathInQuotesWithinTheBuffer)
{
    char text[kPathSize + 64];
    ASSERT_TRUE(FormatOverwriteQuestion(text, sizeof text, "C:\\WINDOWS\\Velmora.scr"));
    EXPECT_STREQ(text, "File : \"C:\\WINDOWS\\Velmora.scr\" already exists   \n\nOverwrite this file ?");
    const std::string longest(kPathSize - 1, 'p');
    EXPECT_TRUE(FormatOverwriteQuestion(text, sizeof text, longest.c_str()));
    char small[20];
    EXPECT_FALSE(FormatOverwriteQuestion(small, sizeof small, "C:\\WINDOWS\\Velmora.scr"));
    EXPECT_STREQ(small, "");
}

TEST(VersionInformation, QueriesAndFixedVersionText)
{
    EXPECT_EQ(ProductVersionQuery(0x0409, 1252), "\\StringFileInfo\\040904E4\\ProductVersion");
    EXPECT_EQ(ProductVersionQuery(0x0407, 1200), "\\StringFileInfo\\040704B0\\ProductVersion");
    EXPECT_EQ(FixedVersionText(0x00030001, 0x00030000), "3.1.3.0");
    EXPECT_EQ(FixedVersionText(0xFFFFFFFF, 0x0000000A), "65535.65535.0.10");
}

TEST(HelpViewer, WinHelpBeforeWindows10WhenItsFileIsThere)
{
    EXPECT_EQ(ChooseHelpViewer(5, true), HelpViewer::WinHelp);
    EXPECT_EQ(ChooseHelpViewer(6, true), HelpViewer::WinHelp);
    EXPECT_EQ(ChooseHelpViewer(6, false), HelpViewer::HtmlHelp);
    EXPECT_EQ(ChooseHelpViewer(10, true), HelpViewer::HtmlHelp);
    EXPECT_EQ(ChooseHelpViewer(11, true), HelpViewer::HtmlHelp);
    EXPECT_EQ(ChooseHelpViewer(0, true), HelpViewer::WinHelp);  // version unknown: as on older systems
}

}  // namespace
