#include "platform/dispatch/Clock.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/dispatch/Timer.h"
#include "tests/support/MainLoopTest.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using zvtest::MainLoopTest;

class RunLoopTest : public MainLoopTest {
protected:
    DispatchQueue& main = DispatchQueue::main();
    std::vector<std::string> log;

    std::function<void()> record(std::string name)
    {
        return [this, name = std::move(name)] { log.push_back(name); };
    }
};

TEST_F(RunLoopTest, RunsDueWorkByDeadlineThenPostingOrder)
{
    main.asyncAfter(DispatchTime::now() + 2.0, record("c@2"));
    main.asyncAfter(DispatchTime::now() + 1.0, record("a@1"));
    main.asyncAfter(DispatchTime::now() + 1.0, record("b@1"));
    main.async(record("post"));
    EXPECT_TRUE(log.empty()) << "nothing runs before the loop turns";

    advance(0.5);
    EXPECT_EQ(log, (std::vector<std::string> { "post" }));
    advance(0.5);
    EXPECT_EQ(log, (std::vector<std::string> { "post", "a@1", "b@1" }));
    advance(0.999);
    EXPECT_EQ(log.size(), 3u);
    advance(0.001);
    EXPECT_EQ(log.back(), "c@2");
    EXPECT_DOUBLE_EQ(now(), 1002.0);
}

TEST_F(RunLoopTest, DueWorkSeesTheClockAtItsDeadline)
{
    std::vector<double> times;
    for (double delay : { 0.25, 1.5, 2.75 })
        main.asyncAfter(DispatchTime::now() + delay, [&] { times.push_back(now()); });
    advance(3.0);
    EXPECT_EQ(times, (std::vector<double> { 1000.25, 1001.5, 1002.75 }));
    EXPECT_DOUBLE_EQ(now(), 1003.0) << "time ends exactly at the target";
}

TEST_F(RunLoopTest, PostFromDueWorkQueuesBehindWorkDueAtTheSameTime)
{
    main.asyncAfter(DispatchTime::now() + 1.0, [&] {
        log.push_back("A");
        main.async(record("posted by A"));
    });
    main.asyncAfter(DispatchTime::now() + 1.0, record("B"));
    advance(1.0);
    EXPECT_EQ(log, (std::vector<std::string> { "A", "B", "posted by A" }));
}

TEST_F(RunLoopTest, PostsFromOtherThreadsArriveInPostingOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPosts = 500;
    std::vector<std::pair<int, int>> seen; // touched on the main thread only
    bool allOnMain = true;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) {
                main.async([&, t, i] {
                    allOnMain = allOnMain && DispatchQueue::isMainThread();
                    seen.emplace_back(t, i);
                });
            }
        });
    }
    // Runs the posts while the threads are still posting.
    EXPECT_TRUE(runUntil([&] { return seen.size() == kThreads * kPosts; }));
    for (auto& thread : threads)
        thread.join();

    EXPECT_TRUE(allOnMain);
    std::vector<int> next(kThreads, 0);
    for (auto [t, i] : seen) {
        ASSERT_EQ(i, next[t]) << "thread " << t;
        ++next[t];
    }
}

// A test waits for what a server thread logs, which posts nothing to the main loop.
TEST_F(RunLoopTest, RunUntilSeesAConditionAnotherThreadSetsWithoutPosting)
{
    std::atomic<bool> set { false };
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        set = true;
    });
    const double start = Clock::realNow();
    EXPECT_TRUE(runUntil([&] { return set.load(); }, 5.0));
    EXPECT_LT(Clock::realNow() - start, 2.0) << "seen long before the time-out";
    setter.join();
}

TEST_F(RunLoopTest, ResetDropsWorkTimersAndTheirCaptures)
{
    auto token = std::make_shared<int>(7);
    std::weak_ptr<int> watch = token;
    int runs = 0;
    main.async([&runs, token] { ++runs; });
    main.asyncAfter(DispatchTime::now() + 1.0, [&runs, token] { ++runs; });
    auto timer = Timer::scheduledTimer(1.0, true, [&runs, token](Timer&) { ++runs; });
    token.reset();
    EXPECT_EQ(loop().pendingCount(), 3u);

    loop().reset();
    EXPECT_EQ(loop().pendingCount(), 0u);
    EXPECT_FALSE(timer->isValid());
    EXPECT_TRUE(watch.expired());
    advance(10.0);
    EXPECT_EQ(runs, 0);
}

TEST_F(RunLoopTest, RunJumpsVirtualTimeUntilStopped)
{
    main.asyncAfter(DispatchTime::now() + 2.0, record("work"));
    main.asyncAfter(DispatchTime::now() + 5.0, [&] { loop().stop(); });
    main.asyncAfter(DispatchTime::now() + 9.0, record("after stop"));
    loop().run();
    EXPECT_EQ(log, (std::vector<std::string> { "work" }));
    EXPECT_DOUBLE_EQ(now(), 1005.0);
}

TEST(RealClockRunLoopTest, RunWakesForRealDeadlines)
{
    ASSERT_FALSE(Clock::isVirtual());
    std::vector<std::string> log;
    const double start = Clock::now();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.02, [&] {
        log.push_back("second");
        RunLoop::main().stop();
    });
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.01, [&] { log.push_back("first"); });
    RunLoop::main().run();
    EXPECT_EQ(log, (std::vector<std::string> { "first", "second" }));
    EXPECT_GE(Clock::now() - start, 0.02);
}

TEST_F(RunLoopTest, StopFromAnotherThreadEndsRun)
{
    std::thread other([&] {
        main.async(record("posted"));
        loop().stop();
    });
    loop().run();
    other.join();
    drain(); // the post may land after the stop
    EXPECT_EQ(log, (std::vector<std::string> { "posted" }));
}

TEST_F(RunLoopTest, LoopEntryPointsRefuseOtherThreads)
{
    main.async(record("main only"));
    bool ranOffMain = false;
    std::thread other([&] {
        RunLoop::main().drain();
        RunLoop::main().advance(5.0);
        ranOffMain = !log.empty();
    });
    other.join();
    EXPECT_FALSE(ranOffMain);
    EXPECT_DOUBLE_EQ(now(), 1000.0);
    drain();
    EXPECT_EQ(log.size(), 1u);
}

}
