#include "effects/framework.h"

#include <gtest/gtest.h>

#include "base/random.h"
#include "base/settings.h"

namespace {

class ChooseEffect : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForcedEffect = 0;
        CurrentEffect = kInitialEffect;
        SeedRandom(1);
    }
    void Enable(std::initializer_list<int> effects)
    {
        ShowSettings = Settings();
        for (int e : effects) ShowSettings.enable[e] = 1;
        CountEnabledEffects();
        BuildEffectList();
    }
};

TEST_F(ChooseEffect, DrawsAnEnabledEffectPerCall)
{
    Enable({3, 9, 24});
    // Draws from seed 1: 41, 18467, 6334, 26500 -> indices 2, 2, 1, 1.
    EXPECT_EQ(ChooseEffectNumber(), 24);
    EXPECT_EQ(ChooseEffectNumber(), 24);
    EXPECT_EQ(ChooseEffectNumber(), 9);
    EXPECT_EQ(CurrentEffect, 9);
}

TEST_F(ChooseEffect, OneEnabledEffectStillConsumesADraw)
{
    Enable({17});
    EXPECT_EQ(ChooseEffectNumber(), 17);
    EXPECT_EQ(RandomValue(), 18467);
}

TEST_F(ChooseEffect, NoEnabledEffectGivesThePlainCopyWithoutADraw)
{
    Enable({});
    EXPECT_EQ(ChooseEffectNumber(), 0);
    EXPECT_EQ(RandomValue(), 41);
}

TEST_F(ChooseEffect, ForcedEffectIsKeptWithoutADraw)
{
    Enable({1, 2});
    ForcedEffect = 1;
    CurrentEffect = 33;
    EXPECT_EQ(ChooseEffectNumber(), 33);
    EXPECT_EQ(RandomValue(), 41);
}

TEST(Framework, AreaAspectAndBirthday)
{
    SetShowArea(1024, 768);
    EXPECT_FLOAT_EQ(ShowArea.aspect, 1024.0f / 768.0f);
    EXPECT_TRUE(IsBirthday(5, 29));
    EXPECT_FALSE(IsBirthday(5, 28));
    EXPECT_FALSE(IsBirthday(5, 30));
    EXPECT_FALSE(IsBirthday(6, 29));
}

}  // namespace
