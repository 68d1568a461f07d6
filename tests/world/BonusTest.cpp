// Bonus items: the pickup distance and the nine upgrades.
#include <filesystem>
#include <gtest/gtest.h>

#include "sound/Sound.h"
#include "support/BattleFixture.h"
#include "support/SoundChild.h"
#include "support/TempFolder.h"
#include "world/Bonus.h"

namespace {

class BonusTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetBattleWorld(); }
};

TEST_F(BonusTest, PickupUsesTheStraightLineDistanceBelowThree) {
    PlaceBonus(1, 2.9f, 0.0f, 1);
    PlaceBonus(2, 0.0f, 3.0f, 1);
    // Manhattan 4.0 but straight-line 2.83: collected.
    PlaceBonus(3, -2.0f, -2.0f, 1);
    BonusPickup(1);
    BonusPickup(2);
    BonusPickup(3);
    EXPECT_EQ(Actors[1].Energy, 0);
    EXPECT_EQ(Actors[2].Energy, 1);
    EXPECT_EQ(Actors[3].Energy, 0);
    EXPECT_EQ(Actors[0].MaxShots, 4);
}

TEST_F(BonusTest, EnergyBonusRepairsTheRadar) {
    Actors[0].Energy = 10;
    RadarWorking = false;
    PlaceBonus(1, 1.0f, 1.0f, 2);
    BonusPickup(1);
    EXPECT_EQ(Actors[0].Energy, 35);
    EXPECT_TRUE(RadarWorking);
    EXPECT_TRUE(NewestLogLineIs("Energy +25", 1.0, 1.0, 0.0));
    EXPECT_EQ(CurrentMessage, "Energy +25");

    RadarWorking = false;
    PlaceBonus(2, 0.0f, 0.0f, 3);
    BonusPickup(2);
    EXPECT_EQ(Actors[0].Energy, 85);
    EXPECT_TRUE(RadarWorking);
}

TEST_F(BonusTest, PickupChimesAtTheItemAndLeavesTheHeartbeatLooping) {
    const std::string HeartFile = std::string(TARVIX_DATA_DIR) + "/sound/fx/heart.mp3";
    if (!std::filesystem::exists(HeartFile)) GTEST_SKIP() << "the generated sounds are not there yet";
    clsTempFolder Temp;
    InChild(Temp.Path, "[general]\ndrivers = null\n", [&] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        const SoundSample Heart = SoundSampleLoad(HeartFile, SoundMode2D);
        ASSERT_NE(Heart, 0);
        SoundSampleSetMode(Heart, SoundLoopNormal);
        const int32_t HeartChannel = SoundPlaySound(SoundFreeChannel, Heart);
        ASSERT_GE(HeartChannel, 0);
        SoundEnabled = true;
        Actors[0].Energy = 10;
        PlaceBonus(4, 1.5f, -2.0f, 2);
        BonusPickup(4);
        EXPECT_EQ(Actors[0].Energy, 35);
        EXPECT_FLOAT_EQ(SoundPosition[0], 1.5f);
        EXPECT_FLOAT_EQ(SoundPosition[1], float(GroundY));
        EXPECT_FLOAT_EQ(SoundPosition[2], -2.0f);
        EXPECT_TRUE(SoundChannelPlaying(HeartChannel));
        SoundClose();
    });
}

TEST_F(BonusTest, EnergyHasNoUpperLimit) {
    Actors[0].Energy = 1000;
    ApplyBonus(3);
    ApplyBonus(3);
    EXPECT_EQ(Actors[0].Energy, 1100);
}

TEST_F(BonusTest, ReloadTimeFallsByOneDownToAFloorOfOne) {
    for (int k = 0; k < 7; ++k)
        ApplyBonus(7);
    EXPECT_DOUBLE_EQ(Actors[0].ReloadTime, 13.0);
    Actors[0].ReloadTime = 1.5;
    ApplyBonus(7);
    EXPECT_DOUBLE_EQ(Actors[0].ReloadTime, 1.0);
    ApplyBonus(7);
    EXPECT_DOUBLE_EQ(Actors[0].ReloadTime, 1.0);
    EXPECT_TRUE(NewestLogLineIs("Reload time decreased", 1.0, 1.0, 0.0));
}

// Each upgrade changes exactly its one field of the player by its amount and names it.
TEST_F(BonusTest, EachUpgradeChangesOnlyItsOwnField) {
    struct Expect {
        const char* Message;
        int         MaxShots, ShotRange, ShotPower;
        float       Speed, TurnSpeed;
        double      ReloadTime, Acceleration;
    };
    const Actor_Rec Start = Actors[0];
    const Expect    Rows[7] = {
           {"Maximum shots increased", 1, 0, 0, 0, 0, 0, 0},
           {"Shot range increased", 0, 100, 0, 0, 0, 0, 0},
           {"Speed increased", 0, 0, 0, 0.2f, 0, 0, 0},
           {"Shot power increased", 0, 0, 5, 0, 0, 0, 0},
           {"Reload time decreased", 0, 0, 0, 0, 0, -1.0, 0},
           {"Turn speed increased", 0, 0, 0, 0, 0.5f, 0, 0},
           {"Acceleration increased", 0, 0, 0, 0, 0, 0, 0.01},
    };
    const int Types[7] = {1, 4, 5, 6, 7, 8, 9};
    for (int k = 0; k < 7; ++k) {
        Actors[0] = Start;
        ApplyBonus(Types[k]);
        const Actor_Rec& P = Actors[0];
        const Expect&    E = Rows[k];
        SCOPED_TRACE(E.Message);
        EXPECT_STREQ(BonusUpgrades[Types[k]].Message, E.Message);
        EXPECT_TRUE(NewestLogLineIs(E.Message, 1.0, 1.0, 0.0));
        EXPECT_EQ(P.MaxShots, Start.MaxShots + E.MaxShots);
        EXPECT_EQ(P.ShotRange, Start.ShotRange + E.ShotRange);
        EXPECT_EQ(P.ShotPower, Start.ShotPower + E.ShotPower);
        EXPECT_FLOAT_EQ(P.Speed, Start.Speed + E.Speed);
        EXPECT_FLOAT_EQ(P.TurnSpeed, Start.TurnSpeed + E.TurnSpeed);
        EXPECT_DOUBLE_EQ(P.ReloadTime, Start.ReloadTime + E.ReloadTime);
        EXPECT_DOUBLE_EQ(P.Acceleration, Start.Acceleration + E.Acceleration);
        EXPECT_EQ(P.Energy, Start.Energy);
    }
}

TEST_F(BonusTest, UnknownTypeChangesNothing) {
    const std::string Before = EventLog[LogLines - 1].Text;
    ApplyBonus(0);
    ApplyBonus(10);
    EXPECT_EQ(EventLog[LogLines - 1].Text, Before);
    EXPECT_EQ(Actors[0].MaxShots, 2);
}

} // namespace
