// The device's volume and brightness: held to 0...1, the volume played by every libmpv engine
// alive and by one made later, the brightness as the screen's backlight.

#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/media/SJMPVPlaybackController.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/UIScreen.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

class DeviceLevelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunLoop::main().reset();
        levels().resetForTesting();
    }
    void TearDown() override
    {
        levels().resetForTesting();
        RunLoop::main().reset();
    }

    static SJDeviceVolumeAndBrightnessController& levels() { return SJDeviceVolumeAndBrightnessController::shared(); }

    static std::shared_ptr<SJMPVPlaybackController> engine()
    {
        auto made = SJMPVPlaybackController::make();
        EXPECT_TRUE(made) << "libmpv does not start";
        return made;
    }

    static std::size_t volumeObservers()
    {
        std::size_t count = 0;
        for (const auto& record : NotificationCenter::defaultCenter().observers())
            count += record.name == SJDeviceVolumeDidChangeNotification;
        return count;
    }
};

}

TEST_F(DeviceLevelsTest, LevelsAreHeldBetweenZeroAndOneAndOneThatIsNoNumberIsZero)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float infinity = std::numeric_limits<float>::infinity();
    struct Case {
        float set;
        float kept;
    };
    for (Case c : { Case { 0.37f, 0.37f }, { 0, 0 }, { 1, 1 }, { -0.5f, 0 }, { 1.8f, 1 }, { nan, 0 },
             { infinity, 0 } }) {
        levels().resetForTesting();
        levels().setVolume(c.set);
        levels().setBrightness(c.set);
        EXPECT_EQ(levels().volume(), c.kept) << c.set;
        EXPECT_EQ(levels().brightness(), c.kept) << c.set;
        EXPECT_EQ(UIScreen::main().brightness(), c.kept) << c.set << ": the brightness is the backlight's";
    }
}

TEST_F(DeviceLevelsTest, TheDeviceStartsAtFullLevelsAndAMovedBacklightAsksForAFrame)
{
    EXPECT_EQ(levels().volume(), 1.0f);
    EXPECT_EQ(levels().brightness(), 1.0f);
    std::uint64_t drawn = DisplayUpdates::generation();
    levels().setBrightness(0.4f);
    EXPECT_GT(DisplayUpdates::generation(), drawn) << "a live screen presents its frame at the new level";
    drawn = DisplayUpdates::generation();
    levels().setBrightness(0.4f);
    EXPECT_EQ(DisplayUpdates::generation(), drawn) << "the same level, nothing new to show";

    // Only a move of the volume tells the engines.
    int told = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        SJDeviceVolumeDidChangeNotification, [&](const Notification&) { ++told; });
    levels().setBrightness(0.9f);
    levels().setVolume(0.6f);
    levels().setVolume(0.6f);
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(told, 1);
}

TEST_F(DeviceLevelsTest, EachLevelIsTheEnginesVolumeFromSilenceToItsFullVolume)
{
    auto playing = engine();
    ASSERT_TRUE(playing);
    struct Case {
        float level;
        double volume;
    };
    for (Case c : { Case { 0, 0 }, { 0.1f, 10 }, { 0.5f, 50 }, { 0.73f, 73 }, { 1, 100 } }) {
        levels().setVolume(c.level);
        EXPECT_NEAR(SJMPVPlaybackController::volumeForLevel(c.level), c.volume, 1e-4) << c.level;
        // libmpv's own property, of an engine alive and of one made now.
        ASSERT_TRUE(playing->engineVolume()) << c.level;
        EXPECT_NEAR(*playing->engineVolume(), c.volume, 1e-3) << c.level;
        auto later = engine();
        ASSERT_TRUE(later && later->engineVolume()) << c.level;
        EXPECT_NEAR(*later->engineVolume(), c.volume, 1e-3) << c.level;
    }
    // Never beyond the engine's range, and never amplified.
    for (double level : { -1.0, 1.5, std::nan("") })
        EXPECT_EQ(SJMPVPlaybackController::volumeForLevel(level), level > 1 ? 100 : 0) << level;
}

TEST_F(DeviceLevelsTest, AnEngineFollowsTheVolumeWhileItLivesAndIsDroppedWhenItGoes)
{
    std::size_t before = volumeObservers();
    auto first = engine();
    auto second = engine();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(volumeObservers(), before + 2);

    first.reset();
    EXPECT_EQ(volumeObservers(), before + 1);
    levels().setVolume(0.2f);
    EXPECT_NEAR(second->engineVolume().value_or(-1), 20, 1e-3);

    second.reset();
    EXPECT_EQ(volumeObservers(), before);
    levels().setVolume(0.7f);
}
