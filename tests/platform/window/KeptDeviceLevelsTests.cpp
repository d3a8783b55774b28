// The device's levels kept in a file across starts of the window (on the virtual clock).

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
    const std::tuple<std::optional<std::string>, Outcome, Levels> cases[] {
        { std::nullopt, Outcome::Missing, { 1, 1 } },
        { R"({"volume":0.25,"brightness":0.5})", Outcome::Read, { 0.25f, 0.5f } },
        { R"({"volume":-2,"brightness":1e39,"later":true})", Outcome::Read, { 0, 1 } },
        // One level named: that one taken, the other at a first start's.
        { R"({"volume":0.25})", Outcome::Read, { 0.25f, 1 } },
        { R"({"brightness":0.5})", Outcome::Read, { 1, 0.5f } },
        { R"({"volume":"loud","brightness":0.5})", Outcome::Damaged, { 1, 1 } },
        { std::string(5000, ' ') + "{}", Outcome::Damaged, { 1, 1 } },
        { "/", Outcome::Unreadable, { 1, 1 } }, // a folder in the file's place
    };
    for (const auto& [text, outcome, start] : cases) {
        SCOPED_TRACE(text.value_or("none").substr(0, 40));
        zvtest::TempDir folder;
        std::filesystem::path file = folder / "device.json";
        if (text == "/")
            std::filesystem::create_directory(file);
        else if (text)
            std::ofstream(file) << *text;
        logged.clear();
        device.setVolume(0.7f);

        auto kept = std::make_unique<KeptDeviceLevels>(file);
        EXPECT_EQ(kept->readOutcome(), outcome);
        EXPECT_EQ((Levels { device.volume(), device.brightness() }), start);
        std::size_t told = outcome == Outcome::Damaged || outcome == Outcome::Unreadable;
        EXPECT_EQ(logged.size(), told);
        // Only a damaged file is moved aside.
        EXPECT_EQ(FileSystem::list(folder.path()).size(), text ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(file), text && outcome != Outcome::Damaged);

        // A level moved is written as the window goes, but never over a file that was not read.
        device.setVolume(0.375f);
        kept.reset();
        std::optional<Levels> moved = Levels { 0.375f, start.brightness };
        EXPECT_EQ(written(file), outcome == Outcome::Unreadable ? std::nullopt : moved);
        EXPECT_EQ(logged.size(), told) << "a write was tried";
    }
}

TEST_F(KeptLevelsTest, ADraggedSliderIsWrittenOnceAnInterval)
{
    zvtest::TempDir folder;
    KeptDeviceLevels kept(folder / "device.json");
    device.setBrightness(0.5f);
    advance(KeptDeviceLevels::writeInterval / 2);
    device.setBrightness(0.25f);
    advance(KeptDeviceLevels::writeInterval / 2 - 0.01);
    EXPECT_FALSE(written(folder / "device.json"));
    advance(0.01);
    EXPECT_EQ(written(folder / "device.json"), (Levels { 1, 0.25f }));
}

TEST_F(KeptLevelsTest, ALongDragWritesAFewTimesAndTheCloseKeepsItsLastLevel)
{
    zvtest::TempDir folder;
    std::filesystem::path file = folder / "device.json";
    auto kept = std::make_unique<KeptDeviceLevels>(file);
    // 90 moves over 1.5 s, each level another: every write shows as a change of the file.
    int writes = 0;
    std::optional<Levels> last;
    for (int move = 1; move <= 90; ++move) {
        device.setVolume(move / 128.0f);
        advance(1.5 / 90);
        if (auto now = written(file); now != last) {
            ++writes;
            last = now;
        }
    }
    EXPECT_GE(writes, 2);
    EXPECT_LE(writes, 4);
    // Let go just before the window closes: the close writes it.
    device.setVolume(0.125f);
    kept.reset();
    EXPECT_EQ(written(file), (Levels { 0.125f, 1 }));
}
