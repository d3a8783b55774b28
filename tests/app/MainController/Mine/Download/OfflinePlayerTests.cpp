// The offline player and the episode list that opens it: episodes in plain name order, the
// three ways of choosing one, the player moving on by itself, the advert row and its link, and
// deletion by title and episode.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_DetailDataListPlayFromListModel.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Cell/ZV_OfflineInfoCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerAdsCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadDetailVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_OfflinePlayerVC.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/SJEdgeControlButtonItemAdapter.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/media/SJVideoPlayerURLAsset.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zvtest::DownloadTest;

class OfflineTest : public DownloadTest {
protected:
    void TearDown() override
    {
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        advance(1);
        ConfigSingleton::shared().advertConfigModel.reset();
        DownloadTest::TearDown();
    }

    // The player of the title on the episode, its episodes read.
    std::shared_ptr<ZV_OfflinePlayerVC> openPlayer(const std::string& vod_id, const std::string& episodeId)
    {
        auto page = std::make_shared<ZV_OfflinePlayerVC>();
        page->vod_id = vod_id;
        page->episode_id = episodeId;
        page->name = "片" + vod_id;
        show(page);
        advance(0.3);
        drain();
        window->layoutIfNeeded();
        return page;
    }
    static std::string playing(ZV_OfflinePlayerVC& page)
    {
        auto asset = page.zv_playerView()->player()->URLAsset();
        return asset ? asset->URL() : std::string();
    }
    std::string exportOf(const ZV_DownLoadModel& record) { return exports->playbackURL(record.url); }
    static std::shared_ptr<UITableViewCell> rowOf(ZV_OfflinePlayerVC& page, int row)
    {
        auto& table = *page.zv_tableView();
        return page.cellForRow(table, IndexPath::forRow(row, 0));
    }
    static std::vector<std::string> names(const ZV_OfflinePlayerVC::Episodes& list)
    {
        std::vector<std::string> out;
        for (const auto& each : list)
            out.push_back(each->episodeName.value_or(""));
        return out;
    }
    static void setAdvert(std::string image, std::string url)
    {
        auto config = std::make_shared<ZV_AdvertConfigModel>();
        config->player_episode_up.data.image = std::move(image);
        config->player_episode_up.data.url = std::move(url);
        ConfigSingleton::shared().advertConfigModel = config;
    }

    static ZV_DownLoadModel finished(
        const std::string& vod_id, const std::string& episodeId, const std::string& name)
    {
        ZV_DownLoadModel record = stored(vod_id, episodeId, "finish");
        record.episodeName = name;
        EXPECT_TRUE(record.update());
        return record;
    }

    TouchDriver driver { [](double seconds) { RunLoop::main().advance(seconds); } };
};

}

TEST_F(OfflineTest, TheTitlesFinishedEpisodesPlayInPlainNameOrderAndEachEntranceChoosesOne)
{
    // Another title with the same episode id, stored first, is none of this page's business.
    ZV_DownLoadModel elsewhere = finished("t9", "e1", "别处的第1集");
    ZV_DownLoadModel first = finished("t1", "e1", "第1集");
    ZV_DownLoadModel tenth = finished("t1", "e10", "第10集");
    ZV_DownLoadModel second = finished("t1", "e2", "第2集");
    stored("t1", "e3", "downing"); // not finished: never listed

    auto page = openPlayer("t1", "e1");
    EXPECT_EQ(names(page->list), (std::vector<std::string> { "第10集", "第1集", "第2集" }));
    EXPECT_EQ(playing(*page), exportOf(first));
    EXPECT_EQ(byId(first)->watching, "yes");
    auto info = std::dynamic_pointer_cast<ZV_OfflineInfoCell>(rowOf(*page, ZV_OfflinePlayerVC::infoRow));
    ASSERT_TRUE(info && page->model);
    EXPECT_EQ(page->model->vod_id, "t1");
    EXPECT_EQ(info->zv_title()->text(), "片t1");

    // 1. The strip under the player.
    auto strip = std::dynamic_pointer_cast<ZV_PlayerSelectCell>(rowOf(*page, ZV_OfflinePlayerVC::episodeRow));
    ASSERT_TRUE(strip);
    EXPECT_TRUE(strip->zv_selectSourceView()->isHidden());
    strip->didSelectItem(*strip->zv_collectionView(), IndexPath::forItem(0, 0));
    EXPECT_EQ(page->episode_id, "e10");
    EXPECT_EQ(playing(*page), exportOf(tenth));

    // 2. The sheet of "更多": playback pauses while it is open.
    page->showEpisodeSheet();
    advance(1);
    EXPECT_TRUE(page->zv_playerView()->player()->isPaused());
    ASSERT_TRUE(driver.tapText("第2集"));
    advance(1);
    EXPECT_EQ(page->episode_id, "e2");
    EXPECT_EQ(playing(*page), exportOf(second));

    // 3. The full-screen panel of the player's episode item.
    auto item = page->zv_playerView()->zv_bottomAdapter()->itemForTag(2003);
    ASSERT_TRUE(item);
    item->performActions();
    advance(1);
    auto shown = QMUIModalPresentationViewController::visibleModalPresentationViewControllers();
    ASSERT_FALSE(shown.empty());
    auto right = std::dynamic_pointer_cast<ZV_ShowRightFullView>(shown.back());
    ASSERT_TRUE(right);
    // Laid out for the landscape screen, where the item shows: picked through its grid.
    auto panel = std::dynamic_pointer_cast<ZV_SelectEpisodeContentFullView>(right->contentView());
    ASSERT_TRUE(panel);
    panel->didSelectItem(*panel->collectionView(), IndexPath::forItem(1, 0));
    advance(1);
    EXPECT_EQ(page->episode_id, "e1");
    EXPECT_EQ(playing(*page), exportOf(first));
    EXPECT_NE(playing(*page), exportOf(elsewhere));
}

