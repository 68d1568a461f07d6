// The actor pass and the enemies: reloads, headings, drawing by kind, the wall, smoke, and the
// tanks', turrets' and items' behaviour.
#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

#include "platform/Numbers.h"
#include "render/Scene.h"
#include "support/BattleFixture.h"
#include "support/GLContext.h"
#include "world/Actors.h"

namespace {

class EnemyTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetBattleWorld(0, 0, 0); }

    // An enemy at Distance from the player (at the origin), standing on the bearing Degrees and
    // facing the player straight, so that it has the player in its line of fire.
    static void PlaceFacingPlayer(Actor_Rec& A, double Distance, double Degrees) {
        const double R = Degrees * std::numbers::pi / 180;
        A.X = float(Distance * std::sin(R));
        A.Z = float(Distance * std::cos(R));
        A.Heading = float(Degrees);
    }
};

TEST_F(EnemyTest, TankOutOfSightOnlyWandersForward) {
    for (int Trial = 0; Trial < 200; ++Trial) {
        Actor_Rec& T = PlaceTank(1, 0, 0, 0);
        PlaceFacingPlayer(T, 301, 6.6);
        const float StartX = T.X, StartZ = T.Z;
        EnemyThink(1);
        ASSERT_EQ(T.ShotsInFlight, 0);
        // The wander term is at most half the turn speed either way.
        ASSERT_LE(std::fabs(T.Heading - 6.6f), 1.0f + 1e-5f);
        // One unit along the heading rounded to a whole degree, 7.
        ASSERT_NEAR(T.X - StartX, -std::sin(7 * std::numbers::pi / 180), 1e-4);
        ASSERT_NEAR(T.Z - StartZ, -std::cos(7 * std::numbers::pi / 180), 1e-4);
    }
}

TEST_F(EnemyTest, TankInSightFiresWhenAimedAndTurnsLeftOtherwise) {
    Actor_Rec& T = PlaceTank(1, 0, 0, 0);
    PlaceFacingPlayer(T, 299, 6);
    EnemyThink(1);
    EXPECT_EQ(T.ShotsInFlight, 1);
    EXPECT_DOUBLE_EQ(T.ReloadTimer, 30.0);
    EXPECT_LE(std::fabs(T.Heading - 6.0f), 1.0f + 1e-5f);

    double Sum = 0;
    for (int Trial = 0; Trial < 500; ++Trial) {
        Actor_Rec& U = PlaceTank(2, 0, 0, 0);
        PlaceFacingPlayer(U, 299, 6);
        U.Heading = 100; // faces away: no line of fire
        EnemyThink(2);
        ASSERT_EQ(U.ShotsInFlight, 0);
        const double Turn = U.Heading - 100.0;
        // (0.8..1.0) x TurnSpeed 2 to the left, plus a wander of at most 1 either way.
        ASSERT_GE(Turn, 0.6 - 1e-4);
        ASSERT_LE(Turn, 3.0 + 1e-4);
        Sum += Turn;
    }
    EXPECT_NEAR(Sum / 500, 1.8, 0.1);
}

// In sight range without a line of fire a turret turns right by exactly its turn speed of 3 per
// unit of SpeedFactor and never moves; both headings are first brought into 0..360. At the sight
// range exactly it no longer reacts.
TEST_F(EnemyTest, TurretTurnsRightByExactlyItsTurnSpeed) {
    Actor_Rec& T = PlaceTurret(1, 0, 200, -10);
    Actors[0].Heading = -30;
    EnemyThink(1);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 330.0f);
    EXPECT_FLOAT_EQ(T.Heading, 350.0f - 3.0f);
    SpeedFactor = 0.5f;
    EnemyThink(1);
    EXPECT_FLOAT_EQ(T.Heading, 345.5f);
    EXPECT_FLOAT_EQ(T.X, 0.0f);
    EXPECT_FLOAT_EQ(T.Z, 200.0f);
    EXPECT_EQ(T.ShotsInFlight, 0);

    T.Z = 300;
    EnemyThink(1);
    EXPECT_FLOAT_EQ(T.Heading, 345.5f);
}

