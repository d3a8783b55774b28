#include "platform/dispatch/Clock.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/dispatch/Timer.h"
#include "tests/support/MainLoopTest.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
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
    // One base for both deadlines: a pause between the two posts must not reorder them.
    const DispatchTime base = DispatchTime::now();
    DispatchQueue::main().asyncAfter(base + 0.02, [&] {
        log.push_back("second");
        RunLoop::main().stop();
    });
    DispatchQueue::main().asyncAfter(base + 0.01, [&] { log.push_back("first"); });
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

// A waiter that sleeps on its own condition variable and keeps the deadlines it was given.
class RecordingWaiter : public RunLoopWaiter {
public:
    void wait(std::optional<double> realDeadline) override
    {
        std::unique_lock lock(m_mutex);
        deadlines.push_back(realDeadline);
        waits.fetch_add(1);
        auto woken = [&] { return m_woken; };
        if (realDeadline) {
            auto until = std::chrono::steady_clock::time_point(
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(*realDeadline)));
            m_wake.wait_until(lock, until, woken);
        } else {
            m_wake.wait(lock, woken);
        }
        m_woken = false;
    }
    void wake() override
    {
        wakes.fetch_add(1);
        // Called with the run loop's schedule locked: only our own lock here.
        std::lock_guard lock(m_mutex);
        m_woken = true;
        m_wake.notify_all();
    }

    std::vector<std::optional<double>> deadlines; // main thread only
    std::atomic<int> wakes { 0 };
    std::atomic<int> waits { 0 };

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_woken = false;
};

class RunLoopWaiterTest : public MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        Clock::useReal();
        RunLoop::main().setWaiter(&waiter);
    }
    void TearDown() override
    {
        RunLoop::main().setWaiter(nullptr);
        MainLoopTest::TearDown();
    }
    RecordingWaiter waiter;
};

TEST_F(RunLoopWaiterTest, PostsFromAnyThreadWakeTheWaiterAndStopEndsTheRun)
{
    std::vector<std::string> log;
    std::thread worker([&] {
        // Once the main thread sleeps in the waiter.
        for (int i = 0; i < 5000 && waiter.waits.load() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        DispatchQueue::main().async([&] {
            log.push_back("from the worker");
            std::thread([] { RunLoop::main().stop(); }).detach();
        });
    });
    // Nothing is due: the run sleeps in the waiter without a deadline until the worker posts,
    // then until the stop.
    RunLoop::main().run();
    worker.join();
    EXPECT_EQ(log, (std::vector<std::string> { "from the worker" }));
    ASSERT_FALSE(waiter.deadlines.empty());
    EXPECT_FALSE(waiter.deadlines.front()) << "nothing timed: no deadline";
    EXPECT_GE(waiter.wakes.load(), 2) << "the post and the stop";
}

TEST_F(RunLoopWaiterTest, TheWaiterSleepsUntilTheNextDeadlineOrTheRunsEnd)
{
    bool fired = false;
    double start = Clock::realNow();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.05, [&] {
        fired = true;
        RunLoop::main().stop();
    });
    RunLoop::main().run();
    EXPECT_TRUE(fired);
    ASSERT_FALSE(waiter.deadlines.empty());
    ASSERT_TRUE(waiter.deadlines.front()) << "the timer's deadline, not none";
    EXPECT_NEAR(*waiter.deadlines.front(), start + 0.05, 0.04);

    // runUntil() looks at its condition every few milliseconds, never past its own end.
    waiter.deadlines.clear();
    double end = Clock::realNow() + 0.02;
    EXPECT_FALSE(RunLoop::main().runUntil([] { return false; }, 0.02));
    ASSERT_FALSE(waiter.deadlines.empty());
    for (const auto& deadline : waiter.deadlines) {
        ASSERT_TRUE(deadline);
        EXPECT_LE(*deadline, end + 0.001);
    }
    EXPECT_NEAR(*waiter.deadlines.back(), end, 0.01);

    // Taken away, the waiter hears of nothing more.
    RunLoop::main().setWaiter(nullptr);
    int wakes = waiter.wakes.load();
    DispatchQueue::main().async([] {});
    RunLoop::main().drain();
    EXPECT_EQ(waiter.wakes.load(), wakes);
}

}
