#pragma once

#include "platform/dispatch/DispatchTime.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

class Timer;

namespace detail {
class Timeline;
}

// The main run loop: runs main-queue work, run-loop timers and, through them, every deadline of
// the dispatch layer (delayed work and timer sources on any queue) on the main thread.
//
// Order: an item falls due at its deadline (a post is due at the moment it is posted); due items
// run in order of deadline, then posting order.
//
// Entry points other than stop() are for the main thread only:
//  - run(): the program's loop, until stop().
//  - advance(): tests, virtual clock: steps time forward to each deadline in turn.
//  - drain(): runs what is due now.
//  - runUntil(): waits in real time for work posted by other threads (network replies).
// drain(), advance() and reset() also wait until the worker pool is idle (global and serial
// queues), so that background work started by due work has posted its results before they
// return. That wait is bounded (10 s real time, with a warning): work that blocks for long -
// socket read loops and the like - belongs on a thread of its own, not on a dispatch queue.
class RunLoop {
public:
    static RunLoop& main();

    // Runs due work and sleeps until the next deadline or post, until stop(). Under the virtual
    // clock, when nothing is due and the worker pool is idle, time jumps to the next deadline.
    void run();
    // Ends run() (thread-safe). A stop requested while run() is not running ends the next run().
    void stop();

    // Virtual clock: moves time forward by `seconds`, stopping at each deadline on the way and
    // running everything due there, including work that due work schedules within the window.
    // Time ends exactly at now + seconds. Under the real clock it only drains.
    void advance(double seconds);

    // Runs everything due now, including posts from other threads, until nothing is due and the
    // worker pool is idle.
    void drain();

    // Runs due work and waits in real time for posts until done() holds or the time-out passes;
    // done() is also looked at every few milliseconds, for what other threads change unposted.
    // Does not move the virtual clock (under the real clock, timers fall due as time passes).
    // Returns done().
    bool runUntil(const std::function<bool()>& done, double realTimeoutSeconds = 10.0);

    // Tests: drops all pending work and deadlines, invalidates run-loop timers and disarms timer
    // sources (schedule() arms a source again), after waiting for the worker pool.
    void reset();

    // Number of items waiting (posts and deadlines); the earliest deadline still waiting.
    std::size_t pendingCount() const;
    std::optional<DispatchTime> nextDeadline() const;

    // For the dispatch library: the schedule that the queues, timers and sources post to.
    detail::Timeline& timeline() { return *m_timeline; }

    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

private:
    RunLoop();
    ~RunLoop(); // never runs: the main run loop lives for the whole process

    void runDue();
    bool waitForWorkers();

    std::unique_ptr<detail::Timeline> m_timeline;
};
