// Shots, hits and kills: firing limits, the shot pass, damage, score, messages and respawn.
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

#include "platform/Numbers.h"
#include "render/Particles.h"
#include "sound/Sound.h"
#include "support/BattleFixture.h"
#include "world/Actors.h"
#include "world/Shots.h"

namespace {

// A seed from which the next N draws of RandomReal satisfy Wanted(index, value).
template <typename Pred> uint32_t FindSeed(int N, Pred Wanted) {
    for (uint32_t Start = 1;; Start++) {
        RandomSeed = Start;
        int I = 0;
        while (I < N && Wanted(I, RandomReal()))
            I++;
        if (I == N) return Start;
    }
}

class ShotsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetBattleWorld(-450, 0, 0);
        ResetExplosions();
        ArenaRespawn = false;
        SoundEnabled = false;
        RandomSeed = 0;
    }
};

// --- Firing --------------------------------------------------------------------------------

TEST_F(ShotsTest, FiresEightUnitsAheadWithTheExactVelocity) {
    Actor_Rec& P = Actors[0];
    P.Heading = 90;
    FireShot(0);
    const Shot_Rec& S = Shots[0];
    EXPECT_FLOAT_EQ(S.X, -458.0f);
    EXPECT_FLOAT_EQ(S.Y, float(GroundY) - 2);
    EXPECT_NEAR(S.Z, 0.0f, 1e-5);
    EXPECT_FLOAT_EQ(S.VX, -3.0f); // (Speed 1 + 1) x ShotSpeed 1.5 towards -X
    EXPECT_NEAR(S.VZ, 0.0f, 1e-6);
    EXPECT_EQ(S.VY, 0.0f);
    EXPECT_EQ(S.Life, 1000);
    EXPECT_EQ(S.Power, 20);
    EXPECT_EQ(S.Owner, 0);
    EXPECT_TRUE(S.Bounces);
    EXPECT_GE(S.Spin, 0);
    EXPECT_LT(S.Spin, 360);
    EXPECT_EQ(P.ShotsInFlight, 1);
    EXPECT_EQ(P.ReloadTimer, 20.0);

    // The velocity uses the exact sine of a fractional heading, the start point the table.
    Actors[1] = Actors[0];
    Actors[1].ReloadTimer = 0;
    Actors[1].Heading = 30.7f;
    FireShot(1);
    EXPECT_NEAR(Shots[1].VX, std::sin(30.7 * std::numbers::pi / 180) * -3, 1e-5);
    EXPECT_NEAR(Shots[1].X, -450 - std::sin(30 * std::numbers::pi / 180) * 8, 1e-4);
}

// A frame of a whole second ages a shot from flight straight past the free mark (40 - 500): it
// is still released, or its owner would count it against MaxShots for ever.
TEST_F(ShotsTest, AShotAgedPastTheFreeMarkByALongFrameIsStillReleased) {
    FireShot(0);
    Shots[0].Life = 40;
    SpeedFactor = 50;
    UpdateShots();
    EXPECT_EQ(Shots[0].Life, ShotFreeLife);
    EXPECT_EQ(Actors[0].ShotsInFlight, 0);
}

TEST_F(ShotsTest, ReloadTimerAndAFullTableBlockFiring) {
    Actor_Rec& P = Actors[0];
    P.MaxShots = 5;
    P.ReloadTimer = 0.5;
    FireShot(0);
    EXPECT_EQ(P.ShotsInFlight, 0);

    P.ReloadTimer = 0;
    for (int K = 0; K < ShotFireSlots; K++)
        Shots[K].Life = 40;
    FireShot(0);
    EXPECT_EQ(P.ShotsInFlight, 0) << "slot 1000 is never used for firing";
    EXPECT_EQ(Shots[ShotFireSlots].Life, ShotFreeLife);

    Shots[637].Life = ShotFreeLife;
    FireShot(0);
    EXPECT_EQ(Shots[637].Life, 1000);
}

// --- Flight, range and walls ---------------------------------------------------------------

