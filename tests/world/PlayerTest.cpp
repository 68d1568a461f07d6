// The player's tank control: throttle, steering, blocking and the fire latch.
#include <cmath>
#include <gtest/gtest.h>

#include "support/BattleFixture.h"
#include "world/Player.h"

namespace {

constexpr int KeyA = 65;

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetBattleWorld(0, 0, 0); }

    // Holds exactly the given tank keys for Frames frames, pressing them again every frame.
    static void Drive(std::initializer_list<int> Held, int Frames) {
        for (int f = 0; f < Frames; ++f) {
            for (int Key : {KeyUp, KeyDown, KeyLeft, KeyRight, KeySpace, KeyA})
                Keys[Key] = false;
            for (int Key : Held)
                Keys[Key] = true;
            ControlPlayerTank();
        }
    }

    static int PlayerShotsFired() {
        int Count = 0;
        for (const Shot_Rec& S : Shots)
            if (S.Life > ShotFreeLife && S.Owner == 0) ++Count;
        return Count;
    }
};

// Up raises the throttle by a net 0.02 a frame (0.04 up, 0.02 drag), also with down held: up
// wins and clears it. At the cap of 1.0 the drag still takes its 0.02. Let go, the tank coasts
// down by 0.02 a frame and stops once inside the dead zone of 0.05.
TEST_F(PlayerTest, ThrottleBuildsUpAndCoastsDownToTheDeadZone) {
    Drive({KeyUp, KeyDown}, 1);
    EXPECT_NEAR(PlayerVelocity, 0.02, 1e-9);
    EXPECT_FALSE(Keys[KeyDown]);
    EXPECT_TRUE(Keys[KeyUp]);
    // The first step uses the throttle before the drag: 0.04 units along -Z.
    EXPECT_NEAR(Actors[0].Z, -0.04, 1e-6);
    EXPECT_FLOAT_EQ(Actors[0].X, 0.0f);
    Drive({KeyUp, KeyDown}, 9);
    EXPECT_NEAR(PlayerVelocity, 0.20, 1e-9);
    Drive({KeyUp}, 50);
    EXPECT_NEAR(PlayerVelocity, 0.98, 1e-9);
    Drive({}, 46);
    EXPECT_NEAR(PlayerVelocity, 0.06, 1e-9);
    Drive({}, 1);
    EXPECT_NEAR(PlayerVelocity, 0.04, 1e-9);
    const float Z = Actors[0].Z;
    Drive({}, 1);
    EXPECT_EQ(PlayerVelocity, 0.0);
    EXPECT_EQ(Actors[0].Z, Z);
}

// The step follows the heading rounded to a whole degree: 30.7 moves along 31.
TEST_F(PlayerTest, MovesAlongTheHeadingRoundedToAWholeDegree) {
    Actors[0].Heading = 30.7f;
    PlayerVelocity = 1.0;
    Drive({}, 1);
    EXPECT_NEAR(Actors[0].X, -std::sin(31 * M_PI / 180), 1e-5);
    EXPECT_NEAR(Actors[0].Z, -std::cos(31 * M_PI / 180), 1e-5);
}

TEST_F(PlayerTest, DownReversesAlongTheHeading) {
    Actors[0].Heading = 90;
    Drive({KeyDown}, 10);
    EXPECT_NEAR(PlayerVelocity, -0.20, 1e-9);
    // Heading 90 faces -X, so reversing moves towards +X.
    EXPECT_GT(Actors[0].X, 0.5f);
    EXPECT_NEAR(Actors[0].Z, 0.0f, 1e-5);
}

TEST_F(PlayerTest, TurningWithRightWinningOverLeft) {
    Drive({KeyLeft}, 3);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 3.0f);
    Drive({KeyRight}, 1);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 2.0f);
    Drive({KeyRight, KeyLeft}, 2);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 0.0f);
    EXPECT_FALSE(Keys[KeyLeft]);
    SpeedFactor = 2.5f;
    Drive({KeyLeft}, 1);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 2.5f);
}

