#include "app/Core/Helpers/Debounce.h"
#include "platform/dispatch/DispatchQueue.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class Debounce : public zvtest::MainLoopTest {
protected:
    // Run times of the action, relative to the test's start.
    std::vector<double> runs;
    double start = 0;

    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        start = now();
    }

    std::function<void()> makeDebounced(double interval)
    {
        return debounce(interval, DispatchQueue::main(), [this] {
            EXPECT_TRUE(DispatchQueue::isMainThread());
            runs.push_back(now() - start);
        });
    }
};

TEST_F(Debounce, BurstRunsOnceOneIntervalAfterItsFirstCall)
{
    auto call = makeDebounced(0.5);
    for (int i = 0; i < 5; ++i) {
        call();
        advance(0.01); // five calls within a tenth of the interval
    }
    advance(0.44); // t = 0.49
    EXPECT_TRUE(runs.empty());
    advance(0.01);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NEAR(runs[0], 0.5, 1e-9);
    advance(2); // the four later checks find the action ran after their calls: dropped
    EXPECT_EQ(runs.size(), 1u);

    // A sixth call after that run runs one interval after it was made.
    call();
    advance(0.5);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[1], 2.5 + 0.5, 1e-9);
}

TEST_F(Debounce, CallMadeBeforeARunIsDroppedAndSpacedCallsEachRun)
{
    auto call = makeDebounced(0.5);
    call(); // t = 0: runs at 0.5
    advance(0.3);
    call(); // t = 0.3: its check at 0.8 sees the run at 0.5, within the interval
    advance(0.3);
    call(); // t = 0.6, after the run: runs at 1.1
    advance(2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0], 0.5, 1e-9);
    EXPECT_NEAR(runs[1], 1.1, 1e-9);

    // Calls spaced wider than the interval each run.
    runs.clear();
    auto spaced = makeDebounced(0.2);
    for (int i = 0; i < 3; ++i) {
        spaced();
        advance(0.25);
    }
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_NEAR(runs[2] - runs[0], 0.5, 1e-9);
}

}
