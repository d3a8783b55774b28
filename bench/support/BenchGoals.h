#pragma once

// Speed goals of the benchmark programs. A goal is a ratio, measured in one run: the median time
// of its subject over the median time of its baseline, whose rounds are interleaved so that both
// see the same machine load. Times are the measuring thread's processor time, so that waiting
// for a processor on a shared machine does not count; goals that time another process or a file
// appearing use their own samples of real time. A baseline is either code (a raw library call doing the same
// work) or a fixed time (a frame budget). Each program prints one line per goal when run with --goals:
//     NAME ratio R (goal <= G) ok|MISS
// and scripts/bench.sh collects the lines of every program.

#include <chrono>
#include <functional>
#include <string>

namespace zvbench {

using Seconds = std::chrono::duration<double>;

// Goals name only the fields they use (designated initialisers); the others keep their defaults.
struct Goal {
    std::string name;
    // The subject's time over the baseline's may be at most this.
    double limit = 1;
    // One unit of the measured work each; called many times.
    std::function<void()> subject {};
    std::function<void()> baseline {};
    // Used when there is no baseline code: the subject's time is compared with this.
    Seconds fixedBaseline { 0 };
    // Interleaved rounds; each round times enough calls to last at least minRoundTime.
    int rounds = 15;
    Seconds minRoundTime { 0.02 };
    // Called once before the first round (building fixtures lazily keeps --help and plain
    // benchmark runs from paying for them).
    std::function<void()> setUp {};
    // Used instead of timing `subject` when set: one measurement in seconds of work that is timed
    // by other means (another process, a file appearing, a transfer served by other threads).
    std::function<double()> sample {};
    // The baseline's measurement of the same kind, taken in rounds interleaved with `sample`.
    std::function<double()> baselineSample {};
    // Called untimed before the subject's and before the baseline's calls of each round, for a
    // goal whose two sides need different state (a small and a large store).
    std::function<void()> beforeSubject {};
    std::function<void()> beforeBaseline {};
    // The ratio of the fastest rounds of the two instead of their medians: for work that a busy
    // machine only ever slows, and unevenly (a frame that computes, on processors shared with
    // neighbours), where the fastest round is the one that measured the work alone.
    bool fastestRounds = false;
};

// Keeps a goal for --goals; returns true so that it can initialise a static at namespace scope:
//     const bool registered = zvbench::addGoal({ ... });
bool addGoal(Goal goal);

// Measures every kept goal and prints its line; the count of goals missed.
int runGoals(const std::string& filter = {});

// Median seconds of one call of `work`, measured in `rounds` rounds (for setting up goals whose
// subject is measured elsewhere, e.g. another process).
double medianSeconds(const std::function<void()>& work, int rounds, Seconds minRoundTime);

}
