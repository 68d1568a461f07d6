// Game controllers: device bookkeeping, buttons into the key table and the mouse records, the
// left stick into throttle, turning and pointer movement.
#include "shell/Gamepad.h"

#include "core/KeyBindings.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"

#include <SDL.h>
#include <algorithm>
#include <vector>


namespace {

std::vector<SDL_GameController*> Pads; // open controllers
bool PadsStarted = false;
bool TriggerHeld = false;   // the right trigger is past its press point
bool PadClickHeld = false;  // A went down in the menu and holds the left mouse button

int32_t Slot(KeyAction Action) { return KeyBindings[Action].Slot; }

void OpenPad(int32_t DeviceIndex) {
    if (SDL_GameController* Pad = SDL_GameControllerOpen(DeviceIndex))
        Pads.push_back(Pad);
}

void ClosePad(SDL_JoystickID Instance) {
    for (auto It = Pads.begin(); It != Pads.end(); ++It)
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*It)) == Instance) {
            SDL_GameControllerClose(*It);
            Pads.erase(It);
            return;
        }
}

// A in the menu is a left click where the pointer is; in a game it is the fire key.
void PressA(bool Down) {
    if (Down && GameState == 1) {
        MouseButton = 1;
        ClickX = int32_t(RawMouseX);
        ClickY = int32_t(RawMouseY);
        PadClickHeld = true;
        return;
    }
    if (!Down && PadClickHeld) {
        MouseButton = 0;
        ClickX = 0;
        ClickY = 0;
        PadClickHeld = false;
    }
    Keys[Slot(ActionFire)] = Down;
}

void OnButton(Uint8 Button, bool Down) {
    switch (Button) {
    case SDL_CONTROLLER_BUTTON_A: PressA(Down); break;
    case SDL_CONTROLLER_BUTTON_START: if (Down) Keys[KeyEscape] = true; break;
    case SDL_CONTROLLER_BUTTON_BACK: if (Down && GameState == 2) Keys[Slot(ActionToggleHelp)] = true; break;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: Keys[Slot(ActionForward)] = Down; break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: Keys[Slot(ActionBackward)] = Down; break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: Keys[Slot(ActionTurnLeft)] = Down; break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: Keys[Slot(ActionTurnRight)] = Down; break;
    default: break;
    }
}

// The trigger fires like the second fire key, with a gap between press and release points so a
// trigger resting half way does not chatter.
void OnTrigger(int32_t Value) {
    if (!TriggerHeld && Value > PadTriggerPress) {
        TriggerHeld = true;
        Keys[Slot(ActionFire2)] = true;
    } else if (TriggerHeld && Value < PadTriggerRelease) {
        TriggerHeld = false;
        Keys[Slot(ActionFire2)] = false;
    }
}

// The stick of the first controller that is off its rest, so a second idle pad cannot cancel it.
void ReadStick(double& X, double& Y) {
    X = Y = 0.0;
    for (SDL_GameController* Pad : Pads) {
        X = StickDeflection(SDL_GameControllerGetAxis(Pad, SDL_CONTROLLER_AXIS_LEFTX));
        Y = StickDeflection(SDL_GameControllerGetAxis(Pad, SDL_CONTROLLER_AXIS_LEFTY));
        if (X != 0.0 || Y != 0.0)
            return;
    }
}

void MovePointer(double X, double Y) {
    if (X == 0.0 && Y == 0.0)
        return;
    const float Step = float(PadPointerSpeed * SpeedFactor / 100.0);
    RawMouseX = std::clamp(RawMouseX + float(X) * Step * float(ScreenWidth), 0.0f, float(ScreenWidth - 1));
    RawMouseY = std::clamp(RawMouseY + float(Y) * Step * float(ScreenHeight), 0.0f, float(ScreenHeight - 1));
    MouseMoved = true;
}

} // namespace

double StickDeflection(int32_t Value) {
    const double Magnitude = double(Value < 0 ? -int64_t(Value) : Value);
    if (Magnitude <= PadDeadZone)
        return 0.0;
    const double Scaled = std::min((Magnitude - PadDeadZone) / (32767.0 - PadDeadZone), 1.0);
    return Value < 0 ? -Scaled : Scaled;
}

bool StartGamepads() {
    if (PadsStarted)
        return true;
    PadsStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return PadsStarted;
}

void StopGamepads() {
    for (SDL_GameController* Pad : Pads)
        SDL_GameControllerClose(Pad);
    Pads.clear();
    PadThrottle = PadTurn = 0.0;
    TriggerHeld = PadClickHeld = false;
    if (PadsStarted)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    PadsStarted = false;
}

bool HandleGamepadEvent(const SDL_Event& Event) {
    switch (Event.type) {
    case SDL_CONTROLLERDEVICEADDED: OpenPad(Event.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED: ClosePad(Event.cdevice.which); return true;
    case SDL_CONTROLLERBUTTONDOWN: OnButton(Event.cbutton.button, true); return true;
    case SDL_CONTROLLERBUTTONUP: OnButton(Event.cbutton.button, false); return true;
    case SDL_CONTROLLERAXISMOTION:
        if (Event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT)
            OnTrigger(Event.caxis.value);
        return true;
    default: return false;
    }
}

void UpdateGamepads() {
    double X = 0.0, Y = 0.0;
    ReadStick(X, Y);
    PadThrottle = GameState == 2 ? -Y : 0.0; // stick forward is negative
    PadTurn = GameState == 2 ? X : 0.0;
    if (GameState == 1)
        MovePointer(X, Y);
}
