// The whole-degree tables, the movement steps, the distances and the aim test.
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

#include "shell/App.h"
#include "world/World.h"

namespace {

class WorldHelpers : public ::testing::Test {
  protected:
    void SetUp() override {
        FillTrigTables();
        for (int I = 0; I < 3; ++I)
            Actors[I] = Actor_Rec{};
        SpeedFactor = 1.0f;
    }
    // Shooter in slot 1 at the origin facing Heading; a live target in slot 2 at (X, Z).
    void Place(float Heading, float X, float Z, int32_t Energy = 100) {
        Actors[1].Heading = Heading;
        Actors[2].X = X;
        Actors[2].Z = Z;
        Actors[2].Energy = Energy;
    }
    // Target Distance units away in the direction heading Degrees faces.
    void PlaceAhead(float Heading, double Degrees, double Distance) {
        const double R = Degrees * M_PI / 180;
        Place(Heading, float(-std::sin(R) * Distance), float(-std::cos(R) * Distance));
    }
};

TEST_F(WorldHelpers, TablesHoldWholeDegreeSinesAndCosines) {
    for (int D : {-360, 0, 360}) {
        EXPECT_NEAR(SinTableAt(D), 0.0, 1e-15) << D;
        EXPECT_DOUBLE_EQ(CosTableAt(D), 1.0) << D;
    }
    EXPECT_DOUBLE_EQ(CosTableAt(180), -1.0);
    EXPECT_DOUBLE_EQ(SinTableAt(90), 1.0);
    EXPECT_DOUBLE_EQ(SinTableAt(-90), -1.0);
    EXPECT_NEAR(SinTableAt(30), 0.5, 1e-15);
    EXPECT_NEAR(CosTableAt(-60), 0.5, 1e-15);
    EXPECT_EQ(SinTable[0], SinTableAt(-360)); // index d + 360
    EXPECT_EQ(CosTable[TrigEntries - 1], CosTableAt(360));
    for (int D = -360; D <= 360; ++D)
        ASSERT_NEAR(SinTableAt(D), std::sin(D * M_PI / 180), 1e-15) << D;
}

TEST_F(WorldHelpers, DegreesOutsideTheTablesWrapByWholeTurns) {
    EXPECT_EQ(WrapDegreeIndex(360), 360);
    EXPECT_EQ(WrapDegreeIndex(-360), -360);
    EXPECT_EQ(WrapDegreeIndex(361), 1);
    EXPECT_EQ(WrapDegreeIndex(-725), -5);
    EXPECT_EQ(WrapDegreeIndex(720), 0);
    EXPECT_DOUBLE_EQ(SinTableAt(370), SinTableAt(10));
    EXPECT_DOUBLE_EQ(CosTableAt(-450), CosTableAt(-90));
    const int64_t Far = INT64_MAX;
    EXPECT_DOUBLE_EQ(SinTableAt(Far), SinTableAt(Far % 360));
    EXPECT_DOUBLE_EQ(CosTableAt(INT64_MIN), CosTableAt(INT64_MIN % 360));
}

// Heading 0 steps along -Z and heading 90 along -X; the step is Speed x SpeedFactor x throttle
// long, and a backward step or a negative throttle goes the other way.
TEST_F(WorldHelpers, StepsFollowTheHeadingScaledBySpeedFactorAndThrottle) {
    Actor_Rec& A = Actors[1];
    A.Speed = 1;
    MoveActorForward(1, 0, 1.0);
    EXPECT_FLOAT_EQ(A.X, 0);
    EXPECT_FLOAT_EQ(A.Z, -1);
    MoveActorForward(1, 90, 1.0);
    EXPECT_FLOAT_EQ(A.X, -1);
    EXPECT_NEAR(A.Z, -1, 1e-7);

    A.X = A.Z = 0;
    A.Speed = 3;
    SpeedFactor = 2.0f;
    MoveActorForward(1, 180, 0.5); // heading 180 faces +Z
    EXPECT_NEAR(A.Z, 3.0, 1e-6);
    MoveActorForward(1, 180, -0.5);
    EXPECT_NEAR(A.Z, 0.0, 1e-6);
    MoveActorBackward(1, 90, 1.0);
    EXPECT_NEAR(A.X, 6.0, 1e-6);
    MoveActorBackward(1, 450, 1.0); // a heading of 450 steps as 90
    EXPECT_NEAR(A.X, 12.0, 1e-6);
}

TEST_F(WorldHelpers, Distances) {
    EXPECT_DOUBLE_EQ(ManhattanDistance(0, 0, 3, -4), 7.0);
    EXPECT_DOUBLE_EQ(Distance2D(0, 0, 3, -4), 5.0);
    EXPECT_DOUBLE_EQ(ManhattanDistance(3, -4, 0, 0), 7.0);
    EXPECT_DOUBLE_EQ(Distance2D(1, 1, 1, 1), 0.0);
}

TEST_F(WorldHelpers, TargetStraightAheadInEachQuadrantIsInLineOfFire) {
    for (float Heading : {45.0f, 135.0f, 225.0f, 315.0f, 10.0f, 359.0f}) {
        PlaceAhead(Heading, Heading, 300);
        EXPECT_TRUE(InLineOfFire(1, 2)) << Heading;
        PlaceAhead(Heading, Heading + 180, 300); // the same line, behind the shooter
        EXPECT_FALSE(InLineOfFire(1, 2)) << Heading << " behind";
    }
}

TEST_F(WorldHelpers, AimIsQuantisedByDistance) {
    // At distance 100 the precision is 55: 46 degrees still matches an aim of 45, 50 does not.
    PlaceAhead(45, 46, 100);
    EXPECT_TRUE(InLineOfFire(1, 2));
    PlaceAhead(45, 50, 100);
    EXPECT_FALSE(InLineOfFire(1, 2));
    // At 101 units the precision is 55 (50.5 + 500, over ten): aimed at 60, a target at 60.65
    // gives 26.96 against 27.5, no match (at a precision of 45 both would be 22).
    PlaceAhead(60, 60.65, 101);
    EXPECT_FALSE(InLineOfFire(1, 2));
    // Beyond 1000 units the precision is 100, so the same 1-degree miss no longer matches.
    PlaceAhead(45, 46, 2000);
    EXPECT_FALSE(InLineOfFire(1, 2));
    PlaceAhead(45, 45.2, 2000);
    EXPECT_TRUE(InLineOfFire(1, 2));
}

TEST_F(WorldHelpers, LineOfFireNeedsALiveTargetAndADistance) {
    PlaceAhead(45, 45, 300);
    Actors[2].Energy = 0;
    EXPECT_FALSE(InLineOfFire(1, 2));
    Actors[2].Energy = -5;
    EXPECT_FALSE(InLineOfFire(1, 2));
    Place(45, 0, 0); // same X and Z as the shooter
    EXPECT_FALSE(InLineOfFire(1, 2));
}

TEST_F(WorldHelpers, QuadrantBoundaryHeadingsNeverFire) {
    for (float Heading : {0.0f, 90.0f, 180.0f, 270.0f, 360.0f}) {
        PlaceAhead(Heading, Heading, 300);
        EXPECT_FALSE(InLineOfFire(1, 2)) << Heading;
    }
    // Straight ahead at 90 and 270 but half a unit to either side: the cosine test passes, and
    // only the strict bounds keep the neighbouring quadrants from accepting the target.
    for (float Side : {-0.5f, 0.5f}) {
        Place(90, -300, Side);
        EXPECT_FALSE(InLineOfFire(1, 2)) << "90, side " << Side;
        Place(270, 300, Side);
        EXPECT_FALSE(InLineOfFire(1, 2)) << "270, side " << Side;
        Place(89.9f, -300, Side); // just inside a quadrant the same target is accepted or not
        EXPECT_EQ(InLineOfFire(1, 2), Side < 0) << "89.9, side " << Side;
    }
}

} // namespace
