// The event handler: key codes, the key table, pointer and buttons, the once-per-second tick,
// the panel grab, and the pointer update.
#include "shell/Events.h"
#include "platform/Numbers.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"

#include "ShellHelpers.h"

#include <gtest/gtest.h>

// Keys reach the key table under their Windows virtual-key codes; keys the game has no code for
// are dropped without touching the table.
TEST(KeyMapping, WindowsVirtualKeyCodesAndNothingElse) {
    const std::pair<SDL_Keycode, int32_t> Codes[] = {
        {SDLK_a, 65},      {SDLK_c, 67},     {SDLK_z, 90},      {SDLK_0, 48},
        {SDLK_9, 57},      {SDLK_LEFT, 37},  {SDLK_UP, 38},     {SDLK_RIGHT, 39},
        {SDLK_DOWN, 40},   {SDLK_SPACE, 32}, {SDLK_RETURN, 13}, {SDLK_BACKSPACE, 8},
        {SDLK_ESCAPE, 27}, {SDLK_F1, 112},   {SDLK_F12, 123}};
    for (const auto& [Sym, Code] : Codes)
        EXPECT_EQ(VirtualKeyCode(Sym), Code) << Sym;
    for (SDL_Keycode Sym :
         {SDLK_TAB, SDLK_LSHIFT, SDLK_KP_1, SDLK_F13, SDLK_DELETE, SDLK_COMMA, SDLK_UNKNOWN})
        EXPECT_EQ(VirtualKeyCode(Sym), -1) << Sym;
    bool Before[KeyCount];
    std::copy(std::begin(Keys), std::end(Keys), Before);
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_TAB));
    EXPECT_TRUE(std::equal(std::begin(Keys), std::end(Keys), Before));
}

// The keypad as Windows reports it: Enter is Return, and with NumLock off the 8, 2, 4 and 6
// keys are the arrows that drive the tank; with NumLock on they are neither arrows nor digits.
TEST(KeyMapping, KeypadFollowsNumLock) {
    struct {
        SDL_Keycode Sym;
        int32_t     Code;
    } const Arrows[] = {
        {SDLK_KP_8, KeyUp}, {SDLK_KP_2, KeyDown}, {SDLK_KP_4, KeyLeft}, {SDLK_KP_6, KeyRight}};
    for (const auto& Arrow : Arrows) {
        SCOPED_TRACE(Arrow.Code);
        HandleEvent(KeyEvent(SDL_KEYDOWN, Arrow.Sym));
        EXPECT_TRUE(Keys[Arrow.Code]) << "NumLock off: an arrow";
        HandleEvent(KeyEvent(SDL_KEYUP, Arrow.Sym));
        EXPECT_FALSE(Keys[Arrow.Code]);
        HandleEvent(KeyEvent(SDL_KEYDOWN, Arrow.Sym, KMOD_NUM));
        EXPECT_FALSE(Keys[Arrow.Code]) << "NumLock on: not an arrow";
        // Pressed with NumLock off, released after it was switched on: still comes up.
        HandleEvent(KeyEvent(SDL_KEYDOWN, Arrow.Sym));
        HandleEvent(KeyEvent(SDL_KEYUP, Arrow.Sym, KMOD_NUM));
        EXPECT_FALSE(Keys[Arrow.Code]) << "the arrow is not left held";
    }
    for (int32_t Digit = '0'; Digit <= '9'; ++Digit)
        EXPECT_FALSE(Keys[Digit]) << "keypad digits never type into the name";
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_NUM));
    EXPECT_TRUE(Keys[KeyReturn]) << "keypad Enter is Return";
    HandleEvent(KeyEvent(SDL_KEYUP, SDLK_KP_ENTER));
    EXPECT_FALSE(Keys[KeyReturn]);
}

