// The SDL event handler standing in for the window procedure: it only records keys, pointer and
// buttons, follows resizes and turns the window close and the once-per-second tick into actions.
#include "shell/Events.h"

#include "core/KeyBindings.h"
#include "platform/Numbers.h"
#include "shell/App.h"
#include "shell/Gamepad.h"
#include "shell/Input.h"
#include "shell/Window.h"

#include <SDL.h>

namespace {

constexpr Uint32 SecondTimerInterval = 1000; // milliseconds

SDL_TimerID SecondTimer = 0;
Uint32      SecondTickEvent = Uint32(-1); // SDL user event type posted by the timer

// Runs on SDL's timer thread: it only posts an event, the action runs on the main thread.
Uint32 PostSecondTick(Uint32 Interval, void*) {
    SDL_Event Tick = {};
    Tick.type = SecondTickEvent;
    SDL_PushEvent(&Tick);
    return Interval;
}

// In a running game a key bound to an action sets that action's slot. A release clears both
// the key's own slot and its bound one, so a key let go after the game paused into the menu
// cannot leave the tank driving.
void OnKey(const SDL_KeyboardEvent& Key, bool Down) {
    if (Down && Key.keysym.sym == SDLK_RETURN && (Key.keysym.mod & KMOD_ALT)) {
        if (!Key.repeat)
            ToggleFullScreen();
        return;
    }
    // A release is read with NumLock off, so a keypad arrow let go after NumLock was switched
    // on while it was held still comes up, and the tank does not drive on by itself.
    const bool    NumLock = Down && (Key.keysym.mod & KMOD_NUM) != 0;
    const int32_t Natural = VirtualKeyCode(Key.keysym.sym, NumLock);
    const int32_t Bound = BoundKeySlot(Key.keysym.sym, Natural);
    if (Down) {
        const int32_t Code = GameState == 2 ? Bound : Natural;
        if (Code >= 0)
            Keys[Code] = true;
        return;
    }
    if (Natural >= 0)
        Keys[Natural] = false;
    if (Bound >= 0)
        Keys[Bound] = false;
}

// Positions are taken signed: with the mouse captured the pointer can leave the window, and a
// dragged panel must follow it to the edge rather than jump to a huge unsigned coordinate.
void OnMouseMotion(const SDL_MouseMotionEvent& Motion) {
    float X = float(Motion.x);
    float Y = float(Motion.y);
    WindowToPicture(X, Y);
    MouseMoved = true;
    RawMouseX = X;
    RawMouseY = Y;
}

void OnButtonDown(const SDL_MouseButtonEvent& Button) {
    int32_t Held = 0;
    switch (Button.button) {
    case SDL_BUTTON_LEFT: Held = 1; break;
    case SDL_BUTTON_RIGHT: Held = 2; break;
    case SDL_BUTTON_MIDDLE: Held = 3; break;
    default: return;
    }
    SDL_CaptureMouse(SDL_FALSE);
    SDL_CaptureMouse(SDL_TRUE);
    float X = float(Button.x);
    float Y = float(Button.y);
    WindowToPicture(X, Y);
    MouseButton = Held;
    ClickX = int32_t(X);
    ClickY = int32_t(Y);
    if (Held == 1)
        GrabPanel();
}

void OnButtonUp(const SDL_MouseButtonEvent& Button) {
    if (Button.button != SDL_BUTTON_LEFT && Button.button != SDL_BUTTON_RIGHT &&
        Button.button != SDL_BUTTON_MIDDLE)
        return;
    SDL_CaptureMouse(SDL_FALSE);
    MouseButton = 0;
    ClickX = 0;
    ClickY = 0;
    DragPanel = 0;
}

void OnWindowEvent(const SDL_WindowEvent& Window) {
    if (Window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        if (GLReady && GLExtensionsReady)
            ResizeViewport(Window.data1, Window.data2);
    } else if (Window.event == SDL_WINDOWEVENT_CLOSE) {
        QuitRequested = true;
    }
}

} // namespace

bool StartSecondTimer() {
    if (SecondTickEvent == Uint32(-1))
        SecondTickEvent = SDL_RegisterEvents(1);
    if (SecondTickEvent == Uint32(-1))
        return false;
    StopSecondTimer();
    SecondTimer = SDL_AddTimer(SecondTimerInterval, PostSecondTick, nullptr);
    return SecondTimer != 0;
}

void StopSecondTimer() {
    if (SecondTimer != 0)
        SDL_RemoveTimer(SecondTimer);
    SecondTimer = 0;
}

void SecondTick() {
    if (ShowFPS)
        FramesPerSecond = int32_t(Round(FrameCount * 1000 / 1000.0));
    FrameCount = 0;
}

int32_t VirtualKeyCode(int32_t Sym, bool NumLock) {
    if (Sym >= SDLK_a && Sym <= SDLK_z)
        return 65 + (Sym - SDLK_a);
    if (Sym >= SDLK_0 && Sym <= SDLK_9)
        return 48 + (Sym - SDLK_0);
    if (Sym >= SDLK_F1 && Sym <= SDLK_F12)
        return KeyF1 + (Sym - SDLK_F1);
    // With NumLock off the keypad's 8, 2, 4 and 6 are the arrow keys, as on Windows. With it on
    // they are Windows' numpad keys, which the game never reads (they type no digits either).
    if (!NumLock) {
        switch (Sym) {
        case SDLK_KP_4: return KeyLeft;
        case SDLK_KP_8: return KeyUp;
        case SDLK_KP_6: return KeyRight;
        case SDLK_KP_2: return KeyDown;
        default: break;
        }
    }
    switch (Sym) {
    case SDLK_LEFT: return KeyLeft;
    case SDLK_UP: return KeyUp;
    case SDLK_RIGHT: return KeyRight;
    case SDLK_DOWN: return KeyDown;
    case SDLK_SPACE: return KeySpace;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KeyReturn;
    case SDLK_BACKSPACE: return KeyBackspace;
    case SDLK_ESCAPE: return KeyEscape;
    default: return -1;
    }
}

void HandleEvent(const SDL_Event& Event) {
    if (SecondTickEvent != Uint32(-1) && Event.type == SecondTickEvent) {
        SecondTick();
        return;
    }
    if (HandleGamepadEvent(Event))
        return;
    switch (Event.type) {
    case SDL_QUIT: QuitRequested = true; break;
    case SDL_KEYDOWN: OnKey(Event.key, true); break;
    case SDL_KEYUP: OnKey(Event.key, false); break;
    case SDL_MOUSEMOTION: OnMouseMotion(Event.motion); break;
    case SDL_MOUSEBUTTONDOWN: OnButtonDown(Event.button); break;
    case SDL_MOUSEBUTTONUP: OnButtonUp(Event.button); break;
    case SDL_WINDOWEVENT: OnWindowEvent(Event.window); break;
    default: break;
    }
}

bool HandleWaitingEvent() {
    SDL_Event Event;
    if (!SDL_PollEvent(&Event))
        return false;
    HandleEvent(Event);
    return true;
}
