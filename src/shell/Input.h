// Keyboard and mouse records and the three per-frame input handlers.
#pragma once
#include <cstdint>

#include "core/InputState.h"

void ProcessGameKeys();     // keys of this frame: text entry in the menu, tank keys and toggles in a game
void UpdatePointer();       // pointer pixels to percent; pointer stars in the menu
void ProcessMouseButtons(); // menu clicks, panel dragging
void GrabPanel();           // on a left press: picks the heads-up panel under ClickX, ClickY

