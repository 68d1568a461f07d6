// The game's state and its frame clock: which screen runs, the speed factor every movement is
// scaled by, and the game timer it is measured on.
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
extern bool      GameInProgress;  // a game was started and not abandoned; false at start
extern double    PointerTimer;    // countdown while the mouse pointer overlay stays visible, frames at 50/s

// Replaces GameTimer with a fresh clock and takes LastFrameTime from it, so the first frame
// on the new clock never measures against the old one (no negative SpeedFactor).
void ResetGameTimer();

// Takes LastFrameTime afresh from GameTimer, so the next frame measures from now: run at the end
// of every game setup, whose loading (and any window rebuild before it) is no game time.
void RefreshFrameClock();

// Frame step 2: SpeedFactor from the time since the previous frame, then a fresh LastFrameTime.
void AdvanceFrameClock();
