// One title from the local test server played through libmpv in real time: the opening is
// skipped, the ending skip moves to the next episode, whose address the server resolves; the
// settings sheet's volume is what every engine plays at, its brightness the screen's backlight.

#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_SettingContentView.h"
#include "platform/dispatch/Clock.h"
#include "platform/media/SJMPVPlaybackController.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/controls/UISlider.h"
#include "tests/app/MainController/Detail/PlayerTestSupport.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tests/tools/testserver/TestMedia.h"
#include "tools/testserver/VideoRoutes.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr double generousWait = 40;

class PlayerEndToEndTest : public zvtest::PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        if (HasFatalFailure())
            return;
        static bool videoInstalled = false;
        if (!videoInstalled) {
            std::string error;
            ASSERT_TRUE(testserver::VideoRoutes::install(server(), zvtest::testMediaDir(), &error)) << error;
            videoInstalled = true;
        }
        SJMPVPlaybackController::setTrustedCAFile((zvtest::testKeysDir() / "ca.pem").string());
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        Clock::useReal();
        freshView();
    }
};

}

TEST_F(PlayerEndToEndTest, AnEpisodeFromTheServerSkipsItsOpeningAndItsEndingLeadsToTheNext)
{
    std::optional<JSON> detail;
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/detail",
        JSON::object({ { "id", "40618" } }),
        [&](std::optional<JSON> json, std::optional<NSError>) { detail = json; });
    ASSERT_TRUE(runUntil([&] { return detail.has_value(); }));
    auto model = std::make_shared<ZV_DetailModel>(*detail);
    // The 12 s clip: skip its first 3 s and its last 4 s.
    ZV_PlayerTimeModel::store("40618", ZV_PlayerTimeModel::Part::opening, 3);
    ZV_PlayerTimeModel::store("40618", ZV_PlayerTimeModel::Part::ending, 4);
    std::vector<std::string> owner;
    view->clickIndexWithEpisodeId = [&](const std::string& id) { owner.push_back(id); };

    play(model, "2180001");
    EXPECT_EQ(assetURL(), serverURL() + "/video/master.m3u8");
    // (The ending's announcement comes at once too: the clip is shorter than its ten seconds.)
    auto prompted = [&](const std::string& text) {
        auto shown = prompts();
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    };
    ASSERT_TRUE(runUntil([&] { return prompted("已为你跳过片头"); }, generousWait));
    ASSERT_TRUE(runUntil([&] { return player().currentTime() >= 3; }, generousWait));
    EXPECT_LT(player().currentTime(), 6);
    EXPECT_TRUE(runUntil([&] { return view->zv_loadingView()->isHidden(); }, generousWait));
    // The episode's agent and fields went with every request of its video.
    auto requests = server().requestsTo("/video/master.m3u8");
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().header("User-Agent"), "Zentavo-Player/3.0 (iPhone; iOS 17.0)");
    EXPECT_EQ(requests.front().header("X-Zentavo-Episode"), "2180001");

    ASSERT_TRUE(runUntil([&] { return !owner.empty(); }, generousWait));
    EXPECT_EQ(owner, (std::vector<std::string> { "2180002" }));
    ASSERT_TRUE(runUntil([&] { return assetURL() == serverURL() + "/video/low/index.m3u8"; }, generousWait));
    ASSERT_TRUE(runUntil(
        [&] { return player().timeControlStatus() == SJPlaybackTimeControlStatus::playing; }, generousWait));
    EXPECT_EQ(view->episodeModel->episodeId, "2180002");
    EXPECT_EQ(player().URLAsset()->title(), "雾港来信 第02集");
}

TEST_F(PlayerEndToEndTest, TheSheetsLevelsAreWhatEveryPlayerPlaysAtAndTheBacklight)
{
    auto volumeOf = [](const SJBaseVideoPlayer& player) {
        auto engine = std::dynamic_pointer_cast<SJMPVPlaybackController>(player.playbackController());
        return engine ? engine->engineVolume().value_or(-1) : -1;
    };
    auto clip = [&] {
        return SJVideoPlayerURLAsset::initWithAVAsset(
            AVURLAsset::URLAssetWithURL(serverURL() + "/video/clip.mp4"));
    };
    play(zvtest::titleWith({ { "e1", serverURL() + "/video/clip.mp4", true, {} } }), "e1");
    ASSERT_TRUE(runUntil([&] { return !player().isPaused(); }, generousWait));
    EXPECT_EQ(volumeOf(player()), 100) << "a first start plays at the engine's own full volume";
    view->showSettings();
    auto panel = std::dynamic_pointer_cast<ZV_SettingContentView>(
        QMUIModalPresentationViewController::visibleModalPresentationViewControllers().back()->contentView());
    ASSERT_TRUE(panel);

    // About a third, then each end: the engine playing at once, and one made after from its start.
    for (float level : { 0.3f, 0.0f, 1.0f }) {
        ASSERT_TRUE(zvtest::slide(*panel->sourdSlider(), level));
        float set = SJDeviceVolumeAndBrightnessController::shared().volume();
        EXPECT_NEAR(set, level, 0.05);
        EXPECT_EQ(panel->sourdTitle()->text(), ZV_SettingContentView::levelText("声音 ", set));
        EXPECT_NEAR(volumeOf(player()), 100 * set, 1e-3) << level;
        auto later = SJBaseVideoPlayer::player();
        later->setURLAsset(clip());
        EXPECT_NEAR(volumeOf(*later), 100 * set, 1e-3) << level;
    }
    ASSERT_TRUE(zvtest::slide(*panel->lightSlider(), 0));
    EXPECT_EQ(UIScreen::main().brightness(), 0.0);
}
