// The screen every layer draws for: the five display modes and the size in effect.
#pragma once
#include <cstdint>

constexpr int32_t ResolutionCount = 5; // display modes numbered 1 to 5
struct Resolution {
    int32_t Width;  // pixels
    int32_t Height; // pixels
};
extern const Resolution Resolutions[ResolutionCount + 1]; // by number; slot 0 unused (0 x 0)

extern int32_t     ScreenWidth;       // pixel width of the current display mode
extern int32_t     ScreenHeight;      // pixel height of the current display mode
extern int32_t     ResolutionWanted;  // resolution number from the settings and the menu, 1 to 5
extern int32_t     ResolutionApplied; // resolution number in effect; 0 before the first window
extern bool        FirstStart;        // true until the first game setup has finished
extern bool        FullscreenWanted;  // setting: full screen over the desktop at its own size, else a window