// A shot flies while its life falls by 10 a frame from 1000 to 32, explodes in place for 33
// frames, and only then frees its place: with MaxShots 2 a third shot waits until then, whatever
// the reload timer.
TEST_F(ShotsTest, FliesItsRangeExplodesInPlaceAndOnlyThenFreesItsPlace) {
    Actor_Rec& P = Actors[0];
    P.MaxShots = 2;
    FireShot(0);
    const float StartZ = Shots[0].Z;
    P.ReloadTimer = 0;
    FireShot(0);
    P.ReloadTimer = 0;
    FireShot(0);
    EXPECT_EQ(P.ShotsInFlight, 2);
    EXPECT_LE(Shots[2].Life, ShotFreeLife);
    int Frames = 0;
    while (Shots[0].Life > ShotExplodeLife) {
        UpdateShots();
        Frames++;
    }
    // The shot moves only while still above 32 after ageing: 96 moves of 3 units.
    EXPECT_EQ(Frames, 97);
    EXPECT_EQ(Shots[0].Life, 30);
    EXPECT_NEAR(Shots[0].Z, StartZ - 96 * 3, 1e-3);
    const float EndZ = Shots[0].Z;
    for (int Frame = 0; Frame < 30; Frame++)
        UpdateShots();
    EXPECT_EQ(Shots[0].Life, 0);
    EXPECT_FLOAT_EQ(Shots[0].Z, EndZ) << "an exploding shot does not move";
    FireShot(0);
    EXPECT_EQ(P.ShotsInFlight, 2) << "an exploding shot still counts";
    UpdateShots();
    EXPECT_EQ(Shots[0].Life, ShotFreeLife);
    EXPECT_EQ(P.ShotsInFlight, 0);
    FireShot(0);
    EXPECT_EQ(P.ShotsInFlight, 1);
    EXPECT_EQ(Shots[0].Life, 1000) << "the lowest free slot is reused";
}

// A shot crossing a corner meets both walls in the one move, in the order -X, +X, -Z, +Z: each
// plays the wall sound where the shot stands, turns it back and sprays green sparks. The
// player's shots bounce and fly on; enemy shots explode there.
TEST_F(ShotsTest, PlayerShotsBounceOffTheWallsOfACorner) {
    SoundEnabled = true;
    Shot_Rec& S = PlaceShot(0, 0, -498.5f, 498.5f);
    S.VX = -3;
    S.VZ = 3;
    UpdateShots();
    EXPECT_FLOAT_EQ(S.X, -500.0f);
    EXPECT_FLOAT_EQ(S.Z, 500.0f);
    EXPECT_FLOAT_EQ(S.VX, 3.0f);
    EXPECT_FLOAT_EQ(S.VZ, -3.0f);
    EXPECT_EQ(S.Life, 490) << "a bounce keeps the remaining range";
    EXPECT_FLOAT_EQ(SoundPosition[0], -500.0f) << "back on the X wall when it meets the Z wall";
    EXPECT_FLOAT_EQ(SoundPosition[2], 501.5f);
    EXPECT_EQ(LiveSparks(), 20); // Trunc(DetailLevel 3 x 10 / 3) at each wall
    EXPECT_FLOAT_EQ(Sparks[1].ColorG, 0.9f);
    EXPECT_EQ(Sparks[1].ColorR, 0.0f);
    EXPECT_FLOAT_EQ(Sparks[1].X, -500.0f);
    UpdateShots();
    EXPECT_FLOAT_EQ(S.X, -497.0f) << "and flies on";
    EXPECT_FLOAT_EQ(S.Z, 497.0f);
}

TEST_F(ShotsTest, EnemyShotsExplodeAtTheWallsOfACorner) {
    DetailLevel = 1;
    PlaceTank(1, 0, 400, 0);
    Shot_Rec& S = PlaceShot(0, 1, 499, -499);
    S.VX = 3.6f;
    S.VZ = -3.6f;
    UpdateShots();
    EXPECT_FLOAT_EQ(S.X, 500.0f);
    EXPECT_FLOAT_EQ(S.Z, -500.0f);
    EXPECT_FLOAT_EQ(S.VX, -3.6f);
    EXPECT_FLOAT_EQ(S.VZ, 3.6f);
    EXPECT_EQ(S.Life, ShotExplodeLife);
    EXPECT_EQ(LiveSparks(), 6); // Trunc(1 x 10 / 3) at each wall
    UpdateShots();
    EXPECT_FLOAT_EQ(S.X, 500.0f);
    EXPECT_FLOAT_EQ(S.Z, -500.0f);
    EXPECT_EQ(S.Life, 31);
}

