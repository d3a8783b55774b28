#include "platform/dispatch/DispatchGroup.h"
#include "platform/dispatch/DispatchOnce.h"
#include "platform/dispatch/DispatchQueue.h"
#include "tests/support/MainLoopTest.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

using zvtest::MainLoopTest;

class QueueTest : public MainLoopTest { };

TEST_F(QueueTest, SerialQueueRunsOneItemAtATimeInPostingOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPosts = 300;
    auto queue = DispatchQueue::makeSerial("serial");
    EXPECT_EQ(queue->label(), "serial");
    std::vector<std::pair<int, int>> seen; // touched by the queue's items only
    std::atomic<bool> inside { false };
    std::atomic<int> overlaps { 0 };
    std::atomic<int> onMain { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) {
                queue->async([&, t, i] {
                    if (inside.exchange(true))
                        ++overlaps;
                    if (DispatchQueue::isMainThread())
                        ++onMain;
                    seen.emplace_back(t, i);
                    inside = false;
                });
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    drain(); // waits for the workers

    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(onMain.load(), 0);
    ASSERT_EQ(seen.size(), size_t(kThreads * kPosts));
    std::vector<int> next(kThreads, 0);
    for (auto [t, i] : seen) {
        ASSERT_EQ(i, next[t]) << "thread " << t;
        ++next[t];
    }
}

TEST_F(QueueTest, GlobalWorkPostsItsResultBackToMain)
{
    std::atomic<bool> workerOnMain { true };
    bool resultOnMain = false;
    int result = 0;
    DispatchQueue::global().async([&] {
        workerOnMain = DispatchQueue::isMainThread();
        int sum = 0;
        for (int i = 1; i <= 100; ++i)
            sum += i;
        DispatchQueue::main().async([&, sum] {
            resultOnMain = DispatchQueue::isMainThread();
            result = sum;
        });
    });
    EXPECT_TRUE(runUntil([&] { return result != 0; }));
    EXPECT_FALSE(workerOnMain.load());
    EXPECT_TRUE(resultOnMain);
    EXPECT_EQ(result, 5050);
}

TEST_F(QueueTest, DelayedWorkOnAnyQueueWaitsForVirtualTime)
{
    auto queue = DispatchQueue::makeSerial("delayed");
    std::atomic<double> ranAt { 0 };
    std::atomic<bool> ranOnMain { true };
    queue->asyncAfter(DispatchTime::now() + 2.0, [&] {
        ranAt = now();
        ranOnMain = DispatchQueue::isMainThread();
    });
    DispatchQueue::global().asyncAfter(DispatchTime::now() + 2.5, [&] { ranAt = now(); });
    queue.reset(); // pending work keeps the queue alive

    advance(1.999);
    EXPECT_EQ(ranAt.load(), 0.0);
    advance(0.001);
    EXPECT_DOUBLE_EQ(ranAt.load(), 1002.0);
    EXPECT_FALSE(ranOnMain.load());
    advance(0.5);
    EXPECT_DOUBLE_EQ(ranAt.load(), 1002.5);
}

TEST_F(QueueTest, AdvanceWaitsForBackgroundWorkStartedByDueWork)
{
    std::vector<double> done;
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 1.0, [&] {
        DispatchQueue::global().async([&] { DispatchQueue::main().async([&] { done.push_back(now()); }); });
    });
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 2.0, [&] { done.push_back(now()); });
    advance(2.0);
    EXPECT_EQ(done, (std::vector<double> { 1001.0, 1002.0 }));
}

TEST_F(QueueTest, GroupNotifiesOnceEveryEnteredJobHasLeft)
{
    DispatchGroup group;
    int notified = 0;
    for (int i = 0; i < 3; ++i)
        group.enter();
    group.notify(DispatchQueue::main(), [&] { ++notified; });
    group.leave();
    DispatchGroup copy = group; // copies share the group
    std::thread([copy]() mutable { copy.leave(); }).join();
    drain();
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(group.pendingCount(), 1);

    DispatchQueue::global().async([group]() mutable { group.leave(); });
    EXPECT_TRUE(runUntil([&] { return notified == 1; }));

    group.leave(); // unbalanced: ignored
    EXPECT_EQ(group.pendingCount(), 0);
    group.notify(DispatchQueue::main(), [&] { ++notified; });
    drain();
    EXPECT_EQ(notified, 2) << "an empty group notifies at once";

    group.enter();
    group.notify(DispatchQueue::main(), [&] { ++notified; });
    drain();
    EXPECT_EQ(notified, 2) << "the unbalanced leave did not count ahead";
    group.leave();
    drain();
    EXPECT_EQ(notified, 3);
}

}
