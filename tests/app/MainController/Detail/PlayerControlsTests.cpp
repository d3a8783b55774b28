// The player's own controls: the rows in portrait and full screen, back, the speed item, video
// gravity, the pause advert and its link, and the offline playback history.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Detail/Model/SJPlaybackRecordExtended.h"
#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"
#include "app/MainController/Detail/View/ZV_PlayerADView.h"
#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "platform/foundation/Date.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/app/MainController/Detail/PlayerTestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::string ep1 = "https://media.test/ep1.m3u8";

// The media cache's side of offline play: each address it is asked to play gets a loopback
// address of its own.
class LocalCopies : public SJMediaCacheServer::Backend {
public:
    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string&, bool) override { return nullptr; }
    std::string playbackURL(const std::string& url) override
    {
        asked.push_back(url);
        return "http://127.0.0.1:7/local/" + std::to_string(asked.size()) + "/index.m3u8";
    }
    void setActive(bool active) override { activated = activated || active; }
    std::string proxyAddress() override { return "http://127.0.0.1:7"; }

    std::vector<std::string> asked;
    bool activated = false;
};

class PlayerControlsTest : public zvtest::PlayerTest {
protected:
    void turn(bool fullscreen)
    {
        if (player().isFullscreen() != fullscreen)
            player().rotationManager().rotate();
        advance(SJRotationManager::transitionDuration + 0.1);
    }
    std::string speedTitle()
    {
        const auto& title = view->zv_multipleItem()->title();
        return title ? title->string() : std::string();
    }
    static void pauseAdvertWithImage(std::string image)
    {
        JSON json = JSON::object({ { "player_pause",
            JSON::object(
                { { "data", JSON::object({ { "image", image }, { "url", "https://ad.test/7" } }) } }) } });
        ConfigSingleton::shared().advertConfigModel = std::make_shared<const ZV_AdvertConfigModel>(json);
    }
    static int visiblePresentations()
    {
        return static_cast<int>(
            QMUIModalPresentationViewController::visibleModalPresentationViewControllers().size());
    }
};

}

TEST_F(PlayerControlsTest, FullScreenSwapsTheFrameworksItemsForTheOwnRowAndAnyTurnClosesPanels)
{
    auto& edge = *player().defaultEdgeControlLayer();
    auto state = [&] {
        auto hidden
            = [](const std::shared_ptr<SJEdgeControlButtonItem>& item) { return item && item->isHidden(); };
        return std::vector<bool> { hidden(edge.topAdapter()->itemForTag(1000)),
            hidden(edge.bottomAdapter()->itemForTag(SJEdgeControlLayerBottomItem_Full)),
            hidden(edge.bottomAdapter()->itemForTag(SJEdgeControlLayerBottomItem_Play)),
            hidden(view->zv_selectItem()), hidden(view->zv_sourceItem()), hidden(view->zv_multipleItem()),
            hidden(view->zv_goforwardItem()), view->zv_bottomAdapter()->isHidden(),
            edge.bottomHeight() == 120 };
    };
    const std::vector<bool> portrait { true, false, false, true, true, true, true, true, false };
    const std::vector<bool> fullscreen { false, true, true, false, false, false, false, false, true };
    EXPECT_EQ(state(), portrait);

    play(zvtest::titleWith({ { "e1", ep1 } }), "e1");
    advance(1);
    view->showSettings();
    EXPECT_EQ(visiblePresentations(), 1);
    turn(true);
    EXPECT_EQ(visiblePresentations(), 0);
    EXPECT_TRUE(view->isFull);
    EXPECT_EQ(state(), fullscreen);
    // The own row sits under the framework's, against the bottom.
    view->window()->layoutIfNeeded();
    EXPECT_EQ(view->zv_bottomAdapter()->frame().maxY(), edge.bottomAdapter()->frame().maxY());
    EXPECT_EQ(view->zv_bottomAdapter()->frame().size.height, 49);

    // Told of full screen again while already there: nothing changes.
    view->zv_selectItem()->setHidden(true);
    view->rotationDidChange(true);
    EXPECT_TRUE(view->zv_selectItem()->isHidden());
    turn(false);
    EXPECT_EQ(state(), portrait);
}