TEST(KeyTable, DownUpAndRepeat) {
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_a));
    EXPECT_TRUE(Keys[65]);
    Keys[65] = false; // a handler consumes the press
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_NONE, true));
    EXPECT_TRUE(Keys[65]) << "auto-repeat sets the key again";
    HandleEvent(KeyEvent(SDL_KEYUP, SDLK_a));
    EXPECT_FALSE(Keys[65]);
}

TEST(PointerAndButtons, MotionPressAndRelease) {
    ScreenWidth = 640;
    ScreenHeight = 480;
    PointerTimer = 30.0;
    ShowLog = ShowCompass = ShowRadar = false;
    HandleEvent(MotionEvent(-12, 200)); // captured, left of the window
    EXPECT_TRUE(MouseMoved);
    EXPECT_FLOAT_EQ(RawMouseX, -12.0f);
    EXPECT_FLOAT_EQ(RawMouseY, 200.0f);

    HandleEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 20));
    EXPECT_EQ(MouseButton, 2);
    EXPECT_EQ(ClickX, 10);
    EXPECT_EQ(ClickY, 20);
    HandleEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 11, 21));
    EXPECT_EQ(MouseButton, 3);
    HandleEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 12, 22));
    EXPECT_EQ(MouseButton, 1);
    DragPanel = 2;
    HandleEvent(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 12, 22));
    EXPECT_EQ(MouseButton, 0);
    EXPECT_EQ(ClickX, 0);
    EXPECT_EQ(ClickY, 0);
    EXPECT_EQ(DragPanel, 0);
}

TEST(WindowEvents, CloseRequestsTheEnd) {
    QuitRequested = false;
    HandleEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(QuitRequested);
    QuitRequested = false;
    SDL_Event E = {};
    E.type = SDL_QUIT;
    HandleEvent(E);
    EXPECT_TRUE(QuitRequested);
    QuitRequested = false;
}

// The real SDL timer runs on its own thread; its once-a-second tick must arrive as an event on
// this one, where it turns the frame count into the frame rate. Hidden, the rate keeps its last
// value.
TEST(SecondTick, TimerTurnsTheFrameCountIntoTheRateOnTheMainThread) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER), 0);
    ASSERT_TRUE(StartSecondTimer());
    ShowFPS = true;
    FramesPerSecond = -1;
    FrameCount = 33;
    bool         Ticked = false;
    const Uint64 End = SDL_GetTicks64() + 3000;
    while (!Ticked && SDL_GetTicks64() < End) {
        SDL_Event E;
        while (SDL_PollEvent(&E)) {
            HandleEvent(E);
            Ticked |= FramesPerSecond == 33;
        }
        SDL_Delay(10);
    }
    StopSecondTimer();
    SDL_QuitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER);
    EXPECT_TRUE(Ticked);
    EXPECT_EQ(FrameCount, 0);
    ShowFPS = false;
    FrameCount = 12;
    SecondTick();
    EXPECT_EQ(FramesPerSecond, 33);
    EXPECT_EQ(FrameCount, 0);
}

// The heads-up panels at their start places on a 1000 x 1000 mode, where one pixel is a tenth
// of a percent: log window (24, 75.5) 75 x 22, compass (1, 64) 10 x 10, radar (1, 75.5) 22 x 22.
class Panels : public ::testing::Test {
  protected:
    void SetUp() override {
        ScreenWidth = 1000;
        ScreenHeight = 1000;
        ShowLog = ShowCompass = ShowRadar = true;
        SetPanelStartPositions();
        PointerTimer = 30.0;
    }
    // A left press at pixel (X, Y); the panel it grabs.
    static int32_t Press(int X, int Y) {
        ClickX = X;
        ClickY = Y;
        GrabPanel();
        return DragPanel;
    }
};

