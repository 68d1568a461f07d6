// The heads-up display and the mouse pointer.
#include "render/Hud.h"

int32_t TargetSlot = 0;