// The back buttons of the loading cover and the error layer: in full screen they only turn the
// player back; in portrait they leave the page.
TEST_F(PlayerControlsTest, BackTurnsFullScreenBackAndLeavesThePageInPortrait)
{
    auto list = UIViewController::create();
    auto page = UIViewController::create();
    auto navigation = std::make_shared<UINavigationController>(list);
    window->setRootViewController(navigation);
    navigation->pushViewController(page, false);
    advance(1);
    play(zvtest::titleWith({ { "e1", ep1 } }), "e1");
    advance(1);

    for (const auto& back : { view->zv_loadingView()->backBtn(), view->zv_errorView()->backBtn() }) {
        turn(true);
        back->sendActions(UIControlEventTouchUpInside);
        advance(SJRotationManager::transitionDuration + 0.1);
        EXPECT_FALSE(player().isFullscreen());
        EXPECT_EQ(navigation->topViewController(), page);
    }
    view->zv_errorView()->backBtn()->sendActions(UIControlEventTouchUpInside);
    advance(1);
    EXPECT_EQ(navigation->topViewController(), list);
}

TEST_F(PlayerControlsTest, TheSpeedItemReadsThePlayersRate)
{
    const std::vector<std::string> titles { "0.5X", "0.75X", "1.0X", "1.25X", "1.5X", "2.0X" };
    for (int index = 0; index < 6; ++index) {
        view->rateDidChange(index);
        EXPECT_EQ(speedTitle(), titles[static_cast<std::size_t>(index)]);
    }
    // A rate chosen in portrait reads right once the full-screen items show.
    play(zvtest::titleWith({ { "e1", ep1 } }), "e1");
    advance(1);
    player().setRate(0.75);
    turn(true);
    EXPECT_EQ(speedTitle(), "0.75X");
    // The speed panel: the last row plays at double speed.
    view->showRatePicker();
    auto panel = QMUIModalPresentationViewController::visibleModalPresentationViewControllers().back();
    std::dynamic_pointer_cast<ZV_MultipleContentFullView>(panel->contentView())->selectRate(5);
    EXPECT_EQ(player().rate(), 2.0);
    EXPECT_EQ(speedTitle(), "2.0X");
}

TEST_F(PlayerControlsTest, TheZoomItemTogglesBetweenFittingAndFilling)
{
    EXPECT_EQ(player().videoGravity(), AVLayerVideoGravity::resizeAspect);
    view->toggleVideoGravity();
    EXPECT_EQ(player().videoGravity(), AVLayerVideoGravity::resizeAspectFill);
    view->toggleVideoGravity();
    EXPECT_EQ(player().videoGravity(), AVLayerVideoGravity::resizeAspect);
}

// One advert, on the change to paused in full screen, gone when playback goes on.
TEST_F(PlayerControlsTest, PausingInFullScreenShowsOnePauseAdvertUntilPlaybackResumes)
{
    pauseAdvertWithImage(serverURL() + "/images/advert-banner.jpg");
    play(zvtest::titleWith({ { "e1", ep1 } }), "e1");
    advance(1);
    view->togglePlay();
    EXPECT_FALSE(view->pauseAdvert()); // portrait
    view->togglePlay();
    advance(0.5);
    turn(true);
    view->togglePlay();
    advance(0.5);
    ASSERT_TRUE(view->pauseAdvert());
    EXPECT_TRUE(view->pauseAdvert()->isModal());
    view->playbackStatusDidChange(); // the same paused status reported again
    EXPECT_EQ(visiblePresentations(), 1);
    view->togglePlay();
    advance(0.5);
    EXPECT_FALSE(view->pauseAdvert());
    EXPECT_EQ(visiblePresentations(), 0);

    // A placement without a picture shows none.
    pauseAdvertWithImage("");
    view->togglePlay();
    advance(0.5);
    EXPECT_EQ(visiblePresentations(), 0);
}