// --- Hits ----------------------------------------------------------------------------------

TEST_F(ShotsTest, PlayerShotOnATankDealsPowerOrOneLessAndScoresIt) {
    std::vector<int> Seen;
    for (uint32_t Seed : {FindSeed(1, [](int, double V) { return V < 0.5; }),
                          FindSeed(1, [](int, double V) { return V >= 0.5; })}) {
        ResetBattleWorld(-450, 0, 0);
        PlaceTank(1, 100, 100, 0);
        PlaceShot(0, 0, 102, 101);
        RandomSeed = Seed;
        UpdateShots();
        const int Damage = 100 - Actors[1].Energy;
        Seen.push_back(Damage);
        EXPECT_EQ(Score, Damage);
        EXPECT_EQ(Shots[0].Life, ShotExplodeLife) << "a hit holds the explosion for this frame";
        EXPECT_FLOAT_EQ(Shots[0].ColorB, 0.9f) << "the shot takes the victim's colour";
    }
    EXPECT_EQ(Seen, (std::vector<int>{20, 19}));
}

// A long frame moves a shot far past a target; the flight is tested in pieces, so what is hit at
// 50 frames per second is hit at 12 and 6 as well, at the same place.
TEST_F(ShotsTest, LongFramesHitWhatShortFramesHit) {
    for (const float Factor : {1.0f, 2.0f, 4.0f, 8.0f}) {
        ResetBattleWorld(-450, 0, 0);
        SpeedFactor = Factor;
        PlaceTurret(2, -450, -62, 0);
        FireShot(0);
        for (int Frame = 0; Frame < 60 && Shots[0].Life > ShotExplodeLife; Frame++)
            UpdateShots();
        EXPECT_LT(Actors[2].Energy, 300) << "SpeedFactor " << Factor;
        EXPECT_LT(std::fabs(Shots[0].Z + 62), 5.0f) << "explodes at the turret, " << Factor;

        // Two tanks on the path: the nearer one is hit, whatever its slot.
        ResetBattleWorld(-450, 0, 0);
        SpeedFactor = Factor;
        PlaceTank(3, -451, -41, 0);
        PlaceTank(5, -449, -27, 0);
        FireShot(0);
        for (int Frame = 0; Frame < 60 && Shots[0].Life > ShotExplodeLife; Frame++)
            UpdateShots();
        EXPECT_EQ(Actors[3].Energy, 100) << "SpeedFactor " << Factor;
        EXPECT_LT(Actors[5].Energy, 100) << "SpeedFactor " << Factor;
    }
}

// An enemy fires and then takes its step before the shot is first tested; above about 3 units
// of SpeedFactor that step reaches its own shot.
TEST_F(ShotsTest, ATankNeverWalksIntoItsOwnNewShot) {
    for (const float Factor : {1.0f, 4.0f, 6.0f}) {
        ResetBattleWorld(-450, 0, 0);
        ResetExplosions();
        SpeedFactor = Factor;
        // Heading 179.5 faces +Z, towards the player 100 units away: in its line of fire.
        Actor_Rec& Tank = PlaceTank(1, -449, -100, 179.5f);
        ASSERT_TRUE(InLineOfFire(1, 0));
        for (int Frame = 0; Frame < 40 / Factor; Frame++) {
            EnemyThink(1);
            UpdateShots();
        }
        EXPECT_EQ(Tank.Energy, 100) << "SpeedFactor " << Factor;
        EXPECT_LT(Actors[0].Energy, 100) << "its first shot reaches the player, " << Factor;
    }
}

