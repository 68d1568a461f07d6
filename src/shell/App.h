// Program start, the main loop with its frame timing, and shut-down.
#pragma once
#include <cstdint>

#include "core/GameState.h"

int RunProgram(int argc, char** argv); // the main routine; returns the process exit status

// Start-up, in order: the settings file, the window in the saved display mode, then StartGame.
// False when the window could not be opened (the error has been shown).
bool StartUp();

// The start-up once the settings are in place and the window is open: game setup, the key
// binding reports, controllers, the sound distance factor and the frame clock. False without a
// window.
bool StartGame();

// One frame: the frame clock, the drawing, the swap, then Escape or the frame's input. The
// benchmark steps in at two points: BeforeDrawing (its fixed SpeedFactor and scripted player)
// and BeforeSwap (reading the finished picture back); the game passes neither.
void RunFrame(void (*BeforeDrawing)() = nullptr, void (*BeforeSwap)() = nullptr);

// Shut-down: controllers, sound, the window with the desktop's display mode, the clock.
void ShutDown();

// Frame step 5: acts on Escape when it is down in Keys and clears it. True when it acted, and then
// no other input is processed in this frame.
bool HandleEscape();

// The sound listener at the player and the sound update; runs on every pass of the loop.
void UpdateSoundListener();
