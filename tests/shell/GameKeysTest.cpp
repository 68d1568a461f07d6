// The game halves of the input handlers: camera key, toggles, the collision frame, panel grab
// and panel dragging.
#include <gtest/gtest.h>

#include "shell/GameKeys.h"
#include "shell/Window.h"
#include "support/BattleFixture.h"

namespace {

class GameKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetBattleWorld(0, 0, 0);
        ShowFPS = ShowHelp = ShowRadar = ShowCrosshairs = false;
        ShowCompass = ShowTrees = ShowLog = false;
        ShowParticles = true;
        ScreenWidth = 1000; // one percent is ten pixels
        ScreenHeight = 500; // one percent is five pixels
        SetPanelStartPositions();
        MouseButton = 0;
    }

    static void Press(int Key) {
        Keys[Key] = true;
        ProcessGameKeysInGame();
    }

    static void ClickAt(double PctX, double PctY) {
        ClickX = int32_t(PctX * 10);
        ClickY = int32_t(PctY * 5);
        GrabPanel();
    }
};

TEST_F(GameKeysTest, TogglesFlipTheirFlagAndLogInWhite) {
    struct Row {
        int         Key;
        bool*       Flag;
        const char* On;
        const char* Off;
    };
    const Row Rows[] = {
        {'F', &ShowFPS, "FPS ON", "FPS OFF"},
        {'H', &ShowHelp, "Help ON", "Help OFF"},
        {'R', &ShowRadar, "Radar ON", "Radar OFF"},
        {'S', &ShowCrosshairs, "Crosshairs ON", "Crosshairs OFF"},
        {'O', &ShowCompass, "Compass ON", "Compass OFF"},
        {'T', &ShowTrees, "Trees ON", "Trees OFF"},
        {'P', &ShowParticles, "Particles OFF", "Particles ON"}, // starts on
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.On);
        const bool Before = *R.Flag;
        Press(R.Key);
        EXPECT_NE(*R.Flag, Before);
        EXPECT_FALSE(Keys[R.Key]);
        EXPECT_TRUE(NewestLogLineIs(R.On, 1, 1, 1));
        Press(R.Key);
        EXPECT_EQ(*R.Flag, Before);
        EXPECT_TRUE(NewestLogLineIs(R.Off, 1, 1, 1));
    }
}

TEST_F(GameKeysTest, LogWindowToggleIsSilent) {
    AddLogLine("before", 1, 0, 0);
    Press('L');
    EXPECT_TRUE(ShowLog);
    EXPECT_FALSE(Keys['L']);
    EXPECT_TRUE(NewestLogLineIs("before", 1, 0, 0));
}

TEST_F(GameKeysTest, ParticleToggleEmptiesBothTables) {
    Sparks[5].Life = 0.5f;
    Smokes[5].Life = 0.7f;
    Smokes[900].Life = 0.1f;
    Press('P');
    EXPECT_FALSE(ShowParticles);
    EXPECT_EQ(Sparks[5].Life, 0.0f);
    EXPECT_EQ(Smokes[5].Life, 0.0f);
    EXPECT_EQ(Smokes[900].Life, 0.0f);
}

TEST_F(GameKeysTest, CameraKeyCyclesOnlyWhileAlive) {
    Press('C');
    EXPECT_EQ(CameraMode, 3);
    EXPECT_TRUE(NewestLogLineIs("Camera changed", 1, 1, 1));
    Press('C');
    EXPECT_EQ(CameraMode, 1);
    Press('C');
    EXPECT_EQ(CameraMode, 2);

    Actors[0].Energy = 0;
    Keys['C'] = true;
    Keys['F'] = true;
    ProcessGameKeysInGame();
    EXPECT_EQ(CameraMode, 2);
    EXPECT_TRUE(Keys['C']);
    EXPECT_TRUE(ShowFPS); // the toggles still work after death
}

