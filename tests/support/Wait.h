// Waiting in tests: a steady clock for deadlines, plain pauses, and polling a condition.
#pragma once
#include <chrono>
#include <functional>
#include <thread>

// Seconds on a steady clock, for deadlines.
inline double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Waits while something runs on its own.
inline void Pause(double Seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(Seconds));
}

// Tries Condition every Every seconds until it holds or Seconds have passed; whether it held.
inline bool WaitUntil(const std::function<bool()>& Condition, double Seconds, double Every = 0.1) {
    const double End = Now() + Seconds;
    for (;;) {
        if (Condition()) return true;
        if (Now() > End) return false;
        Pause(Every);
    }
}
