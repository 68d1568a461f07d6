// Drawing the actors: the walking tanks step through their cycles by the distance they move,
// stand in the rest pose, and keep the still models when the walk is switched off.
#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "menu/Menu.h"
#include "menu/Settings.h"
#include "render/ActorDraw.h"
#include "render/Scene.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "support/BattleFixture.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"
#include "world/Setup.h"
#include "world/World.h"
#include "shell/GameEntry.h"

namespace {

using Image = std::vector<uint8_t>;

size_t PixelsDiffering(const Image& A, const Image& B) {
    size_t Count = 0;
    for (size_t I = 0; I + 3 < A.size() && I + 3 < B.size(); I += 4)
        Count += A[I] != B[I] || A[I + 1] != B[I + 1] || A[I + 2] != B[I + 2];
    return Count;
}

// Far more pixels than an edge that rounds differently: a leg or a turret in another place.
constexpr size_t PoseChange = 40;

// Walking tanks seen from the side, one actor at a time on a black background, with the lists of
// a real game setup made from the generated models.
class WalkingTanks : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL(Ctx);
        ASSERT_TRUE(Temp.Ready());
        REQUIRE_GAME_MODELS();
        Temp.LinkGameData(TARVIX_DATA_DIR);
        AnimatedModels = true;
        RunGameSetup();
        for (int Slot : {0, 1}) {
            Actors[Slot].Width = 2.0;
            Actors[Slot].Length = 2.5;
            Actors[Slot].Height = 2.0;
            Actors[Slot].ColorR = Actors[Slot].ColorG = Actors[Slot].ColorB = 1.0;
            Actors[Slot].Y = float(GroundY);
            Actors[Slot].Heading = 90; // walks towards -X, its side to the camera
        }
        Actors[1].Kind = KindTank;
    }
    void TearDown() override { AnimatedModels = true; }

    // A first start with a new battle, as the program makes it.
    static void RunGameSetup() {
        ArenaFromFile = false;
        ArenaTanks = 1;
        ArenaTurrets = ArenaBonus = 0;
        RunFirstStart(128, 128);
    }

    // A black picture with a depth buffer, seen through a 45-degree lens from the origin.
    static void ClearView() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 1, 0.5, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // The actor in slot Slot drawn at X (whole units, so the camera's and the actor's
    // translations cancel exactly) as the actor pass draws it.
    Image DrawAt(int Slot, float X, bool Near = true) {
        Actors[Slot].X = X;
        Actors[Slot].Z = 0;
        ClearView();
        glTranslatef(0, 0, -7);
        glTranslatef(-X, -Actors[Slot].Y, 0);
        BeginActorDrawing(Actors[Slot]);
        if (Slot == 0)
            DrawPlayerTankModel(0, 0.0);
        else
            DrawEnemyTankModel(Slot, Near);
        EndActorDrawing();
        glFinish();
        return Ctx.ReadPixels();
    }

    clsTestGLContext Ctx{128, 128};
    clsTempFolder    Temp;
};

TEST_F(WalkingTanks, PlayerStepsWithTheDistanceMovedAndStandsInTheRestPose) {
    const Image Rest = DrawAt(0, 0);
    ASSERT_GT(PixelsDiffering(Rest, Image(Rest.size(), 0)), 500u) << "the tank is in view";
    EXPECT_EQ(PixelsDiffering(DrawAt(0, 0), Rest), 0u) << "standing, it does not step";
    const Image Quarter = DrawAt(0, -4); // a quarter of a stride forwards
    const Image Half = DrawAt(0, -8);
    EXPECT_GT(PixelsDiffering(Quarter, Rest), PoseChange);
    EXPECT_GT(PixelsDiffering(Half, Quarter), PoseChange);
    EXPECT_EQ(PixelsDiffering(DrawAt(0, -8), Rest), 0u) << "stopped mid-stride, it stands at rest";
}

TEST_F(WalkingTanks, ReversingStepsTheCycleBackwards) {
    DrawAt(0, 100);
    const Image ThreeQuarters = DrawAt(0, 100 - 12); // forwards three quarters of a stride
    ResetWalkTracks();
    DrawAt(0, 100);
    const Image BackQuarter = DrawAt(0, 100 + 4); // backwards a quarter
    EXPECT_EQ(PixelsDiffering(BackQuarter, ThreeQuarters), 0u);
    ResetWalkTracks();
    DrawAt(0, 100);
    EXPECT_GT(PixelsDiffering(DrawAt(0, 100 - 4), BackQuarter), PoseChange);
}

