// Menu drawing: the menu frame and the items of the shown and fading pages, and the blue stars
// drifting up behind the menu.
#pragma once
#include <cstdint>
#include <string>

#include "render/Scene.h" // StarList, which the backdrop and the pointer stars draw

constexpr int32_t MenuBackdropStars = 100; // records of MenuBackdrop

// One backdrop star; the same nine fields as a pointer star.
struct BackdropStar {
    float X;       // overlay x (from the left)
    float Y;       // overlay y (from the bottom)
    float VX;      // sideways drift per unit of SpeedFactor, applied divided by 100
    float VY;      // rise per unit of SpeedFactor
    float Opacity; // ten times the opacity it is drawn with
    float Angle;   // degrees about the screen normal
    float Red;     // colour 0..1
    float Green;   // colour 0..1
    float Blue;    // colour 0..1
};

extern BackdropStar MenuBackdrop[MenuBackdropStars]; // drawn in every menu frame

// Gives every backdrop star its random start values (first game setup).
void SeedMenuBackdrop();

// Two of the three menu layers (backdrop, menu, then the pointer stars of PointerStars.h).
void DrawMenuBackdrop();
void DrawMenu();

// Asks the driver for its largest anisotropic level into MaxAnisotropy; a driver without
// anisotropic filtering leaves it as it was.
void QueryMaxAnisotropy();

// The text a value label shows for the setting named by Key (empty when there is none).
std::string ValueLabelText(const std::string& Key);
