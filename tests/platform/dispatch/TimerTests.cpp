#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/Timer.h"
#include "tests/support/MainLoopTest.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using zvtest::MainLoopTest;

class TimerTest : public MainLoopTest { };

TEST_F(TimerTest, OneSecondRepeatingTimerTicksThreeTimesInThreeSeconds)
{
    std::vector<double> ticks;
    auto timer = Timer::scheduledTimer(1.0, true, [&](Timer&) { ticks.push_back(now()); });
    advance(3.0);
    EXPECT_EQ(ticks, (std::vector<double> { 1001.0, 1002.0, 1003.0 }));
    EXPECT_TRUE(timer->isValid());
    EXPECT_EQ(timer->fireDate(), DispatchTime { 1004.0 });
    timer->invalidate();
}

// The launch screen's skip button: shows 3 at once, then 2, 1 and 0 a second apart; the tick
// that shows 0 stops the timer.
TEST_F(TimerTest, CountdownStartedWithFireShowsEachSecondOnce)
{
    int second = 3;
    std::vector<std::string> shown;
    auto timer = Timer::scheduledTimer(1.0, true, [&](Timer& t) {
        shown.push_back("skip " + std::to_string(second));
        if (second == 0)
            t.invalidate();
        else
            --second;
    });
    timer->fire();
    EXPECT_EQ(shown, (std::vector<std::string> { "skip 3" }));

    advance(3.0);
    EXPECT_EQ(shown, (std::vector<std::string> { "skip 3", "skip 2", "skip 1", "skip 0" }));
    EXPECT_FALSE(timer->isValid());
    advance(5.0);
    EXPECT_EQ(shown.size(), 4u);
}

TEST_F(TimerTest, FireDoesNotMoveTheSchedule)
{
    std::vector<double> ticks;
    auto timer = Timer::scheduledTimer(1.0, true, [&](Timer&) { ticks.push_back(now()); });
    advance(0.4);
    timer->fire();
    EXPECT_EQ(timer->fireDate(), DispatchTime { 1001.0 });
    advance(0.6);
    advance(1.0);
    EXPECT_EQ(ticks, (std::vector<double> { 1000.4, 1001.0, 1002.0 }));
    timer->invalidate();
}

TEST_F(TimerTest, NonRepeatingTimerFiresOnceAndInvalidatesItself)
{
    int runs = 0;
    bool validDuringAction = false;
    auto timer = Timer::scheduledTimer(10.0, false, [&](Timer& t) {
        ++runs;
        validDuringAction = t.isValid();
    });
    EXPECT_EQ(timer->timeInterval(), 0.0) << "as on the platform";
    advance(9.9);
    EXPECT_EQ(runs, 0);
    advance(0.1);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(validDuringAction);
    EXPECT_FALSE(timer->isValid());
    advance(30.0);
    EXPECT_EQ(runs, 1);
}

TEST_F(TimerTest, FireOfNonRepeatingTimerRunsOnceAndInvalidates)
{
    int runs = 0;
    auto timer = Timer::scheduledTimer(5.0, false, [&](Timer&) { ++runs; });
    timer->fire();
    EXPECT_FALSE(timer->isValid());
    timer->fire();
    advance(10.0);
    EXPECT_EQ(runs, 1);
}

TEST_F(TimerTest, RepeatingTimerKeepsItsGridWhateverTheSteps)
{
    std::vector<double> ticks;
    auto timer = Timer::scheduledTimer(0.3, true, [&](Timer&) { ticks.push_back(now()); });
    EXPECT_DOUBLE_EQ(timer->timeInterval(), 0.3);
    for (double step : { 0.25, 0.5, 0.05, 0.7, 0.33, 0.17, 1.0 })
        advance(step);
    ASSERT_EQ(ticks.size(), 10u);
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_NEAR(ticks[i], 1000.0 + 0.3 * double(i + 1), 1e-9) << i;
    timer->invalidate();
}

TEST_F(TimerTest, RunLoopKeepsTimerAliveUntilInvalidated)
{
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    std::weak_ptr<Timer> weakTimer;
    {
        auto timer = Timer::scheduledTimer(1.0, true, [token](Timer& t) {
            if (++*token == 2)
                t.invalidate();
        });
        weakTimer = timer;
    }
    token.reset();
    advance(1.0);
    ASSERT_FALSE(weakTimer.expired()) << "nobody else holds it, the run loop does";
    EXPECT_EQ(*watch.lock(), 1);
    advance(1.0);
    EXPECT_TRUE(weakTimer.expired()) << "released with its action once invalidated";
    EXPECT_TRUE(watch.expired());
}

TEST_F(TimerTest, InvalidateBeforeTheFirstFireReleasesTheTimer)
{
    int runs = 0;
    std::weak_ptr<Timer> weakTimer;
    {
        auto timer = Timer::scheduledTimer(1.0, true, [&](Timer&) { ++runs; });
        weakTimer = timer;
        timer->invalidate();
    }
    EXPECT_TRUE(weakTimer.expired());
    EXPECT_EQ(loop().pendingCount(), 0u);
    advance(5.0);
    EXPECT_EQ(runs, 0);
}

struct Screen {
    int ticks = 0;
    void tick(Timer&) { ++ticks; }
};

TEST_F(TimerTest, TargetIsHeldWeaklyAndItsLossInvalidatesTheTimer)
{
    auto screen = std::make_shared<Screen>();
    auto timer = Timer::scheduledTimer(1.0, screen, &Screen::tick, true);
    advance(2.0);
    EXPECT_EQ(screen->ticks, 2);
    EXPECT_EQ(screen.use_count(), 1);

    screen.reset();
    advance(1.0);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(TimerTest, TimersRunOnTheMainThreadAfterPostsDueEarlier)
{
    std::vector<std::string> log;
    bool onMain = false;
    auto timer = Timer::scheduledTimer(1.0, false, [&](Timer&) {
        onMain = DispatchQueue::isMainThread();
        log.push_back("timer");
    });
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 1.0, [&] { log.push_back("after, same time"); });
    DispatchQueue::main().async([&] { log.push_back("post"); });
    advance(1.0);
    EXPECT_TRUE(onMain);
    EXPECT_EQ(log, (std::vector<std::string> { "post", "timer", "after, same time" }));
}

}
