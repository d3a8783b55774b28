// The device's volume as libmpv's own volume property, of engines alive and made later.

#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/media/SJMPVPlaybackController.h"

#include <gtest/gtest.h>
#include <limits>

TEST(DeviceLevels, EachLevelIsTheVolumeOfEveryEngineAliveAndOfOneMadeLaterAndAGoneOneIsDropped)
{
    auto& levels = SJDeviceVolumeAndBrightnessController::shared();
    auto observers = [] {
        std::size_t count = 0;
        for (const auto& record : NotificationCenter::defaultCenter().observers())
            count += record.name == SJDeviceVolumeDidChangeNotification;
        return count;
    };
    std::size_t before = observers();
    auto playing = SJMPVPlaybackController::make();
    ASSERT_TRUE(playing);
    struct Case {
        float level;
        double volume;
    };
    // Out of the range is held to it; a level that is no number is silence.
    for (Case c : { Case { 0, 0 }, { 0.1f, 10 }, { 0.73f, 73 }, { 1, 100 }, { -0.5f, 0 }, { 1.8f, 100 },
             { std::numeric_limits<float>::quiet_NaN(), 0 } }) {
        levels.setVolume(c.level);
        EXPECT_NEAR(levels.volume() * 100, c.volume, 1e-3) << c.level;
        auto later = SJMPVPlaybackController::make();
        ASSERT_TRUE(later);
        EXPECT_NEAR(playing->engineVolume().value_or(-1), c.volume, 1e-3) << c.level;
        EXPECT_NEAR(later->engineVolume().value_or(-1), c.volume, 1e-3) << c.level;
        EXPECT_EQ(observers(), before + 2);
    }
    playing.reset();
    EXPECT_EQ(observers(), before);
    levels.resetForTesting();
    RunLoop::main().reset();
}
