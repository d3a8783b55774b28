#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/DispatchSource.h"
#include "tests/support/MainLoopTest.h"

#include <atomic>
#include <gtest/gtest.h>
#include <vector>

namespace {

using zvtest::MainLoopTest;

class DispatchSourceTest : public MainLoopTest {
protected:
    std::vector<double> fires; // main thread only

    // Like the app's named timers: the source runs on the global queue and its handler hops to
    // the main queue before acting.
    std::shared_ptr<DispatchSourceTimer> makeGlobalSourceRecordingOnMain()
    {
        auto source = DispatchSource::makeTimerSource();
        source->setEventHandler([this] { DispatchQueue::main().async([this] { fires.push_back(now()); }); });
        return source;
    }
};

TEST_F(DispatchSourceTest, RepeatingSourceOnGlobalQueueFiresAtOnceThenEveryInterval)
{
    auto source = makeGlobalSourceRecordingOnMain();
    source->resume();
    source->schedule(DispatchTime::now(), 30.0, 0.1);
    drain();
    EXPECT_EQ(fires, (std::vector<double> { 1000.0 }));
    advance(29.9);
    EXPECT_EQ(fires.size(), 1u);
    advance(0.1);
    advance(60.0);
    EXPECT_EQ(fires, (std::vector<double> { 1000.0, 1030.0, 1060.0, 1090.0 }));
    source->cancel();
}

TEST_F(DispatchSourceTest, ReArmingReplacesTheSchedule)
{
    auto source = makeGlobalSourceRecordingOnMain();
    source->resume();
    source->schedule(DispatchTime::now() + 10.0, 0);
    source->schedule(DispatchTime::now() + 2.0, 0);
    advance(20.0);
    EXPECT_EQ(fires, (std::vector<double> { 1002.0 })) << "one shot, at the new deadline only";

    // A repeating timer armed again fires at once and starts a new grid.
    source->schedule(DispatchTime::now(), 30.0);
    advance(10.0);
    source->schedule(DispatchTime::now(), 30.0);
    advance(40.0);
    EXPECT_EQ(fires, (std::vector<double> { 1002.0, 1020.0, 1030.0, 1060.0 }));
    source->cancel();
}

TEST_F(DispatchSourceTest, CancelledSourceStaysSilentEvenWithAFireQueued)
{
    auto source = DispatchSource::makeTimerSource(&DispatchQueue::main());
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    int runs = 0;
    source->setEventHandler([&runs, token] { ++runs; });
    token.reset();
    source->resume();
    source->schedule(DispatchTime::now() + 1.0, 1.0);
    // Due at the same moment, after the source: its fire is then queued on the main queue but
    // has not run yet.
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 1.0, [&] { source->cancel(); });

    advance(1.0);
    EXPECT_TRUE(source->isCancelled());
    EXPECT_TRUE(watch.expired()) << "cancel releases the handler";
    advance(5.0);
    EXPECT_EQ(runs, 0);

    source->schedule(DispatchTime::now(), 1.0);
    source->setEventHandler([&] { ++runs; });
    source->resume();
    advance(5.0);
    EXPECT_EQ(runs, 0) << "a cancelled source cannot be armed again";
}

TEST_F(DispatchSourceTest, ResetDisarmsUntilScheduledAgain)
{
    auto source = makeGlobalSourceRecordingOnMain();
    source->resume();
    source->schedule(DispatchTime::now() + 1.0, 1.0);
    loop().reset();
    advance(3.0);
    EXPECT_TRUE(fires.empty());
    source->schedule(DispatchTime::now() + 1.0, 1.0);
    advance(2.0);
    EXPECT_EQ(fires, (std::vector<double> { 1004.0, 1005.0 }));
    source->cancel();
}

}
