// The display modes and the screen size in effect.
#include "core/Screen.h"

const Resolution Resolutions[ResolutionCount + 1] = {
    {0, 0}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1280, 800}};
int32_t     ScreenWidth = 0;
int32_t     ScreenHeight = 0;
int32_t     ResolutionWanted = 1;
int32_t     ResolutionApplied = 0;
bool        FirstStart = true;
bool        FullscreenWanted = true;
