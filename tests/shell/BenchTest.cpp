// The benchmark's options, its percentiles and its player, and the steady battle frame's heap use:
// a counting operator new watches a few hundred frames of the benchmark battle in the headless
// context and finds no allocation in a frame that adds no log line.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

#include "menu/Menu.h"
#include "menu/Settings.h"
#include "shell/App.h"
#include "shell/Bench.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"
#include "core/EventLog.h"
#include "world/Player.h"
#include "world/Setup.h"
#include "world/World.h"
#include "support/Sanitizers.h"
#include "shell/GameEntry.h"

namespace {

// Counting is per thread: the driver's own threads (the rasteriser, the shader compiler) and
// the sound mixer allocate as they like and are not the game's frame.
thread_local bool CountingHere = false;
std::atomic<long> NewCalls{0};

[[maybe_unused]] void* CountedAlloc(std::size_t Size) {
    if (CountingHere)
        NewCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* P = std::malloc(Size ? Size : 1))
        return P;
    throw std::bad_alloc();
}

} // namespace

// AddressSanitizer keeps its own operator new and delete (the driver's aligned allocations
// would otherwise meet a plain free); the counting test is skipped there.
#if !TARVIX_SANITIZED
void* operator new(std::size_t Size) { return CountedAlloc(Size); }
void* operator new[](std::size_t Size) { return CountedAlloc(Size); }
void  operator delete(void* P) noexcept { std::free(P); }
void  operator delete[](void* P) noexcept { std::free(P); }
void  operator delete(void* P, std::size_t) noexcept { std::free(P); }
void  operator delete[](void* P, std::size_t) noexcept { std::free(P); }
#endif

