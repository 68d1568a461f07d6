// The battle's rules at any frame rate: one scripted duel played with SpeedFactor held at 1, 2
// and 4 (50, 25 and 12.5 frames per second) ends with the same hits and kills, and no shot is
// ever lost to the shot count on the way.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

#include "shell/Frame.h"
#include "support/BattleFixture.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"

namespace {

constexpr int Tank = 1;   // slot of the one enemy tank
constexpr int Turret = 2; // slot of the one turret

// What happened in one duel.
struct DuelResult {
    int  HitsOn[3] = {};      // hits taken by the player, the tank and the turret
    bool Destroyed[3] = {};   // energy 0 at the end
    bool SelfKill = false;    // a self-kill message was logged
    int  CountMismatches = 0; // frames where ShotsInFlight did not add up to the shots in play
};

int ShotsInPlay() {
    int N = 0;
    for (const Shot_Rec& S : Shots)
        N += S.Life >= 0;
    return N;
}

int ShotsCounted() {
    int N = 0;
    for (int I = 0; I <= BattleSlotLast; I++)
        N += Actors[I].ShotsInFlight;
    return N;
}

// Hits behind one frame's loss of energy: each deals the shot's power or one less, and the
// last blow whatever energy was left.
int HitsTaken(int32_t Loss, int32_t Power) {
    if (Loss <= 0) return 0;
    return std::max(1, static_cast<int>(std::lround(double(Loss) / Power)));
}

// Turn keys that bring the player's heading towards actor Target, within half a frame's turn.
void AimAt(int Target) {
    const Actor_Rec& P = Actors[0];
    const Actor_Rec& T = Actors[Target];
    // Heading h faces (-sin h, -cos h).
    const double Bearing = std::atan2(-(T.X - P.X), -(T.Z - P.Z)) * 180 / std::numbers::pi;
    const double Error = std::remainder(Bearing - P.Heading, 360.0);
    Keys[KeyLeft] = Error > SpeedFactor / 2;
    Keys[KeyRight] = Error < -SpeedFactor / 2;
}

// The duel, in units of SpeedFactor from its start. The player stands at the start point; a
// damaged tank 60 units away walks towards it and fires on sight, and a turret stands 62 units
// east, level with the player (so its aim test never passes and it does not fire back). The
// player keeps its sights on the tank and fires every 20 units while it lives (until 160 at the
// latest), then turns to the turret and from 240 fires at it every 40 units, 18 times, and
// watches until 1100. The generator starts from 0 in every run; the runs differ only in how
// many frames draw from it.
DuelResult PlayDuel(float Factor) {
    StartRealBattle(1, 1, 0, 10);
    for (bool& Key : Keys)
        Key = false;
    FireLatch = false;
    PlayerVelocity = 0;
    DetailLevel = 2;
    ShowParticles = true;
    ShowTrees = true;
    Actor_Rec& P = Actors[0];
    P.Heading = 354;
    Actor_Rec& T = Actors[Tank];
    T.X = -450 + 60 * 0.104528f; // 60 units along the player's heading 354
    T.Z = -60 * 0.994522f;
    T.Heading = 174; // facing the player
    T.Energy = 35;   // damaged: two hits destroy it, whichever damage each deals
    Actors[Turret].X = -388;
    Actors[Turret].Z = 0;

    DuelResult R;
    int32_t    Before[3] = {P.Energy, T.Energy, Actors[Turret].Energy};
    float      NextFire = 0;
    const int  Frames = static_cast<int>(1100 / Factor);
    for (int F = 0; F < Frames; F++) {
        const float Time = F * Factor;
        SpeedFactor = Factor;
        AimAt(Time < 160 && T.Energy > 0 ? Tank : Turret);
        const bool Firing = (Time < 160 && T.Energy > 0) || (Time >= 240 && Time < 240 + 18 * 40);
        Keys[KeySpace] = Firing && Time >= NextFire;
        if (Keys[KeySpace]) NextFire = Time + (Time < 160 ? 20 : 40);
        if (Time >= 160 && NextFire < 240) NextFire = 240;
        DrawFrame();
        ProcessGameKeys();
        for (int I = 0; I < 3; I++) {
            R.HitsOn[I] +=
                HitsTaken(Before[I] - Actors[I].Energy, Actors[I == 0 ? Tank : 0].ShotPower);
            Before[I] = Actors[I].Energy;
        }
        R.CountMismatches += ShotsCounted() != ShotsInPlay();
        for (const LogString& Line : EventLog)
            for (const char* Own :
                 {" commited suicide!", " life was boring!", " destroyed himself!"})
                R.SelfKill |= Line.Text.find(Own) != std::string::npos;
    }
    for (int I = 0; I < 3; I++)
        R.Destroyed[I] = Actors[I].Energy <= 0;
    for (bool& Key : Keys)
        Key = false;
    return R;
}

class FrameRateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.Ready());
        Temp.LinkGameData(TARVIX_DATA_DIR);
        REQUIRE_GL(Ctx);
        REQUIRE_GAME_MODELS();
        ScreenWidth = 96;
        ScreenHeight = 72;
    }
    void TearDown() override {
        SpeedFactor = 1;
        GameState = 1;
    }
    clsTempFolder    Temp;
    clsTestGLContext Ctx{96, 72};
};

