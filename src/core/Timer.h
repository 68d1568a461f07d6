// clsTimer: seconds since construction, from the high-resolution counter or the millisecond clock.
#pragma once
#include <cstdint>

class clsTimer {
  public:
    clsTimer();
    float ElapsedSeconds() const; // seconds since construction, rounded to float precision

    int64_t  Frequency;   // counter ticks per second; 1000 without the high-resolution counter
    float    TickSeconds; // seconds per tick: 1 / Frequency, or 0.001 in the fallback
    uint32_t StartMs;     // millisecond clock at creation; fallback only
    uint32_t LastMs;      // copy of StartMs; not read again
    bool     HighRes;     // true when the high-resolution counter is present
    int64_t  StartCount;  // high-resolution counter at creation
    int64_t  LastCount;   // copy of StartCount; not read again
};
