// The game halves of the input handlers: camera key, toggles, the collision frame and panel
// dragging.
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
};

// Each toggle key flips its flag once per press and logs the new state in white; the log
// window's key logs nothing.
TEST_F(GameKeysTest, TogglesFlipTheirFlagAndLogInWhite) {
    struct Row {
        int         Key;
        bool*       Flag;
        const char* First; // the message of the first press; null: none
        const char* Second;
    };
    const Row Rows[] = {
        {'F', &ShowFPS, "FPS ON", "FPS OFF"},
        {'H', &ShowHelp, "Help ON", "Help OFF"},
        {'R', &ShowRadar, "Radar ON", "Radar OFF"},
        {'S', &ShowCrosshairs, "Crosshairs ON", "Crosshairs OFF"},
        {'O', &ShowCompass, "Compass ON", "Compass OFF"},
        {'T', &ShowTrees, "Trees ON", "Trees OFF"},
        {'L', &ShowLog, nullptr, nullptr},
        {'P', &ShowParticles, "Particles OFF", "Particles ON"}, // starts on
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(char(R.Key));
        AddLogLine("before", 1, 1, 1);
        bool Shown = *R.Flag;
        for (const char* Message : {R.First, R.Second}) {
            Press(R.Key);
            Shown = !Shown;
            EXPECT_EQ(*R.Flag, Shown);
            EXPECT_FALSE(Keys[R.Key]);
            EXPECT_TRUE(NewestLogLineIs(Message ? Message : "before", 1, 1, 1));
        }
    }
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

TEST_F(GameKeysTest, LeftButtonDragsRightAndMiddleAreCleared) {
    ShowRadar = true;
    ClickX = 50; // 4 and 4 percent inside the radar at (1, 75.5)
    ClickY = 400;
    GrabPanel();
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
