#include "app/MainController/Other/Tool/GCDTimer.h"
#include "platform/dispatch/DispatchQueue.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class GCDTimerTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        start = now();
    }
    void TearDown() override
    {
        timers.reset();
        zvtest::MainLoopTest::TearDown();
    }

    // An action that notes when it ran, relative to the test's start, and checks its thread.
    std::function<void()> recorder(std::vector<double>& runs)
    {
        return [this, &runs] {
            EXPECT_TRUE(DispatchQueue::isMainThread());
            runs.push_back(now() - start);
        };
    }

    std::shared_ptr<GCDTimer> timers = GCDTimer::create();
    double start = 0;
};

TEST_F(GCDTimerTest, RepeatingTimerRunsAtOnceThenEveryIntervalOnTheMainQueue)
{
    std::vector<double> runs, polls;
    timers->scheduledDispatchTimer("SocketHeartTimer", 30.0, 100, nullptr, true, false, recorder(runs));
    // Ignoring the first fire skips only the immediate one; a timer queue of its own changes
    // nothing about where the action runs (the recorder checks the main thread).
    auto serial = DispatchQueue::makeSerial("timer queue");
    timers->scheduledDispatchTimer("poll", 5.0, 0, serial.get(), true, true, recorder(polls));
    drain();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], 0);
    EXPECT_TRUE(polls.empty());
    advance(10);
    EXPECT_EQ(polls, (std::vector<double> { 5, 10 }));
    advance(19.9);
    EXPECT_EQ(runs.size(), 1u);
    advance(60.1);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_NEAR(runs[3], 90, 1e-9);
    EXPECT_TRUE(timers->isExistTimer("SocketHeartTimer"));
}

TEST_F(GCDTimerTest, SchedulingTheSameNameAgainReArmsOneTimerWithTheNewAction)
{
    std::vector<double> first, second;
    timers->scheduledDispatchTimer("SocketHeartTimer", 30.0, 100, nullptr, true, false, recorder(first));
    drain();
    advance(10);
    timers->scheduledDispatchTimer("SocketHeartTimer", 30.0, 100, nullptr, true, false, recorder(second));
    drain();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NEAR(second[0], 10, 1e-9); // at once
    advance(95);
    EXPECT_EQ(first.size(), 1u); // the first block never runs again
    // One timer only: the second action alone, every 30 s from its scheduling.
    EXPECT_EQ(second, (std::vector<double> { 10, 40, 70, 100 }));

    timers->cancelTimer("SocketHeartTimer");
    EXPECT_FALSE(timers->isExistTimer("SocketHeartTimer"));
    advance(60);
    EXPECT_EQ(second.size(), 4u);
}

TEST_F(GCDTimerTest, OneShotRunsOnceAfterOneIntervalAndUnregisters)
{
    for (bool ignoreFirst : { false, true }) {
        std::vector<double> runs;
        start = now();
        timers->scheduledDispatchTimer("once", 2.0, 0, nullptr, false, ignoreFirst, recorder(runs));
        drain();
        advance(1.99);
        EXPECT_TRUE(runs.empty());
        EXPECT_TRUE(timers->isExistTimer("once"));
        advance(0.01);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_NEAR(runs[0], 2.0, 1e-9);
        EXPECT_FALSE(timers->isExistTimer("once"));
        advance(10);
        EXPECT_EQ(runs.size(), 1u);
    }
}

}
