#include "pictures/fit.h"

#include <gtest/gtest.h>

namespace {

FittedSize Fit(int w, int h, int sw, int sh, bool reduce = true, bool enlarge = true)
{
    return FitToArea(w, h, sw, sh, float(sw) / float(sh), reduce, enlarge);
}

TEST(Fit, WorkedExamplesOnA1024By768Area)
{
    struct Case {
        int w, h, nw, nh;
    } cases[] = {{1469, 1469, 767, 768}, {1600, 1200, 1024, 768}, {1500, 1000, 1024, 682},
                 {333, 250, 1022, 768},  {200, 300, 512, 768}};
    for (const Case& c : cases) {
        FittedSize fit = Fit(c.w, c.h, 1024, 768);
        EXPECT_TRUE(fit.scaled);
        EXPECT_EQ(fit.width, c.nw) << c.w << "x" << c.h;
        EXPECT_EQ(fit.height, c.nh) << c.w << "x" << c.h;
    }
}

TEST(Fit, SwitchesAndExactSizes)
{
    EXPECT_FALSE(Fit(1024, 768, 1024, 768).scaled);               // exact, whatever the switches
    EXPECT_FALSE(Fit(1024, 768, 1024, 768, false, false).scaled);
    EXPECT_FALSE(Fit(1100, 700, 1024, 768, false, true).scaled);  // wider only, no reducing
    EXPECT_FALSE(Fit(800, 600, 1024, 768, true, false).scaled);   // smaller, no enlarging
    FittedSize asWide = Fit(1024, 500, 1024, 768);                // as wide, less tall: kept
    EXPECT_TRUE(asWide.scaled);
    EXPECT_EQ(asWide.width, 1024);
    EXPECT_EQ(asWide.height, 500);
    FittedSize asTall = Fit(300, 768, 1024, 768);
    EXPECT_EQ(asTall.width, 300);
    EXPECT_EQ(asTall.height, 768);
}

TEST(Fit, ExtremePicturesKeepAtLeastOnePixel)
{
    FittedSize line = Fit(30000, 20, 1024, 768);
    EXPECT_EQ(line.width, 1024);
    EXPECT_EQ(line.height, 1);
    FittedSize dot = Fit(1, 1, 1024, 768);
    EXPECT_EQ(dot.width, 768);
    EXPECT_EQ(dot.height, 768);
    FittedSize tower = Fit(1, 65535, 1920, 1080);
    EXPECT_EQ(tower.width, 1);
    EXPECT_EQ(tower.height, 1080);
}

}  // namespace

// Which reduction a JPEG may be decoded at before it is fitted: only when the fit halves
// it both ways, never below the fitted size (at 1/4 and 1/8, never above 65 % of the reduced
// size), and only one that divides both sides.
TEST(Fit, ReductionBeforeFitting)
{
    struct Case {
        int w, h, sw, sh;
        bool reduce;
        int expected;
    } cases[] = {
        {6000, 4000, 1920, 1080, true, 2},  // fitted 1620x1080: 1/2 is 3000x2000, 1/4 too small
        {6000, 4000, 480, 360, true, 8},    // the effects dialog's preview
        {6000, 4000, 1024, 768, true, 2},   // fitted 1024x682: 68 % of 1/4's 1500x1000
        {6000, 4000, 960, 720, true, 4},    // fitted 960x640: 64 %
        {16384, 8192, 1920, 1080, true, 4}, // fitted 1920x960: 94 % of 1/8's 2048x1024
        {6000, 4000, 1920, 1080, false, 1}, // no reducing
        {2000, 1500, 1024, 768, true, 1},   // fitted to more than half
        {2048, 1536, 1024, 768, true, 2},   // exactly half
        {1680, 1050, 240, 150, true, 2},    // 1050 / 4 and / 8 are no whole numbers
        {6001, 4000, 480, 360, true, 1},    // an odd width never divides
        {300, 200, 1024, 768, true, 1},     // enlarged
    };
    for (const Case& c : cases) {
        const FittedSize fit = FitToArea(c.w, c.h, c.sw, c.sh, float(c.sw) / float(c.sh), c.reduce, true);
        EXPECT_EQ(FitReduction(fit, c.w, c.h), c.expected) << c.w << "x" << c.h << " on " << c.sw << "x" << c.sh;
    }
}
