// Game controllers, simulated with SDL's virtual joystick and fed through the real event
// handler: hot-plugging, proportional driving never faster than the keys, dead zones, one shot
// per press of A or the trigger, Start as Escape, and the pointer in the menu.
#include "shell/Gamepad.h"
#include "shell/Events.h"
#include "support/BattleFixture.h"
#include "shell/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

class VirtualPad : public ::testing::Test {
  protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (!StartGamepads())
            GTEST_SKIP() << "no game-controller layer: " << SDL_GetError();
        Index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
        if (Index < 0)
            GTEST_SKIP() << "no virtual joystick: " << SDL_GetError();
        Pump();
        Stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(Index));
        ASSERT_NE(Stick, nullptr) << "the controller was opened on its device event";
        ResetBattleWorld();
        GameState = 2;
    }
    void TearDown() override {
        if (Index >= 0)
            SDL_JoystickDetachVirtual(Index);
        Pump();
        UpdateGamepads();
        EXPECT_EQ(PadThrottle, 0.0) << "an unplugged pad drives nothing";
        StopGamepads();
        GameState = 0;
    }
    static void Pump() {
        SDL_JoystickUpdate();
        SDL_Event E;
        while (SDL_PollEvent(&E))
            HandleEvent(E);
    }
    void Axis(SDL_GameControllerAxis A, int16_t Value) {
        SDL_JoystickSetVirtualAxis(Stick, A, Value);
        Pump();
    }
    // The controller layer spreads a trigger's 0..32767 over the whole joystick axis.
    void Trigger(int32_t Value) {
        SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, int16_t(Value * 2 - 32768));
        Pump();
    }
    void Button(SDL_GameControllerButton B, bool Down) {
        SDL_JoystickSetVirtualButton(Stick, B, Down ? 1 : 0);
        Pump();
    }
    // Frames of the player control with the pad read before each, as the main loop does.
    static void Frames(int Count) {
        for (int I = 0; I < Count; ++I) {
            UpdateGamepads();
            ControlPlayerTank();
            Actors[0].ReloadTimer = 0; // reloading is not what is tested here
        }
    }
    int           Index = -1;
    SDL_Joystick* Stick = nullptr;
};

} // namespace

TEST(StickDeflection, DeadZoneAndFullScale) {
    EXPECT_EQ(StickDeflection(0), 0.0);
    EXPECT_EQ(StickDeflection(PadDeadZone), 0.0);
    EXPECT_EQ(StickDeflection(-PadDeadZone), 0.0);
    EXPECT_GT(StickDeflection(PadDeadZone + 100), 0.0);
    EXPECT_DOUBLE_EQ(StickDeflection(32767), 1.0);
    EXPECT_DOUBLE_EQ(StickDeflection(-32768), -1.0) << "the longer negative half is clamped";
    EXPECT_NEAR(StickDeflection((32767 + PadDeadZone) / 2), 0.5, 0.001);
}

TEST_F(VirtualPad, TheStickDrivesInProportionNeverFasterThanTheKeys) {
    Axis(SDL_CONTROLLER_AXIS_LEFTY, -32767);
    Frames(60);
    const double FullStick = PlayerVelocity;
    ResetBattleWorld();
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    Keys[KeyUp] = true;
    Frames(60);
    Keys[KeyUp] = false;
    const double KeysVelocity = PlayerVelocity;
    EXPECT_GT(FullStick, 0.9);
    EXPECT_LE(FullStick, KeysVelocity);

    ResetBattleWorld();
    Axis(SDL_CONTROLLER_AXIS_LEFTY, int16_t(-(32767 + PadDeadZone) / 2));
    Frames(60);
    EXPECT_GT(PlayerVelocity, 0.4);
    EXPECT_LE(PlayerVelocity, 0.5) << "half the stick, at most half the speed";
    EXPECT_LT(Actors[0].Z, 0.0f) << "heading 0 drives towards -Z";

    Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    Frames(120);
    EXPECT_LT(PlayerVelocity, -0.9) << "pulled back: reverse";
}

