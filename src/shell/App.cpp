// Program start, the main loop and shut-down.
#include "shell/App.h"

#include "shell/Timer.h"

int32_t   GameState = 0;
bool      QuitRequested = false;
float     SpeedFactor = 0.0f;
float     LastFrameTime = 0.0f;
clsTimer* GameTimer = nullptr;
int32_t   FrameCount = 0;
int32_t   FramesPerSecond = 0;
double    PointerTimer = 30.0;

void ResetGameTimer() {
    delete GameTimer;
    GameTimer = new clsTimer();
    LastFrameTime = GameTimer->ElapsedSeconds();
}

void AdvanceFrameClock() {}

bool HandleEscape() { return false; }

void UpdateSoundListener() {}

int RunProgram(int, char**) { return 0; }
