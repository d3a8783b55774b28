#pragma once

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/RunLoop.h"

#include <functional>
#include <gtest/gtest.h>

namespace zvtest {

// Base fixture for tests of anything that runs on the main run loop. Each test starts with an
// empty main run loop on the virtual clock (at 1000.0 s) and moves time only with advance(); at
// the end, pending work is dropped and the real clock comes back.
//
// The test's own thread is the main thread (the process's initial thread, see DispatchQueue).
// Derived fixtures that override SetUp()/TearDown() must call these first/last.
class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static RunLoop& loop() { return RunLoop::main(); }
    static double now() { return Clock::now(); }
    static void advance(double seconds) { RunLoop::main().advance(seconds); }
    static void drain() { RunLoop::main().drain(); }
    // Waits in real time for work posted by other threads (network replies and the like).
    static bool runUntil(const std::function<bool()>& done, double realTimeoutSeconds = 10.0)
    {
        return RunLoop::main().runUntil(done, realTimeoutSeconds);
    }
};

}
