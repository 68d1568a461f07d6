// The pointer stars: small stars trailing the mouse pointer in the menu and bursting out on clicks.
#pragma once
#include <cstdint>

constexpr int32_t PointerStarSlots = 500; // slots of PointerStars

struct PointerStar {
    float X;     // overlay x (from the left)
    float Y;     // overlay y (from the bottom)
    float VX;    // velocity per unit of SpeedFactor
    float VY;    // velocity per unit of SpeedFactor; falls by 0.1 per unit
    float Life;  // remaining life and opacity, 1.0 at birth; active while above 0
    float Angle; // degrees about the screen normal
    float Red;   // colour 0..1
    float Green; // colour 0..1
    float Blue;  // colour 0..1
};

extern PointerStar PointerStars[PointerStarSlots]; // zero at start: all inactive

// Emits up to Count stars at overlay (X, Y) into free slots, only while ShowPointerStars is on.
// A burst flies out in every direction; otherwise the stars drift off the pointer's trail.
void SpawnPointerStars(int32_t Count, bool Burst, double X, double Y);

// Draws, moves and ages every active star. Leaves blending on and texturing off.
void DrawPointerStars();
