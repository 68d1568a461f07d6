// Game controllers through SDL's game-controller layer, plugged in and out at any time. The left
// stick or the d-pad drive and turn (the stick in proportion, never faster than the keys), A or
// the right trigger fires as the fire key does, Start acts as Escape and Back as the help key;
// in the menu the left stick moves the pointer and A clicks.
#pragma once
#include <cstdint>

#include "core/InputState.h"

union SDL_Event;

constexpr int32_t PadDeadZone = 8000;         // stick axis values within +-this count as resting
constexpr int32_t PadTriggerPress = 16000;    // right trigger beyond this is a press
constexpr int32_t PadTriggerRelease = 8000;   // and below this a release
constexpr double  PadPointerSpeed = 1.5;      // menu pointer at full deflection, percent of the screen per unit of SpeedFactor


bool StartGamepads(); // starts SDL's controller layer; controllers arrive as device events
void StopGamepads();  // closes every controller and the layer

// Takes controller events (devices added and removed, buttons, the trigger). False for any
// other event.
bool HandleGamepadEvent(const SDL_Event& Event);

// Once a frame before the input handlers: the stick into PadThrottle and PadTurn, and in the
// menu into pointer movement.
void UpdateGamepads();

// An axis value as a deflection in -1..1 with the dead zone removed.
double StickDeflection(int32_t Value);