namespace {

int Read(std::vector<std::string> Words) {
    std::vector<char*> Argv;
    for (std::string& W : Words)
        Argv.push_back(W.data());
    int i = 1;
    return ReadBenchOption(int(Argv.size()), Argv.data(), i);
}

TEST(BenchOptions, TakesItsOwnOptionsAndRefusesBadValues) {
    BenchMode = BenchKind::None;
    EXPECT_EQ(Read({"tarvix", "--bench"}), 1);
    EXPECT_EQ(BenchMode, BenchKind::Battle);
    EXPECT_EQ(Read({"tarvix", "--bench-empty"}), 1);
    EXPECT_EQ(BenchMode, BenchKind::Empty);
    EXPECT_EQ(Read({"tarvix", "--bench-frames", "25"}), 1);
    EXPECT_EQ(BenchFrames, 25);
    EXPECT_EQ(Read({"tarvix", "--size", "1024x768"}), 1);
    EXPECT_EQ(BenchWidth, 1024);
    EXPECT_EQ(BenchHeight, 768);
    EXPECT_EQ(Read({"tarvix", "--windowed"}), 0);
    EXPECT_EQ(Read({"tarvix", "--benchmark"}), 0);
    for (const char* Bad : {"0", "-3", "12x", "", "9e9"})
        EXPECT_EQ(Read({"tarvix", "--bench-frames", Bad}), -1) << Bad;
    EXPECT_EQ(Read({"tarvix", "--bench-frames"}), -1);
    for (const char* Bad : {"800", "800x", "x600", "800x600x", "10x10", "800*600", "99999x600"})
        EXPECT_EQ(Read({"tarvix", "--size", Bad}), -1) << Bad;
    EXPECT_EQ(BenchWidth, 1024); // a refused value leaves the size as it was
    BenchMode = BenchKind::None;
    EXPECT_EQ(Read({"tarvix", "--bench-arena", "default"}), 1);
    EXPECT_EQ(BenchArena, BenchArenaKind::Default);
    EXPECT_EQ(BenchMode, BenchKind::Battle) << "an arena alone runs the battle";
    EXPECT_EQ(Read({"tarvix", "--bench-arena", "largest"}), 1);
    EXPECT_EQ(BenchArena, BenchArenaKind::Largest);
    for (const char* Bad : {"", "Default", "10"})
        EXPECT_EQ(Read({"tarvix", "--bench-arena", Bad}), -1) << Bad;
    BenchMode = BenchKind::None;
    EXPECT_EQ(Read({"tarvix", "--bench-shot", "500", "out.ppm"}), 1);
    EXPECT_EQ(BenchShotFrame, 500);
    EXPECT_EQ(BenchShotFile, "out.ppm");
    EXPECT_EQ(BenchMode, BenchKind::Battle);
    EXPECT_EQ(Read({"tarvix", "--bench-shot", "0", "out.ppm"}), -1);
    EXPECT_EQ(Read({"tarvix", "--bench-shot", "5x", "out.ppm"}), -1);
    EXPECT_EQ(Read({"tarvix", "--bench-shot", "5"}), -1);
    EXPECT_EQ(Read({"tarvix", "--detail", "2"}), 1);
    EXPECT_EQ(BenchDetail, 2);
    for (const char* Bad : {"0", "4", "", "2x"})
        EXPECT_EQ(Read({"tarvix", "--detail", Bad}), -1) << Bad;
    EXPECT_EQ(BenchDetail, 2);
    EXPECT_EQ(Read({"tarvix", "--no-particles"}), 1);
    EXPECT_FALSE(BenchParticles);
    EXPECT_TRUE(BenchTrees) << "each switch turns off its own choice only";
    EXPECT_EQ(Read({"tarvix", "--no-trees"}), 1);
    EXPECT_FALSE(BenchTrees);
    EXPECT_EQ(Read({"tarvix", "--no-particle"}), 0);
    BenchDetail = 3;
    BenchParticles = BenchTrees = true;
    BenchShotFrame = 0;
    BenchShotFile.clear();
    BenchMode = BenchKind::None;
    BenchFrames = 1000;
    BenchWidth = 800;
    BenchHeight = 600;
}

TEST(BenchFigures, PercentilesByNearestRank) {
    std::vector<double> Times;
    EXPECT_EQ(FrameTimePercentile(Times, 50), 0.0);
    for (int i = 100; i >= 1; --i)
        Times.push_back(i / 1000.0);
    EXPECT_DOUBLE_EQ(FrameTimePercentile(Times, 50), 0.050);
    EXPECT_DOUBLE_EQ(FrameTimePercentile(Times, 99), 0.099);
    EXPECT_DOUBLE_EQ(FrameTimePercentile(Times, 100), 0.100);
    EXPECT_DOUBLE_EQ(FrameTimePercentile(Times, 0), 0.001);
    std::vector<double> One{0.02};
    EXPECT_DOUBLE_EQ(FrameTimePercentile(One, 99), 0.02);
}

TEST(BenchFigures, ProcessClockAndMemoryAreReadable) {
    const double Ms = MillisecondsSinceProcessStart();
    EXPECT_GT(Ms, 0.0);
    EXPECT_LT(Ms, 24 * 3600 * 1000.0);
    EXPECT_GT(PeakResidentKilobytes(), 1000);
}

TEST(BenchPlayer, TurnsFiresAndNeverRunsOutOfEnergy) {
    SetBenchSettings();
    EXPECT_EQ(ArenaTanks, 50);
    EXPECT_EQ(ArenaTurrets, 50);
    EXPECT_EQ(ArenaBonus, 50);
    EXPECT_TRUE(ArenaRespawn);
    EXPECT_EQ(DetailLevel, 3);
    Actors[0].Energy = 3;
    FireLatch = true;
    CameraMode = 1;
    DriveBenchPlayer();
    EXPECT_EQ(Actors[0].Energy, ArenaStartEnergy);
    EXPECT_FALSE(FireLatch);
    EXPECT_TRUE(Keys[KeyLeft]);
    EXPECT_TRUE(Keys[KeySpace]);
    EXPECT_EQ(CameraMode, 2);
    Keys[KeyLeft] = Keys[KeySpace] = false;
}

// The bench's settings: the player's detail and particles choices, in the largest arena or the
// custom arena a first start offers (10/10/10, 100 energy, 2 shots, no respawn).
TEST(BenchPlayer, SettingsAreThePlayersChoicesInTheNamedArena) {
    BenchDetail = 1;
    BenchParticles = false;
    SetBenchSettings();
    BenchDetail = 3;
    BenchParticles = true;
    EXPECT_EQ(DetailLevel, 1);
    EXPECT_FALSE(ShowParticles);
    EXPECT_EQ(ArenaTanks, 50) << "the arena stays the largest";
    BenchArena = BenchArenaKind::Default;
    SetBenchSettings();
    BenchArena = BenchArenaKind::Largest;
    EXPECT_EQ(DetailLevel, 3);
    EXPECT_TRUE(ShowParticles);
    EXPECT_EQ(ArenaTanks, 10);
    EXPECT_EQ(ArenaTurrets, 10);
    EXPECT_EQ(ArenaBonus, 10);
    EXPECT_EQ(ArenaStartEnergy, 100);
    EXPECT_EQ(ArenaMaxShots, 2);
    EXPECT_FALSE(ArenaRespawn);
}

// The benchmark's game entry in the headless context, which keeps the test's window as it is:
// its display mode is the one in effect.
void EnterBenchGameIn(clsTestGLContext& Ctx) {
    const int32_t Applied = ResolutionApplied;
    WindowHandle = Ctx.WindowOf();
    ResolutionApplied = ResolutionWanted;
    StartBenchGame();
    WindowHandle = nullptr;
    ResolutionApplied = Applied;
}

// The benchmark's first start and new game in the headless context at 320 x 240.
void StartBenchInContext(clsTestGLContext& Ctx) {
    ScreenWidth = 320;
    ScreenHeight = 240;
    FirstStart = true;
    NextMenuItem = 1; // the menu tree is built once per run; each test runs a first start again
    GameState = 0;
    ArenaFromFile = false; // the first setup keeps the bench's arena instead of reading a file
    SetBenchSettings();
    GameSetup();
    ArenaFromFile = true;
    EnterBenchGameIn(Ctx);
}

bool GameDataReady() {
    return std::filesystem::exists(std::string(TARVIX_DATA_DIR) + "/models/hero.mdl");
}

// The benchmark's battle started in a headless context with the generated data.
class BenchInContext : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.Ready());
        Temp.LinkGameData(TARVIX_DATA_DIR);
        REQUIRE_GL(Ctx);
        if (!GameDataReady())
            GTEST_SKIP() << "the generated models are not there yet";
        StartBenchInContext(Ctx);
    }
    clsTempFolder    Temp;
    clsTestGLContext Ctx{320, 240};
};

