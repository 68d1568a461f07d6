// The player's tank: throttle, steering, blocking by other actors and the fire key latch.
#pragma once

extern bool FireLatch; // true from the frame a fire press is taken until both fire keys are up

constexpr double PlayerDeadZone = 0.05;    // throttle inside +-this stops when no arrow is held
constexpr double PlayerContactRange = 3.0; // Manhattan distance at which tanks and turrets block

// Runs the player control of one frame from the key table. Returns true when a collision put
// the player back to where the frame began; the rest of the frame's key handling is then
// skipped (turning, firing, the camera key and the toggles wait for a later frame).
bool ControlPlayerTank();