TEST_F(FrameRateTest, TheSameDuelAtFiftyTwentyFiveAndTwelveFramesASecond) {

    DuelResult  Results[3];
    const float Factors[3] = {1, 2, 4};
    for (int I = 0; I < 3; I++)
        Results[I] = PlayDuel(Factors[I]);

    const DuelResult& Base = Results[0];
    // At 50 frames per second: the damaged tank falls to two hits on its way in, the turret to
    // the second volley, and the tank's fire has reached the player.
    EXPECT_TRUE(Base.Destroyed[Tank]);
    EXPECT_TRUE(Base.Destroyed[Turret]);
    EXPECT_FALSE(Base.Destroyed[0]);
    EXPECT_EQ(Base.HitsOn[Tank], 2);
    EXPECT_GE(Base.HitsOn[Turret], 15);
    EXPECT_GE(Base.HitsOn[0], 1);
    for (int I = 0; I < 3; I++) {
        const DuelResult& R = Results[I];
        SCOPED_TRACE("SpeedFactor " + std::to_string(Factors[I]));
        EXPECT_EQ(R.CountMismatches, 0);
        EXPECT_FALSE(R.SelfKill);
        for (int A = 0; A < 3; A++)
            EXPECT_EQ(R.Destroyed[A], Base.Destroyed[A]) << "actor " << A;
        // Only the draws of the damage differ from run to run: a turret may need one hit more.
        EXPECT_EQ(R.HitsOn[Tank], Base.HitsOn[Tank]);
        EXPECT_NEAR(R.HitsOn[Turret], Base.HitsOn[Turret], 1);
        EXPECT_NEAR(R.HitsOn[0], Base.HitsOn[0], 1);
    }
}

// In a game the pointer overlay counts down by SpeedFactor each frame, and stays at 30 while a
// panel is dragged; once faded out, dragging does not bring it back.
TEST_F(FrameRateTest, PointerFadesByTheFrameUnlessAPanelIsDragged) {
    StartRealBattle(0, 0, 0, 2);
    SpeedFactor = 1.5f;
    DragPanel = 0;
    PointerTimer = 30.0;
    DrawFrame();
    DrawFrame();
    EXPECT_DOUBLE_EQ(PointerTimer, 27.0);
    DragPanel = 3;
    DrawFrame();
    EXPECT_DOUBLE_EQ(PointerTimer, 30.0);
    PointerTimer = 0.0;
    DrawFrame();
    EXPECT_DOUBLE_EQ(PointerTimer, 0.0);
    DragPanel = 0;
}

} // namespace
