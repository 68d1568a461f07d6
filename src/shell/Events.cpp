// The SDL event handler standing in for the window procedure.
#include "shell/Events.h"

#include <SDL.h>

bool    StartSecondTimer() { return false; }
void    StopSecondTimer() {}
void    HandleEvent(const SDL_Event&) {}
void    SecondTick() {}
int32_t VirtualKeyCode(int32_t) { return -1; }
