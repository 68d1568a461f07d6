// clsTimer on the platform clocks: the performance counter, or the millisecond clock without one.
#include "core/Timer.h"

#include "platform/Clock.h"

clsTimer::clsTimer()
    : Frequency(0), TickSeconds(0.0f), StartMs(0), LastMs(0), HighRes(false), StartCount(0),
      LastCount(0) {
    Frequency = Clock.CounterFrequency();
    if (Frequency > 0) {
        StartCount = Clock.Counter();
        HighRes = true;
        TickSeconds = float(1.0L / (long double)Frequency);
        LastCount = StartCount;
    } else {
        HighRes = false;
        StartMs = Clock.Milliseconds();
        TickSeconds = 0.001f;
        Frequency = 1000;
        LastMs = StartMs;
    }
}

float clsTimer::ElapsedSeconds() const {
    if (HighRes) {
        const int64_t Ticks = Clock.Counter() - StartCount;
        return float(double(Ticks) * TickSeconds);
    }
    // Unsigned 32-bit difference: a clock that wrapped past 2^32 since the start still gives
    // the true elapsed milliseconds.
    const uint64_t Ms = uint32_t(Clock.Milliseconds() - StartMs);
    return float(double(Ms) * TickSeconds);
}
