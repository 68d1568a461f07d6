// clsTimer on the platform clock.
#include "shell/Timer.h"

clsTimer::clsTimer()
    : Frequency(1000), TickSeconds(0.001f), StartMs(0), LastMs(0), HighRes(false), StartCount(0),
      LastCount(0) {}

float clsTimer::ElapsedSeconds() const { return 0.0f; }