TEST_F(ShotsTest, OwnShotComingBackFromTheWallHitsItsOwner) {
    ResetBattleWorld(-490, 0, 90); // facing the west wall, 10 units away
    FireShot(0);
    int Frames = 0;
    while (Actors[0].Energy == 100 && Frames < 20) {
        UpdateShots();
        Frames++;
    }
    EXPECT_LT(Actors[0].Energy, 100);
    EXPECT_EQ(Frames, 4) << "out to the wall and back within reach";
    EXPECT_TRUE(NewestLogLineIs("Hit by PLAYER", 1, 0, 0));
}

TEST_F(ShotsTest, ContactNeedsManhattanDistanceBelowFive) {
    PlaceTank(1, 100, 100, 0);
    PlaceShot(0, 0, 103, 102); // distance 5: no contact
    PlaceShot(1, 0, 200, 100);
    PlaceTank(2, 202.5f, 97.6f, 0); // distance 4.9: contact
    UpdateShots();
    EXPECT_EQ(Actors[1].Energy, 100);
    EXPECT_LT(Actors[2].Energy, 100);
}

TEST_F(ShotsTest, BlowLargerThanTheRemainderDealsFiveTimesIt) {
    PlaceBonus(1, 50, 50, 3);
    Actors[0].ShotPower = 10;
    PlaceShot(0, 0, 50, 50);
    UpdateShots();
    EXPECT_EQ(Score, 5);
    EXPECT_EQ(Actors[1].Energy, 0);
    EXPECT_FLOAT_EQ(Explosions[1].Size, 0.4f);
    EXPECT_FLOAT_EQ(Explosions[1].X, 50.0f);
    EXPECT_EQ(Explosions[1].Life, 1.0f);
}

TEST_F(ShotsTest, HitToExactlyZeroDestroysWithExplosionAndKillMessage) {
    Actor_Rec& T = PlaceTank(3, 10, 10, 123);
    T.Energy = 10;
    Actors[0].ShotPower = 10;
    PlaceShot(0, 0, 10, 10);
    RandomSeed = FindSeed(2, [](int I, double V) { return I == 0 ? V < 0.5 : V < 1.0 / 3; });
    UpdateShots();
    EXPECT_EQ(T.Energy, 0);
    EXPECT_EQ(Score, 10) << "not the five-times rule: nothing below zero";
    EXPECT_FLOAT_EQ(Explosions[1].Size, 2.0f);
    EXPECT_FLOAT_EQ(T.DeathHeading, 123.0f);
    EXPECT_TRUE(NewestLogLineIs("Enemy tank 3 destroyed by PLAYER", 1.0, 0, 0));
    EXPECT_EQ(CurrentMessage, "Enemy tank 3 destroyed by PLAYER");
}

// The kill message follows the third draw of the hit (r = Trunc(RandomReal x 3)): an enemy's
// shot on a turret names both actors, the player's own shot come back names only the player.
// With respawn on the turret is back at once; the player never comes back, and its death moves
// the camera out of the cockpit. Either blow deals five times the 3 energy left.
TEST_F(ShotsTest, KillMessagesByTheThirdDrawAndOnlyEnemiesRespawn) {
    const char* Expected[6] = {
        "Turret 4 destroyed by Enemy tank 2",   "Turret 4 felt Enemy tank 2's wrath!",
        "Turret 4 was killed by Enemy tank 2",  "PLAYER commited suicide!",
        "PLAYER decided that life was boring!", "PLAYER destroyed himself!"};
    for (int K = 0; K < 6; K++) {
        SCOPED_TRACE(Expected[K]);
        ResetBattleWorld(-450, 0, 0);
        ResetExplosions();
        ArenaRespawn = true;
        CameraMode = 1;
        PlaceTank(2, -300, -300, 0);
        const int  Victim = K < 3 ? 4 : 0;
        Actor_Rec& V = Victim ? PlaceTurret(Victim, 0, 0, 0) : Actors[0];
        V.Energy = 3;
        V.Heading = 77;
        PlaceShot(0, Victim ? 2 : 0, V.X, V.Z);
        RandomSeed = FindSeed(2, [K](int I, double R) { return I == 0 || Trunc(R * 3) == K % 3; });
        UpdateShots();
        EXPECT_EQ(CurrentMessage, Expected[K]);
        EXPECT_FLOAT_EQ(V.DeathHeading, 77.0f);
        EXPECT_FLOAT_EQ(Explosions[1].Size, Victim ? 1.5f : 3.0f);
        EXPECT_EQ(Score, Victim ? 0 : -15) << "hits between enemies leave the score alone";
        EXPECT_EQ(V.Energy, Victim ? 300 : 0);
        EXPECT_EQ(Actors[0].X, -450.0f);
        EXPECT_EQ(CameraMode, Victim ? 1 : 2);
    }
}