TEST_F(VirtualPad, TheStickTurnsAtMostAtTheKeysRate) {
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    Frames(10);
    EXPECT_FLOAT_EQ(Actors[0].Heading, -10.0f * Actors[0].TurnSpeed) << "full right = the Right key";
    Actors[0].Heading = 0;
    Axis(SDL_CONTROLLER_AXIS_LEFTX, int16_t(-(32767 + PadDeadZone) / 2));
    Frames(10);
    EXPECT_NEAR(Actors[0].Heading, 5.0f * Actors[0].TurnSpeed, 0.01);
}

TEST_F(VirtualPad, ARestingStickDoesNothing) {
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -PadDeadZone + 500);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, PadDeadZone - 500);
    Frames(50);
    EXPECT_EQ(PlayerVelocity, 0.0);
    EXPECT_EQ(Actors[0].Heading, 0.0f);
    EXPECT_EQ(Actors[0].X, 0.0f);
}

TEST_F(VirtualPad, TheDPadDrivesLikeTheArrowKeys) {
    Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Frames(5);
    EXPECT_GT(PlayerVelocity, 0.0);
    EXPECT_FLOAT_EQ(Actors[0].Heading, 5.0f * Actors[0].TurnSpeed);
    Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    EXPECT_FALSE(Keys[KeyUp]);
    EXPECT_FALSE(Keys[KeyLeft]);
}

TEST_F(VirtualPad, AAndTheTriggerFireOncePerPress) {
    Button(SDL_CONTROLLER_BUTTON_A, true);
    Frames(10);
    EXPECT_EQ(Actors[0].ShotsInFlight, 1) << "held A fires once";
    Button(SDL_CONTROLLER_BUTTON_A, false);
    Frames(1);
    Button(SDL_CONTROLLER_BUTTON_A, true);
    Frames(1);
    EXPECT_EQ(Actors[0].ShotsInFlight, 2);
    Button(SDL_CONTROLLER_BUTTON_A, false);
    Frames(1);
    ResetShots();
    Actors[0].ShotsInFlight = 0;

    Trigger(0);
    Frames(1);
    Trigger(32767);
    Frames(10);
    EXPECT_EQ(Actors[0].ShotsInFlight, 1);
    Trigger(PadTriggerRelease + 1000); // eased, not released
    Frames(1);
    Trigger(32767);
    Frames(1);
    EXPECT_EQ(Actors[0].ShotsInFlight, 1) << "no second shot without a release";
    Trigger(PadTriggerRelease - 1000);
    Frames(1);
    Trigger(32767);
    Frames(1);
    EXPECT_EQ(Actors[0].ShotsInFlight, 2);
}

TEST_F(VirtualPad, StartIsEscapeAndBackTheHelpKey) {
    Button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(Keys[KeyEscape]);
    Button(SDL_CONTROLLER_BUTTON_START, false);
    Button(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_TRUE(Keys['H']);
}

TEST_F(VirtualPad, InTheMenuTheStickMovesThePointerAndAClicks) {
    GameState = 1;
    ScreenWidth = 800;
    ScreenHeight = 600;
    RawMouseX = 400;
    RawMouseY = 300;
    MouseMoved = false;
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    UpdateGamepads();
    EXPECT_TRUE(MouseMoved);
    EXPECT_NEAR(RawMouseX, 400 + PadPointerSpeed / 100 * 800, 0.01);
    EXPECT_EQ(PadThrottle, 0.0) << "the tank does not drive under the menu";
    for (int I = 0; I < 200; ++I)
        UpdateGamepads();
    EXPECT_LE(RawMouseX, 799.0f) << "the pointer stays on the screen";
    Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(MouseButton, 1);
    EXPECT_EQ(ClickX, 799);
    EXPECT_FALSE(Keys['A']) << "a click, not the fire key";
    Button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(MouseButton, 0);
}
