// The linear congruential generator: seed := seed * 134775813 + 1 (mod 2^32).
#include "platform/Numbers.h"

#include <cmath>

uint32_t RandomSeed = 0;

static uint32_t AdvanceSeed() {
    RandomSeed = RandomSeed * 134775813u + 1u; // unsigned arithmetic wraps modulo 2^32
    return RandomSeed;
}

double RandomReal() { return AdvanceSeed() / 4294967296.0; }

int32_t RandomInt(int32_t Range) {
    const uint64_t Product = uint64_t(AdvanceSeed()) * uint64_t(uint32_t(Range));
    return int32_t(Product >> 32);
}

int64_t Round(double Value) {
    // nearbyint follows the current rounding mode, which the game never changes from
    // round-to-nearest-even.
    return int64_t(std::nearbyint(Value));
}

int64_t Trunc(double Value) { return int64_t(std::trunc(Value)); }