TEST_F(EnemyTest, TurretFiresWithoutTurningWhenAimed) {
    Actor_Rec& T = PlaceTurret(1, 0, 0, 0);
    PlaceFacingPlayer(T, 150, 40);
    EnemyThink(1);
    EXPECT_EQ(T.ShotsInFlight, 1);
    EXPECT_FLOAT_EQ(T.Heading, 40.0f);
    EnemyThink(1); // reloading now: neither fires nor turns
    EXPECT_EQ(T.ShotsInFlight, 1);
    EXPECT_FLOAT_EQ(T.Heading, 40.0f);
}

// The pass draws through real display lists: each test list paints the whole view in its own
// colour, so the pixel in the middle tells which model the pass chose.
class ActorPassTest : public ::testing::Test {
  protected:
    clsTestGLContext Ctx{32, 32};
    // The player's list red, the near and far tank green and blue, the near and far turret
    // yellow and cyan.
    uint32_t* const Lists[5] = {&HeroList, &TigerList, &TigerFarList, &TurretList, &TurretFarList};
    uint32_t        SavedLists[5] = {};

    void SetUp() override {
        ResetBattleWorld(0, 0, 0);
        AnimatedModels = false; // the still lists are the ones painted here
        const float Colours[5][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}};
        for (int I = 0; I < 5; I++)
            SavedLists[I] = *Lists[I];
        if (!Ctx.Ready()) return;
        for (int I = 0; I < 5; I++)
            *Lists[I] = PaintList(Colours[I][0], Colours[I][1], Colours[I][2]);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        for (int I = 0; I < 5; I++)
            *Lists[I] = SavedLists[I];
        AnimatedModels = true;
    }

    static uint32_t PaintList(float R, float G, float B) {
        const GLuint List = glGenLists(1);
        glNewList(List, GL_COMPILE);
        glPushMatrix();
        glLoadIdentity();
        glColor3f(R, G, B);
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
        glPopMatrix();
        glEndList();
        return List;
    }

    // Runs one pass on a black picture and returns the centre pixel's colour.
    std::vector<uint8_t> PassColour() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        UpdateActors();
        return Ctx.Pixel(16, 16);
    }
};

bool IsColour(const std::vector<uint8_t>& P, int R, int G, int B) {
    return P[0] == R * 255 && P[1] == G * 255 && P[2] == B * 255;
}

TEST_F(ActorPassTest, PlayerModelIsHiddenOnlyInTheCockpitView) {
    REQUIRE_GL(Ctx);
    CameraMode = 1;
    EXPECT_TRUE(IsColour(PassColour(), 0, 0, 0));
    CameraMode = 2;
    EXPECT_TRUE(IsColour(PassColour(), 1, 0, 0));
    CameraMode = 3;
    Actors[0].Energy = 0; // the wreck is still drawn
    EXPECT_TRUE(IsColour(PassColour(), 1, 0, 0));
}

TEST_F(ActorPassTest, NearOrFarModelByDetailLevel) {
    REQUIRE_GL(Ctx);
    CameraMode = 1;
    PlaceTank(1, 250, 0, 0);
    DetailLevel = 1;
    EXPECT_TRUE(IsColour(PassColour(), 0, 0, 1));
    PlaceTank(1, 250, 0, 0);
    DetailLevel = 2;
    EXPECT_TRUE(IsColour(PassColour(), 0, 1, 0));
    Actors[1].Energy = 0;
    PlaceTurret(2, 0, 399, 0);
    EXPECT_TRUE(IsColour(PassColour(), 1, 1, 0));
    DetailLevel = 1;
    EXPECT_TRUE(IsColour(PassColour(), 0, 1, 1));
}

// A full custom arena fills slots up to 150: the last of them is drawn and walks like the first,
// while slot 151 and dead actors are left alone.
TEST_F(ActorPassTest, OnlyLiveActorsUpToTheLastBattleSlotTakePart) {
    REQUIRE_GL(Ctx);
    CameraMode = 1;
    PlaceTank(151, 10, 10, 0);
    PlaceTank(5, 20, 20, 0).Energy = 0;
    EXPECT_TRUE(IsColour(PassColour(), 0, 0, 0));
    EXPECT_FLOAT_EQ(Actors[151].Z, 10.0f);
    EXPECT_FLOAT_EQ(Actors[5].Z, 20.0f);
    PlaceTank(150, 10, 10, 0);
    EXPECT_TRUE(IsColour(PassColour(), 0, 1, 0));
    EXPECT_LT(Actors[150].Z, 10.0f) << "it walked";
}

