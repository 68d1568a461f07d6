// The event handler: key codes, the key table, pointer and buttons, the once-per-second tick,
// the panel grab, and the pointer update.
#include "shell/Events.h"
#include "platform/Numbers.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

SDL_Event KeyEvent(Uint32 Type, SDL_Keycode Sym, bool Repeat = false, Uint16 Mod = KMOD_NONE) {
    SDL_Event E = {};
    E.type = Type;
    E.key.keysym.sym = Sym;
    E.key.keysym.mod = Mod;
    E.key.repeat = Repeat ? 1 : 0;
    return E;
}

SDL_Event ButtonEvent(Uint32 Type, Uint8 Button, int X, int Y) {
    SDL_Event E = {};
    E.type = Type;
    E.button.button = Button;
    E.button.x = X;
    E.button.y = Y;
    return E;
}

} // namespace

TEST(KeyMapping, WindowsVirtualKeyCodes) {
    EXPECT_EQ(VirtualKeyCode(SDLK_a), 65);
    EXPECT_EQ(VirtualKeyCode(SDLK_c), 67);
    EXPECT_EQ(VirtualKeyCode(SDLK_z), 90);
    EXPECT_EQ(VirtualKeyCode(SDLK_0), 48);
    EXPECT_EQ(VirtualKeyCode(SDLK_9), 57);
    EXPECT_EQ(VirtualKeyCode(SDLK_LEFT), 37);
    EXPECT_EQ(VirtualKeyCode(SDLK_UP), 38);
    EXPECT_EQ(VirtualKeyCode(SDLK_RIGHT), 39);
    EXPECT_EQ(VirtualKeyCode(SDLK_DOWN), 40);
    EXPECT_EQ(VirtualKeyCode(SDLK_SPACE), 32);
    EXPECT_EQ(VirtualKeyCode(SDLK_RETURN), 13);
    EXPECT_EQ(VirtualKeyCode(SDLK_BACKSPACE), 8);
    EXPECT_EQ(VirtualKeyCode(SDLK_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyCode(SDLK_F1), 112);
    EXPECT_EQ(VirtualKeyCode(SDLK_F12), 123);
}

TEST(KeyMapping, OtherKeysAreIgnored) {
    for (SDL_Keycode Sym : {SDLK_TAB, SDLK_LSHIFT, SDLK_KP_1, SDLK_F13, SDLK_DELETE, SDLK_COMMA,
                            SDLK_UNKNOWN})
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
    } const Arrows[] = {{SDLK_KP_8, KeyUp}, {SDLK_KP_2, KeyDown}, {SDLK_KP_4, KeyLeft}, {SDLK_KP_6, KeyRight}};
    for (const auto& Arrow : Arrows) {
        SCOPED_TRACE(Arrow.Code);
        HandleEvent(KeyEvent(SDL_KEYDOWN, Arrow.Sym));
        EXPECT_TRUE(Keys[Arrow.Code]) << "NumLock off: an arrow";
        HandleEvent(KeyEvent(SDL_KEYUP, Arrow.Sym));
        EXPECT_FALSE(Keys[Arrow.Code]);
        HandleEvent(KeyEvent(SDL_KEYDOWN, Arrow.Sym, false, KMOD_NUM));
        EXPECT_FALSE(Keys[Arrow.Code]) << "NumLock on: not an arrow";
        // Pressed with NumLock off, released after it was switched on: still comes up.
        HandleEvent(KeyEvent(SDL_KEYDOWN, Arrow.Sym));
        HandleEvent(KeyEvent(SDL_KEYUP, Arrow.Sym, false, KMOD_NUM));
        EXPECT_FALSE(Keys[Arrow.Code]) << "the arrow is not left held";
    }
    for (int32_t Digit = '0'; Digit <= '9'; ++Digit)
        EXPECT_FALSE(Keys[Digit]) << "keypad digits never type into the name";
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, false, KMOD_NUM));
    EXPECT_TRUE(Keys[KeyReturn]) << "keypad Enter is Return";
    HandleEvent(KeyEvent(SDL_KEYUP, SDLK_KP_ENTER));
    EXPECT_FALSE(Keys[KeyReturn]);
}

