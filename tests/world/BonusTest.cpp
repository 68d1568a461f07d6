// Bonus items: the pickup distance and the nine upgrades.
#include <gtest/gtest.h>

#include "support/BattleFixture.h"
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

TEST_F(BonusTest, ReloadTimeFallsByOneDownToAFloorOfOne) {
    for (int k = 0; k < 7; ++k)
        ApplyBonus(7);
    EXPECT_DOUBLE_EQ(Actors[0].ReloadTime, 13.0);
    Actors[0].ReloadTime = 1.5;
    ApplyBonus(7);
    EXPECT_DOUBLE_EQ(Actors[0].ReloadTime, 1.0);
    ApplyBonus(7);
    EXPECT_DOUBLE_EQ(Actors[0].ReloadTime, 1.0);
}

// Each upgrade changes exactly its own fields of the player by its amount, with no upper limit
// (the energy rows start from 1000), and names itself in yellow in the log. The energy rows
// also bring the radar back.
TEST_F(BonusTest, EachUpgradeChangesOnlyItsOwnFields) {
    struct Expect {
        const char* Message;
        int         MaxShots, Energy, ShotRange, ShotPower;
        float       Speed, TurnSpeed;
        double      ReloadTime, Acceleration;
    };
    const Expect Rows[BonusTypeCount] = {
        {"Maximum shots increased", 1, 0, 0, 0, 0, 0, 0, 0},
        {"Energy +25", 0, 25, 0, 0, 0, 0, 0, 0},
        {"Energy +50", 0, 50, 0, 0, 0, 0, 0, 0},
        {"Shot range increased", 0, 0, 100, 0, 0, 0, 0, 0},
        {"Speed increased", 0, 0, 0, 0, 0.2f, 0, 0, 0},
        {"Shot power increased", 0, 0, 0, 5, 0, 0, 0, 0},
        {"Reload time decreased", 0, 0, 0, 0, 0, 0, -1.0, 0},
        {"Turn speed increased", 0, 0, 0, 0, 0, 0.5f, 0, 0},
        {"Acceleration increased", 0, 0, 0, 0, 0, 0, 0, 0.01},
    };
    Actors[0].Energy = 1000;
    const Actor_Rec Start = Actors[0];
    for (int Type = 1; Type <= BonusTypeCount; ++Type) {
        const Expect& E = Rows[Type - 1];
        SCOPED_TRACE(E.Message);
        Actors[0] = Start;
        RadarWorking = false;
        ApplyBonus(Type);
        const Actor_Rec& P = Actors[0];
        EXPECT_TRUE(NewestLogLineIs(E.Message, 1.0, 1.0, 0.0));
        EXPECT_EQ(CurrentMessage, E.Message);
        EXPECT_EQ(RadarWorking, E.Energy > 0);
        EXPECT_EQ(P.MaxShots, Start.MaxShots + E.MaxShots);
        EXPECT_EQ(P.Energy, Start.Energy + E.Energy);
        EXPECT_EQ(P.ShotRange, Start.ShotRange + E.ShotRange);
        EXPECT_EQ(P.ShotPower, Start.ShotPower + E.ShotPower);
        EXPECT_FLOAT_EQ(P.Speed, Start.Speed + E.Speed);
        EXPECT_FLOAT_EQ(P.TurnSpeed, Start.TurnSpeed + E.TurnSpeed);
        EXPECT_DOUBLE_EQ(P.ReloadTime, Start.ReloadTime + E.ReloadTime);
        EXPECT_DOUBLE_EQ(P.Acceleration, Start.Acceleration + E.Acceleration);
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
