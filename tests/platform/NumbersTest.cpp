#include "platform/Numbers.h"

#include <gtest/gtest.h>

// Values worked out by hand: seed 0 -> 1 -> 134775814 -> 134775814*134775813+1 mod 2^32.
TEST(Random, FirstValuesFromSeedZero) {
    RandomSeed = 0;
    EXPECT_DOUBLE_EQ(RandomReal(), 1.0 / 4294967296.0);
    EXPECT_EQ(RandomSeed, 1u);
    EXPECT_DOUBLE_EQ(RandomReal(), 134775814.0 / 4294967296.0);
    const uint64_t Third = (uint64_t(134775814) * 134775813 + 1) % 4294967296ull;
    EXPECT_EQ(RandomInt(1000), int32_t((Third * 1000) >> 32));
    EXPECT_EQ(RandomSeed, uint32_t(Third));
}

TEST(Random, IntStaysInRange) {
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