TEST_F(GameKeysTest, KeysOfACollisionFrameWait) {
    PlaceTank(9, 0.0f, -3.5f, 0.0f);
    PlayerVelocity = 1.0;
    Keys[KeyUp] = true;
    Keys['C'] = true;
    Keys['H'] = true;
    ProcessGameKeysInGame();
    EXPECT_EQ(CameraMode, 2);
    EXPECT_FALSE(ShowHelp);
    EXPECT_TRUE(Keys['C']);
    EXPECT_TRUE(Keys['H']);
    // The throttle no longer pushes into the tank: the waiting keys act now.
    Keys[KeyUp] = false;
    PlayerVelocity = 0.0;
    ProcessGameKeysInGame();
    EXPECT_EQ(CameraMode, 3);
    EXPECT_TRUE(ShowHelp);
}

TEST_F(GameKeysTest, OverlappingPanelsGrabTheLastTested) {
    ShowLog = ShowCompass = ShowRadar = true;
    LogPanelX = CompassPanelX = RadarPanelX = 10.0;
    LogPanelY = CompassPanelY = RadarPanelY = 20.0;
    ClickAt(15.7, 23.4);
    EXPECT_EQ(DragPanel, 3);
    EXPECT_EQ(GrabOffsetX, 5.0);
    EXPECT_EQ(GrabOffsetY, 3.0);
    ShowRadar = false;
    ClickAt(15.7, 23.4);
    EXPECT_EQ(DragPanel, 2);
    ShowCompass = false;
    ClickAt(15.7, 23.4);
    EXPECT_EQ(DragPanel, 1);
    // Outside the compass and the radar, inside the log window only.
    ShowCompass = ShowRadar = true;
    ClickAt(50.0, 30.0);
    EXPECT_EQ(DragPanel, 1);
}

TEST_F(GameKeysTest, PanelEdgesAndAFadedPointerGrabNothing) {
    ShowRadar = true;
    RadarPanelY = 75.0; // at (1, 75), 22 x 22
    ClickAt(1.0, 80.0);
    EXPECT_EQ(DragPanel, 0);
    ClickAt(23.0, 80.0);
    EXPECT_EQ(DragPanel, 0);
    ClickAt(10.0, 97.0);
    EXPECT_EQ(DragPanel, 0);
    ClickAt(10.0, 75.0);
    EXPECT_EQ(DragPanel, 0);
    ClickAt(1.1, 96.8);
    EXPECT_EQ(DragPanel, 3);
    PointerTimer = 0.0;
    ClickAt(10.0, 80.0);
    EXPECT_EQ(DragPanel, 0);
    ShowRadar = false;
    PointerTimer = 30.0;
    ClickAt(10.0, 80.0);
    EXPECT_EQ(DragPanel, 0);
}

TEST_F(GameKeysTest, LeftButtonDragsRightAndMiddleAreCleared) {
    ShowRadar = true;
    ClickAt(5.0, 80.0); // 4 and 4 inside the radar
    ASSERT_EQ(DragPanel, 3);
    MouseButton = 1;
    RawMouseX = 300.9f; // 30 percent: the pixel is truncated first
    RawMouseY = 200.0f; // 40 percent
    ProcessMouseButtonsInGame();
    EXPECT_DOUBLE_EQ(RadarPanelX, 26.0);
    EXPECT_DOUBLE_EQ(RadarPanelY, 36.0);
    EXPECT_DOUBLE_EQ(LogPanelX, 24.0);
    EXPECT_EQ(MouseButton, 1);

    DragPanel = 0;
    RawMouseX = 900.0f;
    ProcessMouseButtonsInGame();
    EXPECT_DOUBLE_EQ(RadarPanelX, 26.0);

    MouseButton = 2;
    ProcessMouseButtonsInGame();
    EXPECT_EQ(MouseButton, 0);
    MouseButton = 3;
    ProcessMouseButtonsInGame();
    EXPECT_EQ(MouseButton, 0);
}

} // namespace
