// The system clocks through SDL.
#include "platform/Clock.h"

#include <SDL.h>

namespace {

int64_t SdlFrequency() {
    return int64_t(SDL_GetPerformanceFrequency());
}

int64_t SdlCounter() {
    return int64_t(SDL_GetPerformanceCounter());
}

// SDL's 64-bit tick count cut to 32 bits, so it wraps the way the Windows millisecond clock does.
uint32_t SdlMilliseconds() {
    return uint32_t(SDL_GetTicks64());
}

} // namespace

ClockSource SystemClock() {
    return ClockSource{SdlFrequency, SdlCounter, SdlMilliseconds};
}

ClockSource Clock = SystemClock();
