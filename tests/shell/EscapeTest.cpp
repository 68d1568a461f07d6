// Escape by game state: pause into the menu, back to the main page, or the end of the program.
#include "menu/Menu.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "sound/Sound.h"
#include "support/SoundChild.h"
#include "support/TempFolder.h"
#include "world/World.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

class Escape : public ::testing::Test {
  protected:
    void SetUp() override {
        QuitRequested = false;
        PreviousMenuPage = 0;
        MenuTransition = 0.0;
        Keys[KeyEscape] = true;
    }
    void TearDown() override {
        QuitRequested = false;
        Keys[KeyEscape] = false;
        GameState = 0;
        TextEditMode = 0;
    }
};

} // namespace

TEST_F(Escape, InTheGamePausesIntoTheMenu) {
    GameState = 2;
    MenuPage = PageMain;
    EXPECT_TRUE(HandleEscape());
    EXPECT_EQ(GameState, 1);
    EXPECT_FALSE(QuitRequested);
    EXPECT_FALSE(Keys[KeyEscape]);
}

// Pausing silences the battle: the looping heartbeat and a shot still playing stop with it.
TEST_F(Escape, PausingStopsEverySound) {
    const std::string Heart = std::string(TARVIX_DATA_DIR) + "/sound/fx/heart.mp3";
    if (!std::filesystem::exists(Heart)) GTEST_SKIP() << "the generated sounds are not there yet";
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    InChild(Temp.Path, "[general]\ndrivers = null\n", [&] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        const SoundSample Loop = SoundSampleLoad(Heart, SoundMode2D);
        ASSERT_NE(Loop, 0);
        SoundSampleSetMode(Loop, SoundLoopNormal);
        ASSERT_EQ(SoundPlaySound(SoundFreeChannel, Loop), 0);
        ASSERT_EQ(SoundPlaySound(SoundFreeChannel, Loop), 1);
        GameState = 2;
        EXPECT_TRUE(HandleEscape());
        SoundUpdate();
        EXPECT_FALSE(SoundChannelPlaying(0));
        EXPECT_FALSE(SoundChannelPlaying(1));
        SoundClose();
    });
}

TEST_F(Escape, OnAnotherPageReturnsToTheMainPage) {
    GameState = 1;
    MenuPage = PageGraphics;
    EXPECT_TRUE(HandleEscape());
    EXPECT_EQ(MenuPage, PageMain);
    EXPECT_EQ(PreviousMenuPage, PageGraphics);
    EXPECT_DOUBLE_EQ(MenuTransition, 1.0);
    EXPECT_FALSE(QuitRequested);
    EXPECT_EQ(GameState, 1);
    // Consumed: the held key does nothing more until a new press sets it again.
    EXPECT_FALSE(HandleEscape());
    EXPECT_FALSE(QuitRequested);
}

// Escape from the player page while the name is being typed: back on the main page, letters
// typed later must neither change the name nor be eaten by a name entry nobody sees.
TEST_F(Escape, LeavingThePlayerPageEndsNameEntry) {
    GameState = 1;
    MenuPage = PagePlayer;
    TextEditMode = 1;
    Actors[0].Name = "PLAYER";
    EXPECT_TRUE(HandleEscape());
    EXPECT_EQ(MenuPage, PageMain);
    EXPECT_EQ(TextEditMode, 0);
    Keys['X'] = Keys['Y'] = true;
    ProcessGameKeys();
    EXPECT_EQ(Actors[0].Name, "PLAYER");
    EXPECT_TRUE(Keys['X']) << "the key stays down, unused";
    Keys['X'] = Keys['Y'] = false;
}

TEST_F(Escape, OnTheMainPageEndsTheLoop) {
    GameState = 1;
    MenuPage = PageMain;
    EXPECT_TRUE(HandleEscape());
    EXPECT_TRUE(QuitRequested);
    EXPECT_EQ(MenuPage, PageMain);
    EXPECT_EQ(PreviousMenuPage, 0);
}

TEST_F(Escape, BeforeSetupIsOnlyConsumed) {
    GameState = 0;
    MenuPage = 3;
    EXPECT_TRUE(HandleEscape());
    EXPECT_FALSE(QuitRequested);
    EXPECT_EQ(MenuPage, 3);
    EXPECT_FALSE(Keys[KeyEscape]);
}

TEST_F(Escape, NotPressedLetsTheFrameGoOn) {
    Keys[KeyEscape] = false;
    GameState = 1;
    MenuPage = PageMain;
    EXPECT_FALSE(HandleEscape());
    EXPECT_FALSE(QuitRequested);
}