// The player reports paused for a new asset, a failure and the end as well as for the viewer's
// pause: only the viewer's pause, in full screen, brings the advert. Each row plays in full screen
// and watches, step by step, whether an advert ever came up.
TEST_F(PlayerControlsTest, OnlyTheViewersPauseBringsThePauseAdvert)
{
    const std::string ep2 = "https://media.test/ep2.m3u8";
    const std::string shortEp = "https://media.test/short.m3u8";
    const std::string broken = "https://media.test/broken.m3u8";
    const std::string closed = "https://media.test/closed.m3u8";
    SJScriptedMedia twoSeconds;
    twoSeconds.duration = 2;
    SJScriptedPlaybackController::script(shortEp, twoSeconds);
    SJScriptedMedia failing;
    failing.failsAt = 2;
    SJScriptedPlaybackController::script(broken, failing);
    SJScriptedMedia unopened;
    unopened.failsToOpen = true;
    SJScriptedPlaybackController::script(closed, unopened);

    struct Row {
        const char* event;
        std::string first; // the address of e1; e2 follows it
        std::string start;
        std::function<void()> act;
        bool shows;
    };
    const std::vector<Row> rows {
        { "the player's play item", ep1, "e1", [&] { view->togglePlay(); }, true },
        { "the framework's play item", ep1, "e1", [&] { player().defaultEdgeControlLayer()->onPlay(); },
            true },
        { "an episode switch", ep1, "e1",
            [&] {
                view->episodeId = "e2";
                view->playEpisode();
            },
            false },
        { "the next-episode item", ep1, "e1", [&] { view->playNextEpisode(); }, false },
        { "the move to the next episode at the end", shortEp, "e1", [] {}, false },
        { "the end of the last episode", ep1, "e2", [] {}, false },
        { "a stream that breaks while playing", broken, "e1", [] {}, false },
        { "a stream that does not open", closed, "e1", [] {}, false },
    };
    for (const Row& row : rows) {
        freshView();
        pauseAdvertWithImage(serverURL() + "/images/advert-banner.jpg");
        turn(true);
        ASSERT_TRUE(player().isFullscreen()) << row.event;
        bool shown = false;
        auto watch = [&](double seconds) {
            for (double waited = 0; waited < seconds; waited += 0.1) {
                advance(0.1);
                shown = shown || view->pauseAdvert();
            }
        };
        // The "end" row starts at the last episode, the short one too.
        play(zvtest::titleWith({ { "e1", row.first }, { "e2", row.start == "e2" ? shortEp : ep2 } }),
            row.start);
        watch(0.6);
        row.act();
        watch(4);
        EXPECT_EQ(shown, row.shows) << row.event;
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        turn(false);
    }
}

TEST_F(PlayerControlsTest, AdvertLinksOpenOnlyAbsoluteWebAddresses)
{
    auto root = window->rootViewController();
    for (const auto& [url, opens] : std::vector<std::pair<std::string, bool>> { { "https://ad.test/7", true },
             { "http://ad.test/7", true }, { "javascript:alert(1)", false }, { "ftp://ad.test/7", false },
             { "/promo/7", false }, { "", false } }) {
        ZV_AdvertModel advert;
        advert.data.url = url;
        ZV_PlayerADContentView::openAdvertLink(advert);
        advance(1);
        auto browser = std::dynamic_pointer_cast<SFSafariViewController>(root->presentedViewController());
        EXPECT_EQ(browser != nullptr, opens) << url;
        if (browser) {
            EXPECT_EQ(browser->url(), url);
            root->dismiss(false);
            advance(1);
        }
    }
}

