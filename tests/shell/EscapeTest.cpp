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

// By state and page: the game pauses into the menu, another page goes back to the main one,
// the main page ends the loop, and before setup the press is only used up. A second call with
// the key still held does nothing: one press acts once.
TEST_F(Escape, ActsOnceByStateAndPage) {
    const struct {
        int32_t State, Page;       // before the press
        int32_t NewState, NewPage; // after it
        int32_t Previous;          // the page fading out
        double  Transition;
        bool    Quit;
    } Cases[] = {
        {2, PageMain, 1, PageMain, 0, 0.0, false},
        {1, PageGraphics, 1, PageMain, PageGraphics, 1.0, false},
        {1, PageMain, 1, PageMain, 0, 0.0, true},
        {0, PageGraphics, 0, PageGraphics, 0, 0.0, false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << "state " << C.State << ", page " << C.Page);
        SetUp();
        GameState = C.State;
        MenuPage = C.Page;
        for (const bool Pressed : {true, false}) {
            EXPECT_EQ(HandleEscape(), Pressed);
            EXPECT_FALSE(Keys[KeyEscape]);
            EXPECT_EQ(GameState, C.NewState);
            EXPECT_EQ(MenuPage, C.NewPage);
            EXPECT_EQ(PreviousMenuPage, C.Previous);
            EXPECT_DOUBLE_EQ(MenuTransition, C.Transition);
            EXPECT_EQ(QuitRequested, C.Quit);
        }
    }
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