TEST_F(WalkingTanks, NearEnemyTankDrivesThroughItsCycleTheFarOneStaysStill) {
    // Its cycle drives as built for the first half: half a stride on, the turret has turned.
    const float Half = -float(DriveStride / 2);
    const Image Rest = DrawAt(1, 0);
    EXPECT_EQ(PixelsDiffering(DrawAt(1, Half / 4), Rest), 0u);
    EXPECT_GT(PixelsDiffering(DrawAt(1, Half), Rest), PoseChange);
    ResetWalkTracks();
    const Image FarRest = DrawAt(1, 0, false);
    EXPECT_EQ(PixelsDiffering(DrawAt(1, Half, false), FarRest), 0u);
}

TEST_F(WalkingTanks, SwitchedOffTheTanksKeepTheirStillModels) {
    AnimatedModels = false;
    RunGameSetup();
    for (uint32_t List : HeroWalkLists)
        EXPECT_EQ(List, 0u) << "no walk is recorded";
    const Image Still = DrawAt(0, 0);
    EXPECT_EQ(PixelsDiffering(DrawAt(0, -4), Still), 0u);
    EXPECT_EQ(PixelsDiffering(DrawAt(0, -8), Still), 0u);
}

// The actor pass's transform on the real player model, against the same model placed by hand:
// moved to the actor, turned by Heading - 180 about Y, in the actor's colour, scaled by
// (Width x 0.06, Height x 0.05, Length x 0.05), leaning by -throttle degrees about X. An uneven
// size, heading and colour, seen from above and aside, shows a fault in any of the steps.
TEST_F(WalkingTanks, ActorTransformTurnsScalesColoursAndTiltsTheModel) {
    AnimatedModels = false;
    RunGameSetup();
    Actor_Rec& A = Actors[0];
    A.X = 0.5f;
    A.Z = -1.0f;
    A.Heading = 30;
    A.Width = 2.0;
    A.Length = 4.0;
    A.ColorR = 0.9;
    A.ColorG = 0.3;
    A.ColorB = 0.1;
    const auto Draw = [&](bool ByHand) {
        ClearView();
        glTranslatef(0, 0, -8);
        glRotatef(35, 1, 0, 0);
        glRotatef(20, 0, 1, 0);
        glTranslatef(0, -A.Y, 0);
        if (ByHand) {
            glPushMatrix();
            glTranslatef(0.5f, A.Y, -1.0f);
            glRotatef(30 - 180, 0, 1, 0);
            glColor3f(0.9f, 0.3f, 0.1f);
            glScalef(2 * 0.06f, 2 * 0.05f, 4 * 0.05f);
            glRotatef(-25, 1, 0, 0);
            glCallList(HeroList);
            glPopMatrix();
        } else {
            BeginActorDrawing(A);
            DrawPlayerTankModel(0, 25.0);
            EndActorDrawing();
        }
        glFinish();
        return Ctx.ReadPixels();
    };
    const Image Expected = Draw(true);
    ASSERT_GT(PixelsDiffering(Expected, Image(Expected.size(), 0)), 500u) << "the tank is in view";
    EXPECT_LE(PixelsDiffering(Draw(false), Expected), 4u);
}

// --- The walk's bookkeeping ------------------------------------------------------------------

TEST(WalkTrack, APlacementFarAwayStartsFromRestAndTheCycleWraps) {
    ResetWalkTracks();
    Actor_Rec A{};
    A.Heading = 0; // faces -Z
    TrackWalk(7, A);
    A.Z = float(-WalkStride * 0.5);
    TrackWalk(7, A);
    EXPECT_EQ(WalkPose(7, A), WalkPoses / 2);
    A.Z -= float(WalkStride * 0.75); // on past the end of the cycle
    TrackWalk(7, A);
    EXPECT_EQ(WalkPose(7, A), WalkPoses / 4);
    A.Z += float(WalkStride * 0.5); // back over its start
    TrackWalk(7, A);
    EXPECT_EQ(WalkPose(7, A), WalkPoses * 3 / 4);
    A.X += float(WalkJumpLimit) + 1; // respawned elsewhere
    A.Z -= 1;
    TrackWalk(7, A);
    EXPECT_EQ(WalkPose(7, A), 0);
    A.Heading = 90; // faces -X
    A.X -= float(WalkStride * 0.25);
    TrackWalk(7, A);
    EXPECT_EQ(WalkPose(7, A), WalkPoses / 4) << "forwards runs the cycle on: a planted foot moves back";
}

} // namespace
