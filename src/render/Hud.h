// The heads-up display over the battle and the mouse pointer drawn over every frame.
#pragma once
#include <cstdint>
#include <string>

extern int32_t TargetSlot; // actor slot named under the crosshair this frame, 0 when none

constexpr int EnergyWarningLevel = 25; // below this the energy line flickers red

// The three help lines under the title and contact lines, each with its y in percent.
struct HelpLine_Rec {
    double      Y;    // percent from the top
    const char* Text; // shown in white with the small font
};
extern const char* const  HelpTitleLine;   // big font, pink
extern const char* const  HelpContactLine; // small font, pink
extern const HelpLine_Rec HelpLines[3];

// Radar point of a world position, relative to the radar origin (one unit inside the frame's
// top-left corner); the arena fills the 20 x 20 square with y running downwards as negatives.
double RadarPointX(double WorldX);
double RadarPointY(double WorldZ);

// Overlay y of the crosshair centre: the screen centre in the cockpit view, higher otherwise.
double CrosshairCentreY();

// The text named under the crosshair: the highest battle slot in the player's line of fire.
// Returns its slot (0 when none) and fills Text with "Name-Energy: N" (empty when none).
int32_t FindTarget(std::string& Text);

// Energy and score line, as shown: "Energy:N  Score:M".
std::string EnergyScoreText(int32_t Energy, int32_t Score);
// The same line written into Text, whose buffer is reused (the HUD draws it every frame).
void WriteEnergyScoreText(std::string& Text, int32_t Energy, int32_t Score);

// The reload line: "RELOADING..." and the whole part of the countdown.
std::string ReloadText(double ReloadTimer);

void DrawHud();     // the whole display, in the game state after the explosions
void DrawPointer(); // the pointer overlay, last in every frame while PointerTimer > 0