TEST_F(PlayerTest, LivingTankOrTurretBlocksAndEndsTheFrame) {
    PlayerVelocity = 1.0;
    PlaceTank(7, 0.0f, -3.5f, 0.0f);
    Keys[KeyUp] = true;
    Keys[KeyRight] = true;
    Keys[KeySpace] = true;
    EXPECT_TRUE(ControlPlayerTank());
    EXPECT_FLOAT_EQ(Actors[0].Z, 0.0f);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 0.0f);
    EXPECT_TRUE(Keys[KeyRight]);
    EXPECT_FALSE(FireLatch);
    EXPECT_EQ(PlayerShotsFired(), 0);
    EXPECT_NEAR(PlayerVelocity, 0.98, 1e-9); // the throttle is kept

    // Once the throttle no longer pushes into the tank the controls work again.
    PlayerVelocity = 0.0;
    Keys[KeyUp] = false;
    EXPECT_FALSE(ControlPlayerTank());
    EXPECT_FLOAT_EQ(Actors[0].Heading, -1.0f);
    EXPECT_EQ(PlayerShotsFired(), 1);

    PlaceTurret(7, 2.0f, 0.0f, 0.0f);
    EXPECT_TRUE(ControlPlayerTank());
}

// Bonus items, dead actors and slots past the battle's last (150) never block; a turret in that
// last slot does.
TEST_F(PlayerTest, OnlyLiveTanksAndTurretsOfTheBattleSlotsBlock) {
    PlaceBonus(3, 0.0f, -1.0f, 1);
    PlaceTank(4, 0.5f, -1.0f, 0.0f).Energy = 0;
    PlaceTank(151, 0.0f, -1.0f, 0.0f);
    PlayerVelocity = 1.0;
    Keys[KeyUp] = true;
    EXPECT_FALSE(ControlPlayerTank());
    EXPECT_FLOAT_EQ(Actors[0].Z, -1.0f);
    PlaceTurret(150, 0.0f, -2.0f, 0.0f);
    EXPECT_TRUE(ControlPlayerTank());
    EXPECT_FLOAT_EQ(Actors[0].Z, -1.0f);
}

// Contact is measured along the axes: 1.6 across and 1.6 ahead is 3.2 away, though only 2.26
// in a straight line.
TEST_F(PlayerTest, ContactRangeIsTheSumOfTheAxisDistances) {
    PlaceTank(5, 1.6f, -1.6f, 0.0f);
    EXPECT_FALSE(ControlPlayerTank());
    PlaceTank(5, 1.4f, -1.5f, 0.0f);
    EXPECT_TRUE(ControlPlayerTank());
}

TEST_F(PlayerTest, OneShotPerPressAcrossBothFireKeys) {
    Actors[0].ReloadTime = 0.0; // reloading would hide the latch
    Actors[0].MaxShots = 10;
    Drive({KeySpace}, 5);
    EXPECT_EQ(PlayerShotsFired(), 1);
    Drive({KeySpace, KeyA}, 3);
    EXPECT_EQ(PlayerShotsFired(), 1);
    Drive({KeyA}, 2);
    EXPECT_EQ(PlayerShotsFired(), 1);
    Drive({}, 1);
    EXPECT_FALSE(FireLatch);
    Drive({KeyA}, 1);
    EXPECT_EQ(PlayerShotsFired(), 2);
}

TEST_F(PlayerTest, LatchIsTakenEvenWhenTheShotIsRefused) {
    Actors[0].ReloadTimer = 5.0;
    Drive({KeyA}, 1);
    EXPECT_TRUE(FireLatch);
    EXPECT_EQ(PlayerShotsFired(), 0);
    Actors[0].ReloadTimer = 0.0;
    Drive({KeyA}, 1);
    EXPECT_EQ(PlayerShotsFired(), 0);
}

TEST_F(PlayerTest, DestroyedPlayerDoesNothing) {
    Actors[0].Energy = 0;
    PlayerVelocity = 0.5;
    Keys[KeyUp] = true;
    Keys[KeyLeft] = true;
    Keys[KeySpace] = true;
    EXPECT_FALSE(ControlPlayerTank());
    EXPECT_EQ(PlayerVelocity, 0.5);
    EXPECT_FLOAT_EQ(Actors[0].Z, 0.0f);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 0.0f);
    EXPECT_EQ(PlayerShotsFired(), 0);
    EXPECT_TRUE(Keys[KeyLeft]);
}

} // namespace
