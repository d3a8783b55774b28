#pragma once

// The one clock behind every deadline of the dispatch layer: run-loop timers, delayed work and
// timer sources all read it. The program uses the real monotonic clock; tests switch to a
// virtual clock that only RunLoop::advance() moves, so timed behaviour is tested without sleeping.
//
// Switch clocks only while the main run loop holds no timed work (RunLoop::reset() first):
// deadlines taken on one clock mean nothing on the other.
class Clock {
public:
    // Seconds on the current clock: monotonic, arbitrary origin. Thread-safe.
    static double now();

    static void useVirtual(double start = 1000.0);
    static void useReal();
    static bool isVirtual();

    // Virtual clock only: moves time forward to `seconds` (never backward). The run loop calls
    // this while it advances; other code should go through RunLoop::advance().
    static void advanceVirtualTo(double seconds);

    // Real monotonic seconds, whatever clock is in use (for real-time waits).
    static double realNow();
};