TEST_F(ShotsTest, OnlyTheLowerSlotIsDamagedAndFurtherOverlapsShortenTheExplosion) {
    PlaceTank(3, 60, 60, 0);
    PlaceTank(5, 61, 60, 0);
    PlaceTank(7, 60, 61, 0);
    PlaceShot(0, 0, 60, 60);
    UpdateShots();
    EXPECT_LT(Actors[3].Energy, 100);
    EXPECT_EQ(Actors[5].Energy, 100);
    EXPECT_EQ(Actors[7].Energy, 100);
    EXPECT_EQ(Shots[0].Life, 30) << "32 from the hit, then one less for each further overlap";
    UpdateShots();
    EXPECT_EQ(Shots[0].Life, 27) << "an exploding shot in contact loses one per actor touched";
    EXPECT_EQ(Actors[5].Energy, 100);
}

TEST_F(ShotsTest, PlayerHitIsLoggedAndTheAlarmCrossesTwentyFiveOnce) {
    SoundEnabled = true;
    Actor_Rec& P = Actors[0];
    P.Energy = 30;
    PlaceTank(1, 0, -300, 0);
    PlaceShot(0, 1, P.X, P.Z);
    UpdateShots();
    EXPECT_LT(P.Energy, 25);
    EXPECT_EQ(Score, -(30 - P.Energy));
    EXPECT_FALSE(RadarWorking);
    EXPECT_TRUE(NewestLogLineIs("Hit by Enemy tank 1", 1.0, 0, 0));
    EXPECT_FLOAT_EQ(SoundPosition[0], P.X);

    RadarWorking = true; // as an energy bonus would
    Shots[0] = Shot_Rec{};
    Shots[0].Life = ShotFreeLife;
    PlaceShot(1, 1, P.X, P.Z);
    UpdateShots();
    EXPECT_LT(P.Energy, 15);
    EXPECT_TRUE(RadarWorking) << "from 20 to 10 the alarm stays silent";
}

TEST_F(ShotsTest, RespawnedTurretComesBackElsewhereWithItsOldShotsStillCounted) {
    ArenaRespawn = true;
    Actor_Rec& T = PlaceTurret(2, 40, 40, 0);
    T.Energy = 8;
    for (int K = 10; K < 15; K++)
        PlaceShot(K, 2, -300, -300 + K * 20.0f);
    EXPECT_EQ(T.ShotsInFlight, 5);
    PlaceShot(0, 0, 40, 40);
    UpdateShots();
    EXPECT_EQ(T.Energy, 300);
    EXPECT_FALSE(T.X == 40 && T.Z == 40);
    EXPECT_GE(T.X, -500);
    EXPECT_LE(T.X, 250);
    EXPECT_GE(T.Z, -500);
    EXPECT_LE(T.Z, 250);
    EXPECT_EQ(T.ShotsInFlight, 5);
    T.ReloadTimer = 0;
    FireShot(2);
    EXPECT_EQ(T.ShotsInFlight, 5) << "its old shots still hold all five places";
}

TEST_F(ShotsTest, HitSparksScaleWithDetail) {
    const int Expected[4] = {0, 1, 3, 5};
    for (int Detail = 1; Detail <= 3; Detail++) {
        ResetBattleWorld(-450, 0, 0);
        DetailLevel = Detail;
        PlaceTank(1, 0, 0, 0);
        Shot_Rec& S = PlaceShot(0, 0, 0, 0);
        ApplyHit(0, 1);
        EXPECT_EQ(LiveSparks(), Expected[Detail]);
        EXPECT_FLOAT_EQ(Sparks[1].ColorG, 0.6f) << "in the victim's colour";
        EXPECT_EQ(S.Life, ShotExplodeLife);
    }
}

} // namespace
