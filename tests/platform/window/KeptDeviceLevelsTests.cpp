// The device's volume and brightness kept in a file across starts of the window: what a start
// makes of each kind of file, and when moved levels reach it (on the virtual clock).

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/window/KeptDeviceLevels.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using Levels = DeviceLevelsFile::Levels;

class KeptLevelsTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        Log::setSink([this](std::string_view line) { logged.emplace_back(line); });
    }
    void TearDown() override
    {
        Log::setSink({});
        device.resetForTesting();
        MainLoopTest::TearDown();
    }

    static std::optional<Levels> written(const std::filesystem::path& file)
    {
        auto data = FileSystem::readFile(file);
        return data ? DeviceLevelsFile::parse(stringFromData(*data)) : std::nullopt;
    }

    SJDeviceVolumeAndBrightnessController& device = SJDeviceVolumeAndBrightnessController::shared();
    std::vector<std::string> logged;
};

}

TEST_F(KeptLevelsTest, AStartTakesTheKeptLevelsAndAnyOtherFileStartsFullToldAndLeftUnharmed)
{
    using Outcome = DeviceLevelsFile::Read::Outcome;
    struct Case {
        std::optional<std::string> text; // none: no file; "/": a folder in its place
        Outcome outcome;
        Levels start;
    };
    const Case cases[] {
        { std::nullopt, Outcome::Missing, { 1, 1 } },
        { R"({"volume":0.25,"brightness":0.5})", Outcome::Read, { 0.25f, 0.5f } },
        { R"({"volume":-2,"brightness":7,"later":true})", Outcome::Read, { 0, 1 } },
        { R"({"brightness":0.125})", Outcome::Read, { 1, 0.125f } },
        { R"({"volume":"loud","brightness":0.5})", Outcome::Damaged, { 1, 1 } },
        { "{\"volume\":0.2", Outcome::Damaged, { 1, 1 } },
        { "[0.2,0.3]", Outcome::Damaged, { 1, 1 } },
        { std::string(5000, ' ') + "{}", Outcome::Damaged, { 1, 1 } },
        { "/", Outcome::Unreadable, { 1, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.value_or("none").substr(0, 40));
        zvtest::TempDir folder;
        std::filesystem::path file = folder / "device.json";
        if (c.text == "/")
            std::filesystem::create_directory(file);
        else if (c.text)
            std::ofstream(file) << *c.text;
        logged.clear();
        device.setVolume(0.7f);

        auto kept = std::make_unique<KeptDeviceLevels>(file);
        EXPECT_EQ(kept->readOutcome(), c.outcome);
        EXPECT_EQ((Levels { device.volume(), device.brightness() }), c.start);
        bool told = c.outcome == Outcome::Damaged || c.outcome == Outcome::Unreadable;
        EXPECT_EQ(logged.size(), told ? 1u : 0u);
        // A damaged file is moved aside, nothing else is moved.
        EXPECT_EQ(FileSystem::list(folder.path()).size(), c.text ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(file), c.text && c.outcome != Outcome::Damaged);

        // A level moved is written as the window goes, but never over a file that was not read.
        device.setVolume(0.375f);
        kept.reset();
        std::optional<Levels> moved = Levels { 0.375f, c.start.brightness };
        EXPECT_EQ(written(file), c.outcome == Outcome::Unreadable ? std::nullopt : moved);
        EXPECT_EQ(logged.size(), told ? 1u : 0u) << "a write was tried";
    }
}

TEST_F(KeptLevelsTest, MovedLevelsAreWrittenOnceAnIntervalAndNotWhenPutBack)
{
    zvtest::TempDir folder;
    std::filesystem::path file = folder / "device.json";
    KeptDeviceLevels kept(file);
    // A slider dragged: one write, of where it stands when the interval ends.
    device.setBrightness(0.5f);
    advance(KeptDeviceLevels::writeInterval / 2);
    device.setBrightness(0.25f);
    advance(KeptDeviceLevels::writeInterval / 2 - 0.01);
    EXPECT_FALSE(written(file));
    advance(0.01);
    EXPECT_EQ(written(file), (Levels { 1, 0.25f }));

    std::filesystem::remove(file);
    device.setVolume(0.5f);
    device.setVolume(1);
    advance(KeptDeviceLevels::writeInterval);
    EXPECT_FALSE(written(file));
}
