// The game halves of the input handlers.
#include "shell/GameKeys.h"

#include "core/EventLog.h"
#include "platform/Numbers.h"
#include "render/Particles.h"
#include "shell/Input.h"
#include "world/Player.h"
#include "world/World.h"

namespace {

constexpr int32_t KeyCamera = 67; // C
constexpr int32_t CameraModeCount = 3;

// A view toggle: its key, its flag and the two white messages (none for the log window).
struct GameToggle_Rec {
    int32_t     Key;         // virtual-key code
    bool*       Flag;        // the display switch it flips
    const char* OnMessage;   // logged when the flag turns on; null for no message
    const char* OffMessage;  // logged when the flag turns off
    void (*BeforeMessage)(); // extra work of this toggle before its message, or null
};

// Switching particles either way clears both particle tables, so nothing frozen reappears.
void DeactivateParticles() {
    for (int Slot = 1; Slot <= ParticleSlots; ++Slot) {
        Sparks[Slot].Life = 0;
        Smokes[Slot].Life = 0;
    }
}

const GameToggle_Rec GameToggles[] = {
    {70, &ShowFPS, "FPS ON", "FPS OFF", nullptr},
    {72, &ShowHelp, "Help ON", "Help OFF", nullptr},
    {82, &ShowRadar, "Radar ON", "Radar OFF", nullptr},
    {83, &ShowCrosshairs, "Crosshairs ON", "Crosshairs OFF", nullptr},
    {79, &ShowCompass, "Compass ON", "Compass OFF", nullptr},
    {84, &ShowTrees, "Trees ON", "Trees OFF", nullptr},
    {76, &ShowLog, nullptr, nullptr, nullptr},
    {80, &ShowParticles, "Particles ON", "Particles OFF", DeactivateParticles},
};

void ProcessCameraKey() {
    if (Actors[0].Energy <= 0 || !Keys[KeyCamera]) return;
    CameraMode += 1;
    if (CameraMode > CameraModeCount) CameraMode = 1;
    Keys[KeyCamera] = false;
    AddLogLine("Camera changed", 1, 1, 1);
}

void ProcessToggles() {
    for (const GameToggle_Rec& Toggle : GameToggles) {
        if (!Keys[Toggle.Key]) continue;
        *Toggle.Flag = !*Toggle.Flag;
        Keys[Toggle.Key] = false;
        if (Toggle.BeforeMessage) Toggle.BeforeMessage();
        if (Toggle.OnMessage)
            AddLogLine(*Toggle.Flag ? Toggle.OnMessage : Toggle.OffMessage, 1, 1, 1);
    }
}

} // namespace

void ProcessGameKeysInGame() {
    if (ControlPlayerTank()) return;
    ProcessCameraKey();
    ProcessToggles();
}

void ProcessMouseButtonsInGame() {
    if (MouseButton == 1) {
        const double Px = PercentX(int32_t(Trunc(RawMouseX)));
        const double Py = PercentY(int32_t(Trunc(RawMouseY)));
        switch (DragPanel) {
        case 1:
            LogPanelX = Px - GrabOffsetX;
            LogPanelY = Py - GrabOffsetY;
            break;
        case 2:
            CompassPanelX = Px - GrabOffsetX;
            CompassPanelY = Py - GrabOffsetY;
            break;
        case 3:
            RadarPanelX = Px - GrabOffsetX;
            RadarPanelY = Py - GrabOffsetY;
            break;
        default:
            break;
        }
    } else if (MouseButton == 2 || MouseButton == 3)
        MouseButton = 0;
}
