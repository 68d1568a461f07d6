// The two clocks clsTimer reads: the high-resolution performance counter and the millisecond clock.
#pragma once
#include <cstdint>

// The clock functions in use. Tests put their own functions here to drive time by hand.
struct ClockSource {
    int64_t (*CounterFrequency)(); // ticks per second of the counter; 0 when there is none
    int64_t (*Counter)();          // the high-resolution counter
    uint32_t (*Milliseconds)();    // the millisecond clock; wraps around after 2^32 ms
};

extern ClockSource Clock; // starts as SystemClock()

ClockSource SystemClock(); // SDL's performance counter and SDL's millisecond tick count
