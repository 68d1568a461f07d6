// clsTimer on both clocks: the high-resolution counter and the millisecond fallback with its
// unsigned 32-bit wrap-around; and the frame speed factor the main loop derives from it.
#include "core/Timer.h"
#include "menu/Menu.h"
#include "platform/Clock.h"
#include "shell/App.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

// A hand-driven clock: tests move Ticks and Ms, the timer reads them.
int64_t  FakeFrequency = 0;
int64_t  FakeTicks = 0;
uint32_t FakeMs = 0;
int      CounterReads = 0;
int64_t  TicksPerRead = 0; // added after every counter read, to see which read is used

int64_t FakeFrequencyRead() {
    return FakeFrequency;
}
int64_t FakeCounterRead() {
    ++CounterReads;
    const int64_t T = FakeTicks;
    FakeTicks += TicksPerRead;
    return T;
}
uint32_t FakeMsRead() {
    return FakeMs;
}

class FakeClock : public ::testing::Test {
  protected:
    void SetUp() override {
        Saved = Clock;
        Clock = ClockSource{FakeFrequencyRead, FakeCounterRead, FakeMsRead};
        FakeFrequency = 0, FakeTicks = 0, FakeMs = 0, CounterReads = 0, TicksPerRead = 0;
    }
    void TearDown() override {
        Clock = Saved;
        delete GameTimer;
        GameTimer = nullptr;
    }
    ClockSource Saved;
};

} // namespace

TEST_F(FakeClock, HighResolutionCounter) {
    FakeFrequency = 1000000;
    FakeTicks = 123456789;
    const clsTimer T;
    EXPECT_TRUE(T.HighRes);
    EXPECT_EQ(T.Frequency, 1000000);
    EXPECT_FLOAT_EQ(T.TickSeconds, 1e-6f);
    EXPECT_EQ(T.StartCount, 123456789);
    EXPECT_EQ(T.LastCount, T.StartCount);
    EXPECT_FLOAT_EQ(T.ElapsedSeconds(), 0.0f);
    FakeTicks += 2500000;
    EXPECT_NEAR(T.ElapsedSeconds(), 2.5f, 1e-5f);
}

// Without a counter the millisecond clock serves, in 1 ms steps, its difference taken as an
// unsigned 32-bit number so that it runs on across the clock's wrap-around.
TEST_F(FakeClock, MillisecondFallbackWhenThereIsNoCounter) {
    FakeFrequency = 0;
    FakeMs = 0xFFFFFF00u; // 256 ms before the 32-bit clock wraps
    const clsTimer T;
    EXPECT_FALSE(T.HighRes);
    EXPECT_EQ(T.Frequency, 1000);
    EXPECT_FLOAT_EQ(T.TickSeconds, 0.001f);
    EXPECT_EQ(T.StartMs, 0xFFFFFF00u);
    EXPECT_EQ(T.LastMs, 0xFFFFFF00u);
    FakeMs += 1;
    EXPECT_FLOAT_EQ(T.ElapsedSeconds(), 0.001f);
    FakeMs = 0x00000100u; // 256 ms after the wrap
    EXPECT_FLOAT_EQ(T.ElapsedSeconds(), 0.512f);
}

TEST(SystemClockTest, RealClockAdvances) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_TIMER), 0);
    const clsTimer T;
    EXPECT_TRUE(T.HighRes);
    SDL_Delay(30);
    const float E = T.ElapsedSeconds();
    EXPECT_GE(E, 0.025f);
    EXPECT_LT(E, 5.0f);
    SDL_QuitSubSystem(SDL_INIT_TIMER);
}

// The loop's arithmetic: 50 x the seconds between two frames.
TEST_F(FakeClock, SpeedFactorAtFiftyAndTwentyFiveFramesPerSecond) {
    FakeFrequency = 1000;
    ResetGameTimer();
    FakeTicks += 20; // 1/50 s
    AdvanceFrameClock();
    EXPECT_FLOAT_EQ(SpeedFactor, 1.0f);
    FakeTicks += 20;
    AdvanceFrameClock();
    EXPECT_FLOAT_EQ(SpeedFactor, 1.0f);
    FakeTicks += 40; // 1/25 s
    AdvanceFrameClock();
    EXPECT_FLOAT_EQ(SpeedFactor, 2.0f);
}

// LastFrameTime comes from a second, fresh reading, so time spent between the two readings
// is counted in the next frame and not lost.
TEST_F(FakeClock, LastFrameTimeIsAFreshSecondReading) {
    FakeFrequency = 1000;
    ResetGameTimer();
    TicksPerRead = 1;
    FakeTicks += 20;
    CounterReads = 0;
    AdvanceFrameClock();
    EXPECT_EQ(CounterReads, 2);
    EXPECT_FLOAT_EQ(SpeedFactor, 1.0f);
    EXPECT_NEAR(LastFrameTime, 0.021f, 1e-6f); // the second read, one tick later
}

// A new game makes a new clock; its first frame must not measure against the old one.
TEST_F(FakeClock, NewGameTimerNeverGivesANegativeSpeedFactor) {
    FakeFrequency = 1000;
    ResetGameTimer();
    FakeTicks += 100000; // 100 s into the old clock
    AdvanceFrameClock();
    EXPECT_GT(LastFrameTime, 99.0f);
    ResetGameTimer(); // as game setup does for every new game
    EXPECT_FLOAT_EQ(LastFrameTime, 0.0f);
    FakeTicks += 20;
    AdvanceFrameClock();
    EXPECT_FLOAT_EQ(SpeedFactor, 1.0f);
}
