#include "base/settings.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <string>

#include "fake_profile.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ShowSettings = Settings();
        for (int32_t& n : EffectList) n = -1;
    }
    FakeProfile file;
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults)
{
    LoadSettings(file, LoadManner::Saver);
    EXPECT_EQ(ShowSettings.speed, 5000);
    EXPECT_EQ(ShowSettings.reduce, 1);
    EXPECT_EQ(ShowSettings.enlarge, 1);
    EXPECT_EQ(ShowSettings.clearscreen, 0);
    EXPECT_EQ(ShowSettings.random, 1);
    EXPECT_EQ(ShowSettings.recurse, 1);
    EXPECT_EQ(ShowSettings.bmp, 1);
    EXPECT_EQ(ShowSettings.jpg, 1);
    EXPECT_EQ(ShowSettings.minsize, 0);
    EXPECT_EQ(ShowSettings.minsizex, 100);
    EXPECT_EQ(ShowSettings.minsizey, 100);
    EXPECT_STREQ(ShowSettings.dir, "");
    EXPECT_EQ(ShowSettings.effects, 40);
    EXPECT_EQ(ShowSettings.monitors, 0);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(EffectList[i], i + 1);
}

TEST_F(SettingsTest, SpeedIsUsedAsReadByTheSaverButNotByTheDialog)
{
    for (const char* speed : {"0", "400000", "999", "300001"}) {
        file.values["speed"] = speed;
        LoadSettings(file, LoadManner::Saver);
        EXPECT_EQ(ShowSettings.speed, std::stoi(speed));
        LoadSettings(file, LoadManner::Dialog);
        EXPECT_EQ(ShowSettings.speed, 5000) << speed;
    }
    for (const char* speed : {"1000", "300000", "45000"}) {
        file.values["speed"] = speed;
        LoadSettings(file, LoadManner::Dialog);
        EXPECT_EQ(ShowSettings.speed, std::stoi(speed));
    }
}

TEST_F(SettingsTest, StoredEffectCountIsReplacedByTheSwitchesCount)
{
    file.values["effects"] = "17";
    LoadSettings(file, LoadManner::Saver);
    EXPECT_EQ(ShowSettings.effects, 40);
}

TEST_F(SettingsTest, OnlyASwitchOfExactlyOneEnablesAnEffect)
{
    file.values["enable7"] = "2";
    file.values["enable9"] = "-1";
    file.values["enable40"] = "0";
    LoadSettings(file, LoadManner::Saver);
    EXPECT_EQ(ShowSettings.effects, 37);
    EXPECT_EQ(ShowSettings.enable[7], 2);  // kept as read
    int expected[37], n = 0;
    for (int e = 1; e <= 39; ++e)
        if (e != 7 && e != 9) expected[n++] = e;
    for (int i = 0; i < 37; ++i) EXPECT_EQ(EffectList[i], expected[i]);
}

TEST_F(SettingsTest, AllSwitchesOffLeaveTheListEmpty)
{
    for (int e = 1; e <= 40; ++e) file.values["enable" + std::to_string(e)] = "0";
    LoadSettings(file, LoadManner::Saver);
    EXPECT_EQ(ShowSettings.effects, 0);
    EXPECT_EQ(EffectList[0], -1);
}

TEST_F(SettingsTest, FlagsFollowTheirOwnRuleForOn)
{
    file.values = {{"clearscreen", "2"}, {"random", "2"}, {"recurse", "2"},
                   {"reduce", "-3"},     {"enlarge", "0"}, {"jpg", "garbage"}, {"monitors", "2"}};
    LoadSettings(file, LoadManner::Saver);
    EXPECT_FALSE(SettingOn(&Settings::clearscreen));
    EXPECT_TRUE(SettingOn(&Settings::random));
    EXPECT_FALSE(SettingOn(&Settings::recurse));
    EXPECT_TRUE(SettingOn(&Settings::reduce));
    EXPECT_FALSE(SettingOn(&Settings::enlarge));
    EXPECT_EQ(ShowSettings.jpg, 0);  // no leading digits read as 0
    EXPECT_FALSE(SettingOn(&Settings::jpg));
    EXPECT_FALSE(SettingOn(&Settings::monitors));
    for (const char* unreadable : {"", "yes", "-"}) {
        file.values["monitors"] = unreadable;
        LoadSettings(file, LoadManner::Saver);
        EXPECT_EQ(ShowSettings.monitors, 0) << unreadable;
    }
    file.values["monitors"] = "1";
    LoadSettings(file, LoadManner::Saver);
    EXPECT_TRUE(SettingOn(&Settings::monitors));
}

TEST_F(SettingsTest, OverlongFolderIsCutToTheBuffer)
{
    file.values["dir"] = std::string(1000, 'd');
    LoadSettings(file, LoadManner::Saver);
    EXPECT_EQ(std::string(ShowSettings.dir), std::string(259, 'd'));
}