TEST_F(ActorPassTest, ReloadCountdownAndHeadingWrap) {
    REQUIRE_GL(Ctx);
    Actor_Rec& P = Actors[0];
    P.ReloadTimer = 5.0;
    P.Heading = 361.0f;
    SpeedFactor = 2.0f;
    UpdateActors();
    EXPECT_DOUBLE_EQ(P.ReloadTimer, 3.0);
    EXPECT_FLOAT_EQ(P.Heading, 1.0f);
    P.Heading = -1.0f;
    P.ReloadTimer = 0.5;
    UpdateActors();
    EXPECT_FLOAT_EQ(P.Heading, 359.0f);
    EXPECT_DOUBLE_EQ(P.ReloadTimer, -1.5);
    UpdateActors();
    EXPECT_DOUBLE_EQ(P.ReloadTimer, -1.5);
}

TEST_F(ActorPassTest, TankAtTheWallIsClampedPushedBackAndTurned) {
    REQUIRE_GL(Ctx);
    Actor_Rec& T = PlaceTank(1, 0, -497, 0); // facing -Z, into the wall; the player is far
    UpdateActors();
    // One step forward to -498, clamped to -495, then two steps back along heading 0.
    EXPECT_NEAR(T.Z, -493.0f, 1e-3);
    EXPECT_NEAR(T.X, 0.0f, 0.1f);
    // The wander (at most 1 either way) and then the turn of TurnSpeed to the left.
    EXPECT_GE(T.Heading, 1.0f - 1e-4f);
    EXPECT_LE(T.Heading, 3.0f + 1e-4f);

    Actor_Rec& U = PlaceTank(2, 520, 0, 90); // beyond +X, facing -X: only X is clamped
    UpdateActors();
    EXPECT_NEAR(U.X, 497.0f, 0.1f);
}

TEST_F(ActorPassTest, PlayerIsOnlyClamped) {
    REQUIRE_GL(Ctx);
    Actor_Rec& P = Actors[0];
    P.X = 600;
    P.Z = -600;
    P.Heading = 45;
    UpdateActors();
    EXPECT_FLOAT_EQ(P.X, 495.0f);
    EXPECT_FLOAT_EQ(P.Z, -495.0f);
    EXPECT_FLOAT_EQ(P.Heading, 45.0f);
}

TEST_F(ActorPassTest, OnlyDamagedTanksAndTheWreckSmoke) {
    REQUIRE_GL(Ctx);
    CameraMode = 1;
    PlaceTank(1, 100, 100, 0);
    PlaceBonus(2, -100, 100, 1).Energy = 1;
    for (int f = 0; f < 100; ++f)
        UpdateActors();
    EXPECT_EQ(LiveSparks(), 0);

    // At detail 3 the wreck smokes every frame; at detail 1 only when the second draw is
    // below a third.
    Actors[0].Energy = 0;
    for (int f = 0; f < 100; ++f)
        UpdateActors();
    EXPECT_GE(LiveSparks(), 99);
    ResetBattleWorld(0, 0, 0);
    Actors[0].Energy = 0;
    DetailLevel = 1;
    for (int f = 0; f < 300; ++f)
        UpdateActors();
    EXPECT_GT(LiveSparks(), 70);
    EXPECT_LT(LiveSparks(), 130);
    EXPECT_FLOAT_EQ(Sparks[1].ColorR, 1.0f);
    EXPECT_NEAR(Sparks[1].X, 0.0f, 1.0f);
    EXPECT_NEAR(Sparks[1].Y, float(GroundY), 1.0f);
}

TEST_F(ActorPassTest, PickedUpItemIsNeverCollectedAgain) {
    REQUIRE_GL(Ctx);
    PlaceBonus(3, 1, 0, 1);
    UpdateActors();
    UpdateActors();
    EXPECT_EQ(Actors[3].Energy, 0);
    EXPECT_EQ(Actors[0].MaxShots, 3);
}

} // namespace
