// The player's own controls: the rows in portrait and full screen, the speed item, video gravity,
// the pause advert and its link, and the offline playback history.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/MainController/Detail/Model/SJPlaybackRecordExtended.h"
#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"
#include "app/MainController/Detail/View/ZV_PlayerADView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/ui/SFSafariViewController.h"
#include "tests/app/MainController/Detail/PlayerTestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::string ep1 = "https://media.test/ep1.m3u8";

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
        return std::vector<bool> { hidden(edge.topAdapter()->itemForTag(ZV_Player::zoomoutTag)),
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
