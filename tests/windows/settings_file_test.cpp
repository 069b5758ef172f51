// The settings file through the platform's own private-profile functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/settings_win32.h"

namespace {

std::string SettingsPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\ss_velmo.ini";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(SettingsPath().c_str());
        ShowSettings = Settings();
    }
    void TearDown() override { DeleteFileA(SettingsPath().c_str()); }
};

TEST_F(SettingsFile, SavedFileHoldsEveryKeyInOrderAndReadsBack)
{
    LoadSettings(LoadManner::Dialog);
    ShowSettings.enable[7] = 2;
    ShowSettings.clearscreen = 1;
    ShowSettings.monitors = 1;
    SaveSettings("640", "", "12", "C:\\Photos");
    const std::string text = ReadFile(SettingsPath());
    EXPECT_EQ(text.rfind("[velmora]", 0), 0u) << text;
    const char* inOrder[] = {"minsizex=640", "minsizey=", "minsize=0", "bmp=1", "jpg=1", "recurse=1",
                             "speed=12000", "reduce=1", "random=1", "enlarge=1", "clearscreen=1",
                             "effects=40", "dir=C:\\Photos", "enable1=1", "enable7=2", "enable40=1", "monitors=1"};
    size_t at = 0;
    for (const char* line : inOrder) {
        size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " in\n" << text;
        at = found;
    }

    ShowSettings = Settings();
    LoadSettings(LoadManner::Saver);
    EXPECT_EQ(ShowSettings.minsizex, 640);
    EXPECT_EQ(ShowSettings.minsizey, 0);
    EXPECT_EQ(ShowSettings.speed, 12000);
    EXPECT_EQ(ShowSettings.enable[7], 2);
    EXPECT_EQ(ShowSettings.effects, 39);
    EXPECT_EQ(ShowSettings.monitors, 1);
    EXPECT_STREQ(ShowSettings.dir, "C:\\Photos");
}

TEST_F(SettingsFile, DamagedFilesGiveTheRulesValuesWithoutOverrun)
{
    std::string junk(5000, '\0');
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = char((i * 37 + 11) & 0xFF);
    const std::string files[] = {
        "[other]\r\nspeed=7\r\n",
        "[velmora]\r\nspeed=fast\r\nrandom=\r\nenable3=yes\r\neffects=99\r\ndir=" + std::string(5000, 'x') + "\r\n",
        junk,
        "[velmora]\r\n" + std::string(100000, 'k') + "=1\r\nspeed=2500\r\n",
    };
    for (const std::string& content : files) {
        WriteFile(SettingsPath(), content);
        ShowSettings = Settings();
        LoadSettings(LoadManner::Saver);
        EXPECT_LT(std::char_traits<char>::length(ShowSettings.dir), size_t(kPathSize));
        EXPECT_GE(ShowSettings.effects, 0);
        EXPECT_LE(ShowSettings.effects, 40);
    }
    WriteFile(SettingsPath(), files[1]);
    LoadSettings(LoadManner::Saver);
    EXPECT_EQ(ShowSettings.speed, 0);
    EXPECT_EQ(ShowSettings.random, 0);
    EXPECT_EQ(ShowSettings.enable[3], 0);
    // The count comes from the switches, never from the file's own "effects" line.
    EXPECT_EQ(ShowSettings.effects, 39);
    EXPECT_EQ(EffectList[2], 4);
    EXPECT_EQ(std::string(ShowSettings.dir), std::string(259, 'x'));
}

TEST_F(SettingsFile, LoadingNeverWritesTheFile)
{
    LoadSettings(LoadManner::Saver);
    EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FolderSetting, AnsiFoldersStayAsTheyWereAndOthersKeepEveryLetter)
{
    char dir[kPathSize];
    // What the ANSI code page spells is written as before, byte for byte.
    SettingOfFolder(L"C:\\Photos\\2024", dir);
    EXPECT_STREQ(dir, "C:\\Photos\\2024");
    EXPECT_EQ(FolderOfSetting(dir), L"C:\\Photos\\2024");
    const std::wstring others[] = {
        L"C:\\\x03a6\x03c9\x03c4\x03bf\\\x5199\x771f",  // Greek and CJK
        L"C:\\\xd83d\xde00 emoji",
        L"\\\\server\\\x0444\x043e\x0442\x043e",        // a share, Cyrillic
    };
    for (const std::wstring& folder : others) {
        SettingOfFolder(folder.c_str(), dir);
        EXPECT_EQ(dir[0], '?');
        EXPECT_EQ(FolderOfSetting(dir), folder);
    }
    // Too long for the file's 259 bytes: cut between characters, never inside one.
    const std::wstring greek(200, L'\x03a9');
    SettingOfFolder(greek.c_str(), dir);
    EXPECT_EQ(FolderOfSetting(dir), std::wstring(129, L'\x03a9'));
    SettingOfFolder(std::wstring(300, L'p').c_str(), dir);
    EXPECT_EQ(std::string(dir), std::string(259, 'p'));
    SettingOfFolder(L"", dir);
    EXPECT_STREQ(dir, "");
}

}  // namespace

