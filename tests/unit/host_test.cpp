#include <gtest/gtest.h>

#include <cstdint>

#include "saver/animation.h"
#include "saver/host_rules.h"
#include "saver/mode_switch.h"
#include "saver/monitors.h"

namespace {

TEST(ModeSwitch, FirstSignificantCharacterDecides)
{
    struct Case {
        const char* text;
        SaverMode mode;
        uintptr_t window;
    } cases[] = {
        {"/s", SaverMode::FullScreen, 0},
        {"-S", SaverMode::FullScreen, 0},
        {" s", SaverMode::FullScreen, 0},
        {"/s /p 5", SaverMode::FullScreen, 0},
        {"/p 1234", SaverMode::Preview, 1234},
        {"/l 1234", SaverMode::Preview, 1234},
        {"/P1234x9", SaverMode::Preview, 1234},
        {"/p", SaverMode::Preview, 0},
        {"/p abc", SaverMode::Preview, 0},
        {"/c:1234", SaverMode::SettingsOwnedByForeground, 0},
        {"C", SaverMode::SettingsOwnedByForeground, 0},
        {"/a 0", SaverMode::ChangePassword, 0},
        {"-A   77", SaverMode::ChangePassword, 77},
        {"", SaverMode::SettingsWithoutOwner, 0},
        {" -/ ", SaverMode::SettingsWithoutOwner, 0},
        {"/x", SaverMode::Unrecognised, 0},
        {"\"s\"", SaverMode::Unrecognised, 0},
    };
    for (const Case& c : cases) {
        ModeSwitch result = ParseModeSwitch(c.text);
        EXPECT_EQ(result.mode, c.mode) << c.text;
        EXPECT_EQ(result.window, c.window) << c.text;
    }
}

TEST(ModeSwitch, ProgramNameIsSkippedQuotedOrNot)
{
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\Velmora.scr\"  /s"), "/s");
    EXPECT_STREQ(SkipProgramName("C:\\WINDOWS\\VELMORA.SCR /p 42"), "/p 42");
    EXPECT_STREQ(SkipProgramName("velmora.scr"), "");
    EXPECT_STREQ(SkipProgramName("\"unterminated /s"), "");
    EXPECT_STREQ(SkipProgramName(""), "");
}

TEST(HostRules, MouseMustMoveMoreThanFourPixelsInAll)
{
    EXPECT_FALSE(MouseMovedFarEnough(100, 100, 102, 102));
    EXPECT_FALSE(MouseMovedFarEnough(100, 100, 96, 100));
    EXPECT_TRUE(MouseMovedFarEnough(100, 100, 103, 102));
    EXPECT_TRUE(MouseMovedFarEnough(100, 100, 97, 98));
    EXPECT_TRUE(MouseMovedFarEnough(-2000000000, 0, 2000000000, 0));
}

TEST(HostRules, PasswordRecheckWaitsTwoHundredMillisecondsAcrossWrapAround)
{
    EXPECT_FALSE(TooSoonAfterPasswordCheck(false, 0, 0));
    EXPECT_TRUE(TooSoonAfterPasswordCheck(true, 1000, 1199));
    EXPECT_FALSE(TooSoonAfterPasswordCheck(true, 1000, 1200));
    EXPECT_TRUE(TooSoonAfterPasswordCheck(true, 0xFFFFFFF0u, 0x00000010u));   // 32 ms later
    EXPECT_FALSE(TooSoonAfterPasswordCheck(true, 0xFFFFFFF0u, 0x000000D0u));  // 224 ms later
}

TEST(Animation, FramesRunOnceFromTheFirstThenLoopFromTheSecondWithAHold)
{
    AnimationState state;
    std::vector<int> ticks;
    for (int i = 0; i < 41; ++i) ticks.push_back(AnimationTick(state));
    std::vector<int> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int pass = 0; pass < 2; ++pass) {
        expected.insert(expected.end(), 10, -1);
        for (int slot = 1; slot <= 9; ++slot) expected.push_back(slot);
    }
    expected.resize(41);
    EXPECT_EQ(ticks, expected);
}

TEST(Animation, PositionsFollowTheScreenSize)
{
    EXPECT_EQ(CentredFramePosition(1024, 768).x, 437);
    EXPECT_EQ(CentredFramePosition(1024, 768).y, 230);
    EXPECT_EQ(BannerPosition(1024, 768).x, 393);
    EXPECT_EQ(BannerPosition(1024, 768).y, 300);
    EXPECT_EQ(CentredFramePosition(641, 481).x, 245);
    EXPECT_EQ(BannerPosition(641, 481).y, 204);
}

TEST(MonitorCovers, EachOtherMonitorIsCoveredWhereThePrimaryIsNot)
{
    const ScreenRect primary = {0, 0, 1920, 1080};
    // Left of the primary with a negative origin, a smaller one right of it, lower down.
    std::vector<ScreenRect> monitors = {primary, {-1280, 0, 0, 1024}, {1920, 200, 2944, 968}};
    std::vector<ScreenRect> covers = CoverRects(primary, monitors);
    ASSERT_EQ(covers.size(), 2u);
    EXPECT_EQ(covers[0], (ScreenRect{-1280, 0, 0, 1024}));
    EXPECT_EQ(covers[1], (ScreenRect{1920, 200, 2944, 968}));
}

TEST(MonitorCovers, MirroredOrOverlappingMonitorsLeaveOnlyWhatIsUncovered)
{
    const ScreenRect primary = {0, 0, 1024, 768};
    EXPECT_TRUE(CoverRects(primary, {primary, primary, {100, 100, 500, 400}}).empty());
    // A larger monitor overlapping the primary from above and to the left.
    std::vector<ScreenRect> covers = CoverRects(primary, {{-200, -100, 824, 668}});
    long long area = 0;
    for (const ScreenRect& r : covers) {
        area += (long long)(r.right - r.left) * (r.bottom - r.top);
        EXPECT_FALSE(r.left < 1024 && r.right > 0 && r.top < 768 && r.bottom > 0) << "overlaps primary";
    }
    EXPECT_EQ(area, 1024LL * 768 - 824LL * 668);
    // Two monitors overlapping each other are covered once.
    covers = CoverRects(primary, {{1024, 0, 2048, 768}, {1500, 0, 2500, 768}});
    area = 0;
    for (const ScreenRect& r : covers) area += (long long)(r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(area, (2500LL - 1024) * 768);
}

TEST(MonitorShows, PrimaryFirstThenEachOtherMonitorOnceAtItsOwnPlaceAndSize)
{
    using Rects = std::vector<ScreenRect>;
    const ScreenRect primary = {0, 0, 1920, 1080};
    const ScreenRect left = {-1280, 0, 0, 1024}, above = {0, -768, 1024, 0};
    const ScreenRect portraitAfterGap = {2020, -200, 3100, 1720}, empty = {50, 50, 50, 90};
    struct Case {
        Rects monitors;
        Rects shows;
    } cases[] = {
        {{}, {primary}},
        {{primary}, {primary}},
        // Enumerated in any order, the primary still comes first; negative origins stay.
        {{left, primary}, {primary, left}},
        {{above, primary, portraitAfterGap}, {primary, above, portraitAfterGap}},
        // A mirror of the primary or of another monitor, and an empty one, add nothing.
        {{primary, left, primary, left, empty}, {primary, left}},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowRects(primary, c.monitors), c.shows) << c.monitors.size();
}

}  // namespace