// Trees are no setting: the game entry turns them on at detail 3 only, and --no-trees turns
// them off after it as the T key would.
TEST_F(BenchInContext, NoTreesSwitchesTheTreesOffAfterTheGameEntry) {
    EXPECT_TRUE(ShowTrees);
    BenchTrees = false;
    EnterBenchGameIn(Ctx);
    BenchTrees = true;
    EXPECT_FALSE(ShowTrees);
    EXPECT_EQ(DetailLevel, 3);
    EXPECT_EQ(GameState, 2);
}

// The benchmark battle in the headless context: after warm-up, a frame that adds no log line
// (kills, bonus pick-ups and their messages are the strings the game builds) allocates nothing.
TEST_F(BenchInContext, NoHeapAllocationOutsideLogFrames) {
    if (SanitizerBuild)
        GTEST_SKIP() << "allocations are counted by replacing operator new, which the sanitizer owns";
    BenchMode = BenchKind::Battle;
    for (int i = 0; i < 100; ++i)
        RunBenchFrame();
    int Counted = 0, Allocating = 0;
    long Worst = 0;
    for (int i = 0; i < 300; ++i) {
        const char* NewestLine = EventLog[LogLines - 1].Text.data();
        NewCalls = 0;
        CountingHere = true;
        RunBenchFrame();
        CountingHere = false;
        if (EventLog[LogLines - 1].Text.data() != NewestLine)
            continue; // a log line was added: its message is allowed to build strings
        Counted++;
        if (NewCalls > 0) {
            Allocating++;
            Worst = std::max(Worst, NewCalls.load());
        }
    }
    BenchMode = BenchKind::None;
    EXPECT_GT(Counted, 100) << "most frames add no log line";
    EXPECT_EQ(Allocating, 0) << Allocating << " of " << Counted
                             << " frames allocated; the most in one frame: " << Worst;
    EXPECT_GT(Actors[0].Energy, 0);
    EXPECT_EQ(GameState, 2);
}

} // namespace
