// The frame dispatcher: what is updated and drawn in each game state.
#pragma once

void DrawFrame();
