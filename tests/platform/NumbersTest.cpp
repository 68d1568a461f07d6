// The one random generator and the rounding rules of the whole game.
#include "platform/Numbers.h"

#include <gtest/gtest.h>

// From seed 0: seed x 134775813 + 1 modulo 2^32 gives 1, 134775814 and 3698175007; a real is the
// seed over 2^32, an integer below N the high half of seed x N (3698175007 x 1000 >> 32 = 861).
TEST(Random, FirstValuesFromSeedZero) {
    RandomSeed = 0;
    EXPECT_DOUBLE_EQ(RandomReal(), 1.0 / 4294967296.0);
    EXPECT_EQ(RandomSeed, 1u);
    EXPECT_DOUBLE_EQ(RandomReal(), 134775814.0 / 4294967296.0);
    EXPECT_EQ(RandomInt(1000), 861);
    EXPECT_EQ(RandomSeed, 3698175007u);
}

TEST(Random, ValuesStayInRange) {
    RandomSeed = 12345;
    for (int i = 0; i < 100000; ++i) {
        const int32_t Value = RandomInt(7);
        ASSERT_GE(Value, 0);
        ASSERT_LT(Value, 7);
    }
    RandomSeed = 0xFFFFFFFFu;
    EXPECT_EQ(RandomInt(1), 0);
    for (int i = 0; i < 1000; ++i) {
        const double Value = RandomReal();
        ASSERT_GE(Value, 0.0);
        ASSERT_LT(Value, 1.0);
    }
}

TEST(Rounding, TiesGoToEvenAndTruncGoesTowardZero) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(2.51), 3);
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
}
