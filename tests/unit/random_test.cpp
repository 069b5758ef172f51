#include "base/random.h"

#include <gtest/gtest.h>

TEST(Random, FirstValuesFromSeedOne)
{
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(RandomValue(), value);
}

TEST(Random, ValuesStayWithinFifteenBits)
{
    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) {
        int v = RandomValue();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}