TEST_F(SettingsTest, SaveWritesEveryKeyInItsOrder)
{
    LoadSettings(file, LoadManner::Dialog);
    SaveSettings(file, "100", "100", "5", "C:\\pics");
    ASSERT_EQ(file.writeOrder.size(), 54u);
    const char* firstKeys[] = {"minsizex", "minsizey", "minsize", "bmp", "jpg", "recurse", "speed",
                               "reduce", "random", "enlarge", "clearscreen", "effects", "dir", "enable1"};
    for (size_t i = 0; i < std::size(firstKeys); ++i) EXPECT_EQ(file.writeOrder[i], firstKeys[i]);
    // The keys added since the forty switches come after them, so older files keep their order.
    EXPECT_EQ(file.writeOrder[52], "enable40");
    EXPECT_EQ(file.writeOrder.back(), "monitors");
    EXPECT_EQ(file.values["monitors"], "0");
}

TEST_F(SettingsTest, SaveTakesTheEditTextsAsTheDialogWouldRead)
{
    struct Case {
        const char* delay;
        int32_t speed;
    } cases[] = {{"1200", 120000}, {"0", 1000}, {"999", 300000}, {"", 1000}, {"abc", 1000}, {"45", 45000}};
    for (const Case& c : cases) {
        SaveSettings(file, "", "123456", c.delay, std::string(300, 'p').c_str());
        EXPECT_EQ(ShowSettings.speed, c.speed) << c.delay;
        EXPECT_EQ(file.values["speed"], std::to_string(c.speed));
    }
    EXPECT_EQ(file.values["minsizex"], "");
    EXPECT_EQ(file.values["minsizey"], "12345");
    EXPECT_EQ(file.values["dir"], std::string(259, 'p'));
    EXPECT_EQ(std::string(ShowSettings.dir), std::string(259, 'p'));
}

TEST_F(SettingsTest, SaveReportsAFailedWriteAfterWritingTheRest)
{
    LoadSettings(file, LoadManner::Dialog);
    EXPECT_TRUE(SaveSettings(file, "100", "100", "5", "C:\\pics"));
    for (const char* failing : {"minsizex", "speed", "dir", "enable40", "monitors"}) {
        FakeProfile readOnly;
        readOnly.failingKeys = {failing};
        EXPECT_FALSE(SaveSettings(readOnly, "100", "100", "5", "C:\\pics")) << failing;
        EXPECT_EQ(readOnly.writeOrder.size(), size_t(kSettingKeyCount - 1)) << failing;
    }
}

TEST_F(SettingsTest, SavedFileReadsBackIdentically)
{
    file.values = {{"enable7", "2"}, {"clearscreen", "1"}, {"random", "0"}, {"minsize", "1"},
                   {"minsizex", "640"}, {"minsizey", "480"}, {"speed", "12000"}, {"enable33", "0"},
                   {"monitors", "1"}};
    LoadSettings(file, LoadManner::Dialog);
    const Settings before = ShowSettings;
    FakeProfile saved;
    SaveSettings(saved, "640", "480", "12", "D:\\Photos\\");
    ShowSettings = Settings();
    LoadSettings(saved, LoadManner::Dialog);
    EXPECT_EQ(std::memcmp(&ShowSettings.speed, &before.speed, offsetof(Settings, dir)), 0);
    EXPECT_STREQ(ShowSettings.dir, "D:\\Photos\\");
    EXPECT_EQ(std::memcmp(ShowSettings.enable, before.enable, sizeof before.enable), 0);
    EXPECT_EQ(saved.values["enable7"], "2");
    EXPECT_EQ(ShowSettings.monitors, 1);
    // An empty size field is written empty and reads back as 0.
    SaveSettings(saved, "", "480", "12", "");
    LoadSettings(saved, LoadManner::Dialog);
    EXPECT_EQ(ShowSettings.minsizex, 0);
}

TEST(SettingKeys, TableHoldsEachKeyOnceWithItsDefault)
{
    const SettingKey* keys = SettingKeys();
    for (int i = 0; i < kSettingKeyCount; ++i)
        for (int j = i + 1; j < kSettingKeyCount; ++j) EXPECT_STRNE(keys[i].name, keys[j].name);
    EXPECT_STREQ(keys[13].name, "enable1");
    EXPECT_STREQ(keys[52].name, "enable40");
    EXPECT_EQ(keys[52].effect, 40);
    EXPECT_EQ(kFirstEffectKey, 13);
    EXPECT_STREQ(keys[53].name, "monitors");
    EXPECT_EQ(kSettingKeyCount, 54);
}

TEST(LeadingDecimal, ReadsDigitsUpToTheFirstOther)
{
    EXPECT_EQ(LeadingDecimal("12a3", 5), 12);
    EXPECT_EQ(LeadingDecimal("x12", 5), 0);
    EXPECT_EQ(LeadingDecimal("123456", 3), 123);
    EXPECT_EQ(LeadingDecimal(nullptr, 3), 0);
}

}  // namespace
