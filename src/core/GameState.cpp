// The game's state and its frame clock.
#include "core/GameState.h"

#include "core/Timer.h"

int32_t   GameState = 0;
bool      QuitRequested = false;
float     SpeedFactor = 0.0f;
float     LastFrameTime = 0.0f;
clsTimer* GameTimer = nullptr;
int32_t   FrameCount = 0;
int32_t   FramesPerSecond = 0;
bool      GameInProgress = false;
double    PointerTimer = 30.0;

void ResetGameTimer() {
    delete GameTimer;
    GameTimer = new clsTimer();
    LastFrameTime = GameTimer->ElapsedSeconds();
}

void RefreshFrameClock() {
    if (GameTimer)
        LastFrameTime = GameTimer->ElapsedSeconds();
}

void AdvanceFrameClock() {
    SpeedFactor = (GameTimer->ElapsedSeconds() - LastFrameTime) * 50.0f;
    LastFrameTime = GameTimer->ElapsedSeconds();
}
