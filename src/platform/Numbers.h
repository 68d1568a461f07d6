// The process-wide pseudo-random generator and the two rounding rules every subsystem shares.
#pragma once
#include <cstdint>

extern uint32_t RandomSeed; // 32-bit LCG state; 0 at start, never reseeded

double  RandomReal();            // advances the seed; seed / 2^32, in [0, 1)
int32_t RandomInt(int32_t Range); // advances the seed; high 32 bits of seed * Range, in 0..Range-1

int64_t Round(double Value); // nearest whole number, ties to even
int64_t Trunc(double Value); // toward zero
