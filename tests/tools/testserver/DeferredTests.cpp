// A sample built at its first use: requests that meet there share one build, and a build that
// failed is not tried again.

#include "tools/testserver/Deferred.h"

#include <atomic>
#include <barrier>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using testserver::Deferred;

namespace {

constexpr int kThreads = 8;

struct Sample {
    int value = 0;
};

// What each of kThreads threads, let go together at the first get(), got.
struct Outcome {
    std::vector<std::shared_ptr<Sample>> values;
    std::vector<std::string> errors;
};

Outcome getTogether(Deferred<Sample>& deferred)
{
    Outcome outcome { std::vector<std::shared_ptr<Sample>>(kThreads), std::vector<std::string>(kThreads) };
    std::barrier start(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            outcome.values[i] = deferred.get(&outcome.errors[i]);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return outcome;
}

}

TEST(DeferredTest, ConcurrentFirstRequestsShareOneBuildAndAFailureIsKeptWithoutASecondTry)
{
    struct Case {
        const char* what;
        bool builds;
    };
    for (const Case& c : { Case { "a build that succeeds", true }, Case { "a build that fails", false } }) {
        SCOPED_TRACE(c.what);
        std::atomic<int> builds = 0;
        Deferred<Sample> deferred([&builds, &c](std::string* error) -> std::shared_ptr<Sample> {
            ++builds;
            // Long enough for every other thread to arrive while it runs.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!c.builds) {
                *error = "search.json: not JSON";
                return nullptr;
            }
            return std::make_shared<Sample>(Sample { 7 });
        });

        Outcome first = getTogether(deferred);
        EXPECT_EQ(builds, 1);
        for (int i = 0; i < kThreads; ++i) {
            EXPECT_EQ(first.values[i], first.values[0]) << i;
            EXPECT_EQ(first.errors[i], c.builds ? "" : "search.json: not JSON") << i;
        }
        EXPECT_EQ(first.values[0] != nullptr, c.builds);

        // Later requests get what the first build left, without another.
        std::string error;
        EXPECT_EQ(deferred.get(&error), first.values[0]);
        EXPECT_EQ(error, first.errors[0]);
        EXPECT_EQ(builds, 1);
    }
}
