// Program start, the main loop with its frame timing, and shut-down.
#pragma once
#include <cstdint>

class clsTimer;

extern int32_t   GameState;       // 0 until game setup has run, 1 menu shown, 2 game running
extern bool      QuitRequested;   // set to leave the main loop
extern float     SpeedFactor;     // movement multiplier of this frame: 50 x seconds since the last frame
extern float     LastFrameTime;   // GameTimer reading at the previous frame, seconds
extern clsTimer* GameTimer;       // the game clock; made anew by every game setup (ResetGameTimer)
extern int32_t   FrameCount;      // frames rendered since the last once-per-second tick
extern int32_t   FramesPerSecond; // frames counted in the last whole second
extern double    PointerTimer;    // countdown while the mouse pointer overlay stays visible, frames at 50/s

int RunProgram(int argc, char** argv); // the main routine; returns the process exit status

// Replaces GameTimer with a fresh clock and takes LastFrameTime from it, so the first frame
// on the new clock never measures against the old one (no negative SpeedFactor).
void ResetGameTimer();

// Takes LastFrameTime afresh from GameTimer, so the next frame measures from now: run at the end
// of every game setup, whose loading (and any window rebuild before it) is no game time.
void RefreshFrameClock();

// Frame step 2: SpeedFactor from the time since the previous frame, then a fresh LastFrameTime.
void AdvanceFrameClock();

// Frame step 5: acts on Escape when it is down in Keys and clears it. True when it acted, and then
// no other input is processed in this frame.
bool HandleEscape();

// The sound listener at the player and the sound update; runs on every pass of the loop.
void UpdateSoundListener();