TEST_F(Panels, EachPanelIsGrabbedAtItsStartPlaceWithAWholeOffset) {
    EXPECT_EQ(Press(305, 811), 1); // inside the log window by 6.5 x 5.6 percent
    EXPECT_DOUBLE_EQ(GrabOffsetX, 6.0);
    EXPECT_DOUBLE_EQ(GrabOffsetY, 5.0);
    EXPECT_EQ(Press(50, 680), 2);
    EXPECT_DOUBLE_EQ(GrabOffsetX, 4.0);
    EXPECT_DOUBLE_EQ(GrabOffsetY, 4.0);
    EXPECT_EQ(Press(129, 969), 3);
    EXPECT_DOUBLE_EQ(GrabOffsetX, 11.0);
    EXPECT_DOUBLE_EQ(GrabOffsetY, 21.0);
    EXPECT_EQ(Press(500, 500), 0);
}

// Panels can be dragged anywhere: where shown ones overlap, the last tested (log window,
// compass, radar) is grabbed.
TEST_F(Panels, OverlapGrabsTheLastShownPanelTested) {
    LogPanelX = CompassPanelX = RadarPanelX = 10.0;
    LogPanelY = CompassPanelY = RadarPanelY = 20.0;
    EXPECT_EQ(Press(157, 234), 3);
    EXPECT_DOUBLE_EQ(GrabOffsetX, 5.0);
    EXPECT_DOUBLE_EQ(GrabOffsetY, 3.0);
    ShowRadar = false;
    EXPECT_EQ(Press(157, 234), 2);
    ShowCompass = false;
    EXPECT_EQ(Press(157, 234), 1);
    ShowCompass = ShowRadar = true;
    EXPECT_EQ(Press(500, 300), 1) << "outside the compass and the radar, inside the log window";
}

TEST_F(Panels, EdgesAreOutsideAndAFadedPointerOrAHiddenPanelGrabsNothing) {
    const struct {
        int     X, Y;
        int32_t Panel;
    } Edges[] = {{10, 700, 0}, {110, 700, 0}, {50, 640, 0},
                 {50, 740, 0}, {11, 641, 2},  {109, 739, 2}};
    for (const auto& E : Edges)
        EXPECT_EQ(Press(E.X, E.Y), E.Panel) << E.X << ", " << E.Y;
    PointerTimer = 0.0;
    EXPECT_EQ(Press(50, 680), 0);
    PointerTimer = 0.5;
    EXPECT_EQ(Press(50, 680), 2);
    ShowCompass = false;
    EXPECT_EQ(Press(50, 680), 0);
}

TEST(Pointer, PercentOfTheDisplayMode) {
    ScreenWidth = 640;
    ScreenHeight = 480;
    EXPECT_DOUBLE_EQ(PercentX(320), 50.0);
    EXPECT_DOUBLE_EQ(PercentY(479), 47900.0 / 480.0); // never 100 at the bottom edge
    EXPECT_DOUBLE_EQ(PercentX(1), 100.0 / 640.0);
}

TEST(Pointer, UpdateConvertsOnlyAfterMotion) {
    ScreenWidth = 800;
    ScreenHeight = 600;
    GameState = 2;
    RawMouseX = 400.9f;
    RawMouseY = 150.2f;
    MouseMoved = true;
    PointerTimer = 3.0;
    const uint32_t Seed = RandomSeed;
    UpdatePointer();
    EXPECT_FLOAT_EQ(MousePctX, 50.0f);
    EXPECT_FLOAT_EQ(MousePctY, 25.0f);
    EXPECT_DOUBLE_EQ(PointerTimer, 30.0);
    EXPECT_FALSE(MouseMoved);
    EXPECT_EQ(RandomSeed, Seed) << "no pointer stars outside the menu";
    RawMouseX = 0.0f;
    PointerTimer = 1.0;
    UpdatePointer();
    EXPECT_FLOAT_EQ(MousePctX, 50.0f) << "no motion, no change";
    EXPECT_DOUBLE_EQ(PointerTimer, 1.0);
    GameState = 1;
    MouseMoved = true;
    UpdatePointer();
    EXPECT_NE(RandomSeed, Seed) << "the menu draws one number for its pointer stars";
    GameState = 0;
}