TEST_F(OfflineTest, ThePlayerMovingOnByItselfMovesTheMarkWithoutPlayingAgain)
{
    ZV_DownLoadModel first = finished("t1", "e1", "第1集");
    finished("t1", "e2", "第2集");
    auto page = openPlayer("t1", "e1");
    auto before = page->zv_playerView()->player()->URLAsset();
    ASSERT_TRUE(before);

    page->zv_playerView()->clickIndexWithEpisodeId("e2");
    drain();
    EXPECT_EQ(page->episode_id, "e2");
    EXPECT_EQ(page->zv_playerView()->player()->URLAsset(), before);
    auto strip = std::dynamic_pointer_cast<ZV_PlayerSelectCell>(rowOf(*page, ZV_OfflinePlayerVC::episodeRow));
    EXPECT_EQ(strip->episodeId, "e2");
}

TEST_F(OfflineTest, TheAdvertRowShowsOnlyWhatItHasAndOpensOnlyWebLinks)
{
    finished("t1", "e1", "第1集");
    struct Case {
        bool configured;
        const char* image;
        const char* url;
        bool tall;
        bool shown;
        bool opens;
    };
    const Case cases[] = {
        { false, "", "", false, false, false },
        { true, "https://127.0.0.1:9/ad.png", "", true, false, false },
        { true, "", "https://127.0.0.1:9/landing", false, true, true },
        { true, "https://127.0.0.1:9/ad.png", "https://127.0.0.1:9/landing", true, true, true },
        { true, "https://127.0.0.1:9/ad.png", "javascript:alert(1)", true, true, false },
        { true, "https://127.0.0.1:9/ad.png", "zentavo://open", true, true, false },
    };
    auto page = openPlayer("t1", "e1");
    for (const Case& c : cases) {
        ConfigSingleton::shared().advertConfigModel.reset();
        if (c.configured)
            setAdvert(c.image, c.url);
        auto height
            = page->heightForRow(*page->zv_tableView(), IndexPath::forRow(ZV_OfflinePlayerVC::advertRow, 0));
        EXPECT_EQ(height.value_or(-1) > 0, c.tall) << c.image << " " << c.url;
        if (c.tall) {
            EXPECT_DOUBLE_EQ(*height, (screenWidth() - 48) * 122 / 342 + 20);
        }
        auto row = std::dynamic_pointer_cast<ZV_PlayerAdsCell>(rowOf(*page, ZV_OfflinePlayerVC::advertRow));
        ASSERT_TRUE(row);
        EXPECT_EQ(!row->contentView()->isHidden(), c.shown) << c.url;
        if (!c.shown)
            continue;
        row->setFrame({ 0, 0, 390, 200 });
        window->addSubview(row);
        window->layoutIfNeeded();
        EXPECT_TRUE(driver.tapView(*row->zv_advertView()));
        drain();
        auto presented = std::dynamic_pointer_cast<SFSafariViewController>(page->presentedViewController());
        EXPECT_EQ(presented != nullptr, c.opens) << c.url;
        if (presented) {
            page->dismiss(false);
            drain();
        }
        row->removeFromSuperview();
    }
}

TEST_F(OfflineTest, TheEpisodeListOpensThePlayerAndDeletesOnlyItsTitlesEpisode)
{
    ZV_DownLoadModel mine = finished("t1", "e1", "第1集");
    ZV_DownLoadModel mineUnfinished = stored("t1", "e1", "fail", 0, "https://127.0.0.1:9/t1/e1/again.m3u8");
    ZV_DownLoadModel theirs = finished("t2", "e1", "第1集");
    finished("t1", "e2", "第2集");
    auto list = std::make_shared<ZV_DownloadDetailVC>();
    list->vod_id = "t1";
    show(list);
    ASSERT_EQ(list->zv_list().size(), 2u);
    EXPECT_EQ(list->title(), "片t1");

    list->didSelectItem(*list->zv_collectionView(), IndexPath::forItem(0, 0));
    drain();
    auto player
        = std::dynamic_pointer_cast<ZV_OfflinePlayerVC>(list->navigationController()->topViewController());
    ASSERT_TRUE(player);
    EXPECT_EQ(player->vod_id, "t1");
    EXPECT_EQ(player->episode_id, "e1");
    EXPECT_EQ(player->name, "片t1");
    // Once drawn after the push, the strip holds a chip per finished episode.
    advance(0.3);
    drain();
    Renderer::renderScreen();
    auto strip = std::dynamic_pointer_cast<ZV_PlayerSelectCell>(
        player->zv_tableView()->cellForRow(IndexPath::forRow(ZV_OfflinePlayerVC::episodeRow, 0)));
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->zv_collectionView()->visibleCells().size(), 2u);
    list->navigationController()->popViewController(false);
    drain();

    list->setEdit(true);
    list->didSelectItem(*list->zv_collectionView(), IndexPath::forItem(0, 0));
    list->deleteSelected();
    EXPECT_EQ(exports->removed, (std::vector<std::string> { mine.url, mineUnfinished.url }));
    EXPECT_TRUE(byId(theirs));
    EXPECT_FALSE(byId(mine));
    ASSERT_EQ(list->zv_list().size(), 1u);
    EXPECT_TRUE(list->isEdit());
}