TEST(KeyTable, DownUpAndRepeat) {
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_a));
    EXPECT_TRUE(Keys[65]);
    Keys[65] = false; // a handler consumes the press
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_a, true));
    EXPECT_TRUE(Keys[65]) << "auto-repeat sets the key again";
    HandleEvent(KeyEvent(SDL_KEYUP, SDLK_a));
    EXPECT_FALSE(Keys[65]);
}

TEST(PointerAndButtons, MotionPressAndRelease) {
    ScreenWidth = 640;
    ScreenHeight = 480;
    PointerTimer = 30.0;
    ShowLog = ShowCompass = ShowRadar = false;
    SDL_Event Motion = {};
    Motion.type = SDL_MOUSEMOTION;
    Motion.motion.x = -12; // captured, left of the window
    Motion.motion.y = 200;
    HandleEvent(Motion);
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
    SDL_Event E = {};
    E.type = SDL_WINDOWEVENT;
    E.window.event = SDL_WINDOWEVENT_CLOSE;
    HandleEvent(E);
    EXPECT_TRUE(QuitRequested);
    QuitRequested = false;
    E = {};
    E.type = SDL_QUIT;
    HandleEvent(E);
    EXPECT_TRUE(QuitRequested);
    QuitRequested = false;
}

TEST(SecondTick, FramesPerSecondOnlyWhileShown) {
    ShowFPS = true;
    FrameCount = 57;
    SecondTick();
    EXPECT_EQ(FramesPerSecond, 57);
    EXPECT_EQ(FrameCount, 0);
    ShowFPS = false;
    FrameCount = 12;
    SecondTick();
    EXPECT_EQ(FramesPerSecond, 57) << "keeps its last value while hidden";
    EXPECT_EQ(FrameCount, 0);
}

// The real SDL timer runs on its own thread; its tick must arrive as an event on this one.
TEST(SecondTick, TimerPostsAnEventHandledOnTheMainThread) {
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
    ShowFPS = false;
}

class Panels : public ::testing::Test {
  protected:
    void SetUp() override {
        ScreenWidth = 1000; // one pixel is a tenth of a percent
        ScreenHeight = 1000;
        ShowLog = ShowCompass = ShowRadar = true;
        SetPanelStartPositions();
        PointerTimer = 30.0;
    }
    void Press(int X, int Y) {
        ClickX = X;
        ClickY = Y;
        GrabPanel();
    }
};

TEST_F(Panels, EachPanelIsGrabbedWithItsOffset) {
    Press(305, 811); // log window at (24, 75.5): inside by 6.5 x 5.6 percent
    EXPECT_EQ(DragPanel, 1);
    EXPECT_DOUBLE_EQ(GrabOffsetX, 6.0);
    EXPECT_DOUBLE_EQ(GrabOffsetY, 5.0);
    Press(50, 680);
    EXPECT_EQ(DragPanel, 2);
    EXPECT_DOUBLE_EQ(GrabOffsetX, 4.0);
    EXPECT_DOUBLE_EQ(GrabOffsetY, 4.0);
    Press(500, 500);
    EXPECT_EQ(DragPanel, 0);
}

TEST_F(Panels, OverlapGrabsTheLastTested) {
    // Radar (1..23, 75.5..97.5) and log (24.. ) do not overlap in their start places; move the
    // compass over the radar.
    CompassPanelY = 76.0;
    Press(50, 800);
    EXPECT_EQ(DragPanel, 3);
    LogPanelX = 0.5; // now all three overlap there
    Press(50, 800);
    EXPECT_EQ(DragPanel, 3);
    ShowRadar = false;
    Press(50, 800);
    EXPECT_EQ(DragPanel, 2);
}

TEST_F(Panels, EdgesAreOutsideAndAHiddenPanelCannotBeGrabbed) {
    Press(10, 700); // compass left edge x = 1.0 exactly
    EXPECT_EQ(DragPanel, 0);
    Press(110, 700); // right edge 11.0
    EXPECT_EQ(DragPanel, 0);
    Press(50, 640); // top edge 64.0
    EXPECT_EQ(DragPanel, 0);
    ShowCompass = false;
    Press(50, 680);
    EXPECT_EQ(DragPanel, 0);
}

TEST_F(Panels, AFadedPointerGrabsNothing) {
    PointerTimer = 0.0;
    Press(50, 680);
    EXPECT_EQ(DragPanel, 0);
    PointerTimer = 0.5;
    Press(50, 680);
    EXPECT_EQ(DragPanel, 2);
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
