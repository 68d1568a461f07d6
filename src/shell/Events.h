// The event handler: records keys, pointer and buttons, follows resizes, turns the window close
// and the once-per-second tick into their actions.
#pragma once
#include <cstdint>

union SDL_Event;

bool StartSecondTimer(); // starts the once-per-second tick (it only posts an event)
void StopSecondTimer();
void HandleEvent(const SDL_Event& Event);
void SecondTick();                        // the once-per-second action: FramesPerSecond from FrameCount
// Windows virtual-key code of an SDL key; -1 when ignored. The keypad follows NumLock as on
// Windows: with it off the 8, 2, 4 and 6 keys are the arrow keys; Enter is always Return.
int32_t VirtualKeyCode(int32_t SdlKeyCode, bool NumLock = false);

// Takes one waiting event, if any, and handles it. False when none was waiting.
bool HandleWaitingEvent();
