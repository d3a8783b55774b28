#include "bench/support/BenchGoals.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace zvbench {

namespace {

// The time this thread spends running: on a machine that others share, time spent waiting
// for a processor would otherwise count against whichever side happened to wait.
struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadClock>;
    static time_point now()
    {
        timespec ts {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
    }
};
using Clock = ThreadClock;

std::vector<Goal>& goals()
{
    static std::vector<Goal> all;
    return all;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// How many calls make one round last at least `minimum`, found by doubling after a first call
// that is not counted (it pays for whatever is set up on first use).
long callsPerRound(const std::function<void()>& work, Seconds minimum)
{
    work();
    for (long calls = 1;; calls *= 2) {
        auto start = Clock::now();
        for (long i = 0; i < calls; ++i)
            work();
        if (Clock::now() - start >= minimum || calls >= (1L << 30))
            return calls;
    }
}

// Seconds per call over one round.
double timeRound(const std::function<void()>& work, long calls)
{
    auto start = Clock::now();
    for (long i = 0; i < calls; ++i)
        work();
    return Seconds(Clock::now() - start).count() / static_cast<double>(calls);
}

}

bool addGoal(Goal goal)
{
    goals().push_back(std::move(goal));
    return true;
}

double medianSeconds(const std::function<void()>& work, int rounds, Seconds minRoundTime)
{
    long calls = callsPerRound(work, minRoundTime);
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r)
        times.push_back(timeRound(work, calls));
    return median(times);
}

int runGoals(const std::string& filter)
{
    int missed = 0;
    for (Goal& goal : goals()) {
        if (!filter.empty() && goal.name.find(filter) == std::string::npos)
            continue;
        if (goal.setUp)
            goal.setUp();
        double ratio = 0;
        auto before = [](const std::function<void()>& hook) {
            if (hook)
                hook();
        };
        if (goal.sample) {
            std::vector<double> samples, baselineSamples;
            for (int r = 0; r < goal.rounds; ++r) {
                if (goal.baselineSample && r % 2)
                    baselineSamples.push_back(goal.baselineSample());
                samples.push_back(goal.sample());
                if (goal.baselineSample && r % 2 == 0)
                    baselineSamples.push_back(goal.baselineSample());
            }
            double base = goal.baselineSample ? median(baselineSamples) : goal.fixedBaseline.count();
            ratio = base > 0 ? median(samples) / base : 0;
            if (std::getenv("ZV_BENCH_VERBOSE")) {
                std::fprintf(stderr, "%s: samples (s)", goal.name.c_str());
                for (std::size_t r = 0; r < samples.size(); ++r)
                    std::fprintf(stderr, " %.6f/%.6f", samples[r],
                        r < baselineSamples.size() ? baselineSamples[r] : base);
                std::fprintf(stderr, "\n");
            }
        } else if (goal.baseline) {
            before(goal.beforeSubject);
            long subjectCalls = callsPerRound(goal.subject, goal.minRoundTime);
            before(goal.beforeBaseline);
            long baselineCalls = callsPerRound(goal.baseline, goal.minRoundTime);
            std::vector<double> subject, baseline;
            auto timeSubject = [&] {
                before(goal.beforeSubject);
                subject.push_back(timeRound(goal.subject, subjectCalls));
            };
            auto timeBaseline = [&] {
                before(goal.beforeBaseline);
                baseline.push_back(timeRound(goal.baseline, baselineCalls));
            };
            for (int r = 0; r < goal.rounds; ++r) {
                // Alternate which goes first, so neither always runs on a warmer cache.
                if (r % 2) {
                    timeBaseline();
                    timeSubject();
                } else {
                    timeSubject();
                    timeBaseline();
                }
            }
            auto statistic = [&](const std::vector<double>& times) {
                return goal.fastestRounds ? *std::min_element(times.begin(), times.end()) : median(times);
            };
            double base = statistic(baseline);
            ratio = base > 0 ? statistic(subject) / base : 0;
            if (std::getenv("ZV_BENCH_VERBOSE")) {
                std::fprintf(stderr, "%s: subject %.1f us (%ld calls a round), baseline %.1f us (%ld)\n",
                    goal.name.c_str(), statistic(subject) * 1e6, subjectCalls, base * 1e6, baselineCalls);
                for (int r = 0; r < goal.rounds; ++r)
                    std::fprintf(stderr, "  %.1f / %.1f\n", subject[r] * 1e6, baseline[r] * 1e6);
            }
        } else {
            double base = goal.fixedBaseline.count();
            ratio = base > 0 ? medianSeconds(goal.subject, goal.rounds, goal.minRoundTime) / base : 0;
        }
        bool ok = ratio > 0 && ratio <= goal.limit;
        missed += ok ? 0 : 1;
        std::printf(
            "%s ratio %.2f (goal <= %.2f) %s\n", goal.name.c_str(), ratio, goal.limit, ok ? "ok" : "MISS");
        std::fflush(stdout);
    }
    return missed;
}

}
