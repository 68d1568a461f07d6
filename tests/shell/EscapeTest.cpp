// Escape by game state: pause into the menu, back to the main page, or the end of the program.
#include "menu/Menu.h"
#include "shell/App.h"
#include "shell/Input.h"

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
