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
