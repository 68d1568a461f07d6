// The pointer stars: bursts and trails of small stars thrown from the mouse pointer.
#pragma once
#include <cstdint>

void SpawnPointerStars(int32_t Count, bool Burst, double X, double Y); // x, y in overlay percent