// The history of offline play is kept per title and episode, not per the digits of both.
TEST_F(PlayerControlsTest, OfflineHistoryIsKeptPerTitleAndEpisode)
{
    auto offline = [&](std::string title, std::string episodeId) {
        freshView();
        view->isOffline = true;
        auto model = zvtest::titleWith({}, std::move(title));
        view->episodeList = ZV_Player::Episodes { zvtest::episode({ episodeId, ep1 }) };
        play(model, episodeId);
        return model;
    };
    offline("12", "34");
    ASSERT_TRUE(player().URLAsset()->record());
    SJPlaybackRecord& record = *player().URLAsset()->record();
    EXPECT_EQ(SJExtended::get(record, SJExtended::vodId), "12");
    EXPECT_EQ(SJExtended::get(record, SJExtended::episode), "34");
    record.position = 77.6;
    ASSERT_TRUE(SJPlaybackHistoryController::shared().save(record));

    EXPECT_FALSE(offline("123", "4")->lastPlayback);
    auto again = offline("12", "34");
    ASSERT_TRUE(again->lastPlayback);
    EXPECT_EQ(again->lastPlayback->episode_id, "34");
    EXPECT_EQ(again->lastPlayback->current_time, 77);
}

// Offline, a finished download plays from the media cache's loopback address with no header
// fields (the proxy takes the address alone) and is marked watched once; a download of another
// title with the same episode id, and one not finished, are left as they are.
TEST_F(PlayerControlsTest, AFinishedDownloadPlaysItsLoopbackCopyAndIsMarkedWatchedOnce)
{
    auto copies = std::make_shared<LocalCopies>();
    SJMediaCacheServer::shared().setBackend(copies);
    double clock = 1.7e9;
    Date::setClockForTesting([&clock] { return clock; });
    struct Restore {
        ~Restore()
        {
            SJMediaCacheServer::shared().setBackend(nullptr);
            Date::setClockForTesting({});
        }
    } restore;

    auto record = [](std::string title, std::string episodeId, const char* state) {
        ZV_DownLoadModel download;
        download.url = "https://media.test/dl/" + title + "/" + episodeId + ".m3u8";
        download.vod_id = std::move(title);
        download.episodeId = std::move(episodeId);
        download.state = state;
        EXPECT_TRUE(download.save());
        return download;
    };
    auto stored = [](const std::string& title, const std::string& episodeId) {
        auto found = ZV_DownLoadModel::findEpisode(title, episodeId);
        return found && *found ? **found : ZV_DownLoadModel {};
    };
    ZV_DownLoadModel mine = record("t1", "e1", "finish");
    ZV_DownLoadModel other = record("t9", "e1", "finish");
    ZV_DownLoadModel partial = record("t1", "e2", "downing");

    view->isOffline = true;
    view->episodeList = ZV_Player::Episodes { zvtest::episode({ "e1", mine.url, true, "ZV-Test/1" }),
        zvtest::episode({ "e2", partial.url, true, "ZV-Test/1" }) };
    play(zvtest::titleWith({}, "t1"), "e1");
    ASSERT_TRUE(engine());
    EXPECT_EQ(copies->asked, (std::vector<std::string> { mine.url }));
    EXPECT_TRUE(copies->activated);
    EXPECT_EQ(engine()->lastRequest().URL, "http://127.0.0.1:7/local/1/index.m3u8");
    EXPECT_TRUE(engine()->lastRequest().headerFields.empty());
    EXPECT_EQ(stored("t1", "e1").watching, "yes");
    std::int64_t marked = stored("t1", "e1").updatedAt();
    EXPECT_EQ(stored("t9", "e1").watching, "no");
    EXPECT_EQ(stored("t9", "e1").updatedAt(), other.updatedAt());

    // Played again later: the mark stands and is not written again.
    clock += 60;
    view->playEpisode();
    EXPECT_EQ(engine()->lastRequest().URL, "http://127.0.0.1:7/local/2/index.m3u8");
    EXPECT_EQ(stored("t1", "e1").updatedAt(), marked);
    auto rows = ZV_DownLoadModel::findByEpisode("e1");
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->size(), 2u);

    // A download still on its way plays its own address with the episode's fields, unmarked.
    view->episodeId = "e2";
    view->playEpisode();
    EXPECT_EQ(engine()->lastRequest().URL, partial.url);
    EXPECT_EQ(headerValue(engine()->lastRequest().headerFields, "User-Agent"), "ZV-Test/1");
    EXPECT_EQ(stored("t1", "e2").watching, "no");
    EXPECT_EQ(copies->asked.size(), 2u);
}
