// The device's volume and brightness kept across starts of the window in a small file: what a
// start makes of each kind of file, and how moved levels reach it, on the virtual clock.

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/window/KeptDeviceLevels.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using Outcome = DeviceLevelsFile::Read::Outcome;

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
        device().resetForTesting();
        MainLoopTest::TearDown();
    }

    static SJDeviceVolumeAndBrightnessController& device() { return SJDeviceVolumeAndBrightnessController::shared(); }
    static DeviceLevelsFile::Levels levels() { return { device().volume(), device().brightness() }; }
    std::string contents() const
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The names of the folder's entries other than the file itself.
    std::vector<std::string> besides() const
    {
        std::vector<std::string> names;
        for (const std::string& name : FileSystem::list(dir.path()))
            if (name != file.filename().string())
                names.push_back(name);
        return names;
    }

    zvtest::TempDir dir;
    std::filesystem::path file = dir / "device.json";
    std::vector<std::string> logged;
};

}

TEST_F(KeptLevelsTest, AStartTakesTheKeptLevelsHeldToTheRangeAndAnyOtherFileStartsFull)
{
    struct Case {
        const char* name;
        std::optional<std::string> text; // none: no file; "/": a folder in its place
        Outcome outcome;
        DeviceLevelsFile::Levels start;
        bool kept; // the file is written when a level moves
    };
    const std::string large = std::string(5000, ' ') + "{\"volume\":0.5}";
    const Case cases[] {
        { "none", std::nullopt, Outcome::Missing, { 1, 1 }, true },
        { "kept", R"({"volume":0.25,"brightness":0.5})", Outcome::Read, { 0.25f, 0.5f }, true },
        { "out of range", R"({"volume":-2,"brightness":7,"later":true})", Outcome::Read, { 0, 1 }, true },
        { "one level", R"({"brightness":0.125})", Outcome::Read, { 1, 0.125f }, true },
        { "not a number", R"({"volume":"loud","brightness":0.5})", Outcome::Damaged, { 1, 1 }, true },
        { "not JSON", "{\"volume\":0.2", Outcome::Damaged, { 1, 1 }, true },
        { "not an object", "[0.2,0.3]", Outcome::Damaged, { 1, 1 }, true },
        { "too large", large, Outcome::Damaged, { 1, 1 }, true },
        { "unreadable", "/", Outcome::Unreadable, { 1, 1 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(file);
        for (const std::string& name : besides())
            std::filesystem::remove_all(dir / name);
        if (c.text == "/")
            std::filesystem::create_directory(file);
        else if (c.text)
            std::ofstream(file) << *c.text;
        logged.clear();
        device().setVolume(0.7f);
        device().setBrightness(0.7f);

        auto kept = std::make_unique<KeptDeviceLevels>(file);
        EXPECT_EQ(kept->readOutcome(), c.outcome);
        EXPECT_EQ(levels(), c.start);
        // What is not a levels file is told and kept aside; one that cannot be read stays.
        bool damaged = c.outcome == Outcome::Damaged;
        EXPECT_EQ(logged.size(), damaged || c.outcome == Outcome::Unreadable ? 1u : 0u);
        EXPECT_EQ(besides().size(), damaged ? 1u : 0u);
        if (damaged)
            EXPECT_TRUE(besides().front().starts_with("device.json.damaged-")) << besides().front();

        // Written over only where the file was read, missing or moved away (nothing else is told).
        logged.clear();
        device().setVolume(0.375f);
        advance(KeptDeviceLevels::writeInterval);
        EXPECT_TRUE(logged.empty());
        if (c.kept)
            EXPECT_EQ(DeviceLevelsFile::parse(contents()), (DeviceLevelsFile::Levels { 0.375f, c.start.brightness }));
        else
            EXPECT_TRUE(std::filesystem::is_directory(file));
        kept.reset();
    }
}

TEST_F(KeptLevelsTest, MovedLevelsAreWrittenAtMostOnceAnIntervalAndTheNextStartReadsThem)
{
    auto kept = std::make_unique<KeptDeviceLevels>(file);
    advance(1);
    EXPECT_FALSE(std::filesystem::exists(file)) << "a first start that moves nothing writes nothing";

    // A slider dragged: the levels of the moment the interval ends, in one write.
    device().setBrightness(0.5f);
    advance(KeptDeviceLevels::writeInterval / 2);
    device().setBrightness(0.25f);
    advance(KeptDeviceLevels::writeInterval / 2 - 0.01);
    EXPECT_FALSE(std::filesystem::exists(file));
    advance(0.01);
    EXPECT_EQ(contents(), "{\"volume\":1,\"brightness\":0.25}\n");

    // Moved and put back within an interval: nothing to write.
    std::filesystem::remove(file);
    device().setVolume(0.5f);
    device().setVolume(1);
    advance(KeptDeviceLevels::writeInterval);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Moved just before the window closes: written as it goes.
    device().setVolume(0.6f);
    kept.reset();
    EXPECT_EQ(DeviceLevelsFile::parse(contents()), (DeviceLevelsFile::Levels { 0.6f, 0.25f }));

    device().resetForTesting();
    kept = std::make_unique<KeptDeviceLevels>(file);
    EXPECT_EQ(levels(), (DeviceLevelsFile::Levels { 0.6f, 0.25f }));
    EXPECT_TRUE(logged.empty());
}
