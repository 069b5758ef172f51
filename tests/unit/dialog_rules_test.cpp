#include <gtest/gtest.h>

#include <vector>

#include "config/dialog_rules.h"
#include "config/help_choice.h"
#include "config/preview_rules.h"

namespace {

TEST(DialogFields, ArrowsAndTypedNumbersStayInTheirRanges)
{
    struct Step {
        int32_t (*step)(int32_t, Arrow);
        int32_t value;
        Arrow arrow;
        int32_t expected;
    } steps[] = {
        {StepDelay, 300000, Arrow::Up, 300000},    {StepDelay, 1000, Arrow::Down, 1000},
        {StepDelay, 45000, Arrow::Up, 46000},      {StepDelay, 5000, Arrow::Other, 5000},
        {StepDelay, 2147483000, Arrow::Up, 300000}, {StepEffectNumber, 40, Arrow::Up, 40},
        {StepEffectNumber, 1, Arrow::Down, 1},     {StepEffectNumber, 7, Arrow::Down, 6},
    };
    for (const Step& s : steps) EXPECT_EQ(s.step(s.value, s.arrow), s.expected) << s.value;

    struct Typed {
        const char* text;
        int32_t number;
    } typed[] = {{"", 1},     {"0", 1},     {"7", 7},     {"55", 40},  {"abc", 1},
                 {"040", 40}, {"0400", 40}, {"0041", 4}, {"12x", 12}, {"999999", 40}};
    for (const Typed& t : typed) EXPECT_EQ(EffectNumberFromText(t.text), t.number) << t.text;
}

TEST(DialogCheckBoxes, FlipAndKeepOnePictureKind)
{
    EXPECT_EQ(FlippedCheck(kUnticked), kTicked);
    EXPECT_EQ(FlippedCheck(kTicked), kUnticked);
    EXPECT_EQ(FlippedCheck(kGrey), kUnticked);

    using Field = int32_t Settings::*;
    struct Case {
        Field changed;
        int32_t jpg, bmp;
        Field expected;
    } cases[] = {
        {&Settings::jpg, 0, 0, &Settings::bmp}, {&Settings::bmp, 0, 0, &Settings::jpg},
        {&Settings::jpg, 0, 1, nullptr},        {&Settings::bmp, 1, 1, nullptr},
        {&Settings::jpg, 0, 2, &Settings::bmp},  // 2 does not count as on
    };
    for (const Case& c : cases) {
        Settings settings = {};
        settings.jpg = c.jpg;
        settings.bmp = c.bmp;
        EXPECT_EQ(KindToAccept(c.changed, settings), c.expected) << c.jpg << " " << c.bmp;
    }
}

TEST(Help, WinHelpOnlyBeforeVistaAndOnlyWhenItsFileIsThere)
{
    struct Case {
        unsigned long major;
        bool winHelpFile;
        HelpViewer viewer;
    } cases[] = {{4, true, HelpViewer::WinHelp},   {5, true, HelpViewer::WinHelp},   {6, true, HelpViewer::HtmlHelp},
                 {10, true, HelpViewer::HtmlHelp}, {5, false, HelpViewer::HtmlHelp}};
    for (const Case& c : cases) EXPECT_EQ(ChooseHelpViewer(c.major, c.winHelpFile), c.viewer) << c.major;
}

TEST(Preview, WalksTheCatalogueAndStartsOverWhereverItStands)
{
    struct Case {
        int32_t position, count, index, next;
    } cases[] = {{0, 2, 0, 1}, {1, 2, 1, 0}, {0, 1, 0, 0}, {5, 3, 0, 1}, {-2, 2, 0, 1}, {0, 0, -1, 0}};
    for (const Case& c : cases) {
        const PreviewStep step = NextPreviewPicture(c.position, c.count);
        EXPECT_EQ((std::vector<int32_t>{step.index, step.next}), (std::vector<int32_t>{c.index, c.next}))
            << c.position << " of " << c.count;
    }
}

TEST(Preview, GateHoldsShowAndDoneUntilThePreviewEnds)
{
    using I = PreviewInput;
    struct Case {
        std::vector<I> during;
        AfterPreview after;
    } cases[] = {
        {{}, AfterPreview::Idle},
        {{I::ShowEffect, I::ShowEffect}, AfterPreview::Preview},
        {{I::Done}, AfterPreview::Close},
        {{I::ShowEffect, I::Done}, AfterPreview::Close},
    };
    for (const Case& c : cases) {
        PreviewGate gate;
        EXPECT_TRUE(gate.Admit(I::ShowEffect));
        gate.Begin();
        for (I input : c.during) EXPECT_FALSE(gate.Admit(input));
        EXPECT_EQ(gate.End(), c.after);
        // What was held is spent: the next preview starts with nothing pending.
        gate.Begin();
        EXPECT_EQ(gate.End(), AfterPreview::Idle);
        EXPECT_TRUE(gate.Admit(I::Done));
    }
}

}  // namespace
