// The title page against the sample catalogue of the local test server: what it starts with, its
// rows, a title without sources, the favourite, source switches and the play report.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/MainController/Detail/Cell/ZV_PlayerFeaturesCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"
#include "app/MainController/Detail/View/ZV_SourceContentFullView.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "app/MainController/Detail/View/ZV_SourceContentView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using zvtest::DetailTest;

CGFloat heightOf(ZV_DetailVC& page, int row)
{
    return page.heightForRow(*page.zv_tableView(), IndexPath(row, 0)).value_or(-1);
}

JSON sampleAdverts()
{
    std::ifstream stream(zvtest::sourceDir() / "tools/testserver/data/api/advert_config.json");
    std::stringstream text;
    text << stream.rdbuf();
    return JSON::parse(text.str());
}

}

TEST_F(DetailTest, ASignedInViewerStartsAtTheLastPlaybackUnderSixRows)
{
    setToken(sampleToken);
    auto page = open(longTitle);
    EXPECT_EQ(page->episode_id, "3110003");
    EXPECT_EQ(page->zv_playerView()->episodeId, "3110003");
    // Episode 3 is not ready to play: its address was resolved by the server.
    ASSERT_TRUE(runUntil([&] { return !callsTo("v1/movie_addr/parse").empty(); }));
    EXPECT_EQ(callsTo("v1/movie_addr/parse").back()["play_url"], "zv-detail://40311/lzm3u8/3");
    EXPECT_EQ(callsTo("v1/movie/detail").back()["id"], "40311");

    EXPECT_EQ(page->numberOfRows(*page->zv_tableView(), 0), 6);
    EXPECT_EQ(heightOf(*page, 0), ZV_DetailVC::infoCellHeight("北方的灯塔", 390));
    EXPECT_EQ(heightOf(*page, 1), 80);
    EXPECT_EQ(heightOf(*page, 2), 0); // no advert configuration yet
    EXPECT_EQ(heightOf(*page, 3), 183);
    EXPECT_EQ(heightOf(*page, 4), 0);
    // Four related titles fill two rows of three.
    EXPECT_EQ(heightOf(*page, 5), 184 * 2 + 92);
    EXPECT_EQ(heightOf(*page, 6), 0);

    ConfigSingleton::shared().advertConfigModel
        = std::make_shared<const ZV_AdvertConfigModel>(sampleAdverts());
    EXPECT_DOUBLE_EQ(heightOf(*page, 2), 342.0 * 122 / 342 + 20);
    EXPECT_DOUBLE_EQ(heightOf(*page, 4), 342.0 * 122 / 342 + 20);

    // The selector row shows the source in use and highlights the current episode.
    page->zv_tableView()->reloadData();
    window->layoutIfNeeded();
    auto select
        = std::dynamic_pointer_cast<ZV_PlayerSelectCell>(page->zv_tableView()->cellForRow(IndexPath(3, 0)));
    ASSERT_TRUE(select);
    EXPECT_EQ(select->zv_sourceName()->text(), "线路一");
    EXPECT_EQ(select->zv_sourceCount()->text(), "120个视频");
    EXPECT_EQ(select->zv_moreBtn()->title(UIControlStateNormal), "展开全部");
    EXPECT_EQ(select->modelList.size(), 120u);
    drain();
    select->zv_collectionView()->layoutIfNeeded();
    auto current = select->zv_collectionView()->cellForItem(IndexPath::forItem(2, 0));
    ASSERT_TRUE(current);
    EXPECT_EQ(current->contentView()->backgroundColor(), colorWithHex("03FFE1"));
    // A chip plays its episode.
    select->didSelectItem(*select->zv_collectionView(), IndexPath::forItem(4, 0));
    EXPECT_EQ(page->episode_id, "3110005");
    EXPECT_EQ(page->zv_playerView()->episodeId, "3110005");
}

TEST_F(DetailTest, SignedOutTheFirstEpisodeStartsAndBeforeTheReplyThereAreNoRows)
{
    api().setDelay("v1/movie/detail", std::chrono::milliseconds(300));
    auto page = std::make_shared<ZV_DetailVC>();
    page->vod_id = longTitle;
    show(page);
    EXPECT_EQ(page->numberOfRows(*page->zv_tableView(), 0), 0);
    ASSERT_TRUE(runUntil([&] { return page->model != nullptr; }));
    EXPECT_EQ(page->episode_id, "3110001");
    EXPECT_EQ(page->model->lastPlayback, nullptr);
}

TEST_F(DetailTest, ATitleWithoutSourcesShowsTheErrorLayerWithoutButtons)
{
    auto page = open(noSourceTitle);
    EXPECT_FALSE(page->episode_id);
    EXPECT_EQ(heightOf(*page, 1), 0);
    EXPECT_EQ(heightOf(*page, 3), 0);
    EXPECT_EQ(heightOf(*page, 5), 184 + 92);
    const auto& error = page->zv_playerView()->zv_errorView();
    EXPECT_EQ(error->title()->text(), "该影片暂无播放资源");
    EXPECT_TRUE(error->stackView()->isHidden());
    EXPECT_EQ(page->zv_playerView()->player()->currentControlLayerIdentifier(), SJControlLayer_LoadFailed);
    auto features = page->zv_tableView()->cellForRow(IndexPath(1, 0));
    ASSERT_TRUE(features);
    EXPECT_TRUE(features->contentView()->isHidden());
    // Nothing to pick from: no sheet comes up.
    std::size_t shown = QMUIModalPresentationViewController::visibleModalPresentationViewControllers().size();
    page->showEpisodePicker();
    page->showDownloadSheet();
    EXPECT_EQ(QMUIModalPresentationViewController::visibleModalPresentationViewControllers().size(), shown);
}

TEST_F(DetailTest, TheFavouriteFlipsOnlyAfterTheServerAndAnnouncesItself)
{
    setToken(sampleToken);
    auto page = open(longTitle);
    std::vector<std::string> announced;
    NotificationCenter::defaultCenter().addObserver(
        "collect",
        [&](const Notification& note) {
            if (auto* id = std::any_cast<JSON>(&note.object))
                announced.push_back(id->stringValue());
        },
        this);
    auto button = [&] {
        window->layoutIfNeeded();
        auto cell = std::dynamic_pointer_cast<ZV_PlayerFeaturesCell>(
            page->zv_tableView()->cellForRow(IndexPath(1, 0)));
        return cell ? cell->zv_collectBtn()->title(UIControlStateNormal).value_or("") : std::string();
    };
    EXPECT_EQ(button(), "收藏影片");

    page->toggleFavourite(IndexPath(1, 0));
    EXPECT_FALSE(page->model->isCollect.value_or(false)); // not before the reply
    ASSERT_TRUE(runUntil([&] { return page->model->isCollect.value_or(false); }));
    EXPECT_EQ(callsTo("v1/movie/collect/action").back()["state"], true);
    EXPECT_EQ(callsTo("v1/movie/collect/action").back()["movie_id"], "40311");
    EXPECT_EQ(button(), "已收藏");
    EXPECT_EQ(announced, std::vector<std::string> { "40311" });

    // The title opened again comes as a favourite.
    EXPECT_TRUE(open(longTitle)->model->isCollect.value_or(false));

    page->toggleFavourite(IndexPath(1, 0));
    ASSERT_TRUE(runUntil([&] { return !page->model->isCollect.value_or(true); }));
    EXPECT_EQ(callsTo("v1/movie/collect/action").back()["state"], false);
    EXPECT_EQ(announced.size(), 2u);

    // Refused: the state stays and nothing is announced.
    api().script("v1/movie/collect/action", testserver::ApiReply::error(1001, "影片不存在"));
    page->toggleFavourite(IndexPath(1, 0));
    EXPECT_TRUE(allRepliesIn());
    EXPECT_FALSE(page->model->isCollect.value_or(true));
    EXPECT_EQ(announced.size(), 2u);
    NotificationCenter::defaultCenter().removeObservers(this);
}

TEST_F(DetailTest, ASourceSwitchPlaysTheSamePositionOfTheNewSourceFromWhereTheOldStopped)
{
    auto page = open(longTitle);
    page->switchEpisode("3110004");
    advance(1); // the scripted stream opens
    auto scripted = engine(*page);
    ASSERT_TRUE(scripted);
    page->zv_playerView()->player()->seekToTime(7.5, nullptr);
    advance(0.5);
    page->loadPlayAddresses("ffm3u8");
    ASSERT_TRUE(runUntil([&] { return ZV_DetailVC::sourceInUse(*page->model)->code == "ffm3u8"; }));
    EXPECT_EQ(callsTo("v1/movie_addr/list").back()["from_code"], "ffm3u8");
    EXPECT_EQ(callsTo("v1/movie_addr/list").back()["movie_id"], "40311");
    EXPECT_EQ(page->episode_id, "3120004");
    EXPECT_EQ(page->zv_playerView()->episodeId, "3120004");
    EXPECT_EQ(episodesOf(*page, 0), 0u);
    EXPECT_EQ(episodesOf(*page, 1), 56u);
    EXPECT_EQ(episodesOf(*page, 2), 0u);
    ASSERT_TRUE(page->model->lastPlayback);
    EXPECT_EQ(page->model->lastPlayback->episode_id, "3120004");
    EXPECT_GE(page->model->lastPlayback->current_time, 7);

    // The selector row shows the new source with its chips.
    advance(1);
    window->layoutIfNeeded();
    auto select
        = std::dynamic_pointer_cast<ZV_PlayerSelectCell>(page->zv_tableView()->cellForRow(IndexPath(3, 0)));
    ASSERT_TRUE(select);
    EXPECT_EQ(select->zv_sourceName()->text(), "线路二");
    EXPECT_EQ(select->modelList.size(), 56u);
    EXPECT_FALSE(select->zv_collectionView()->visibleCells().empty());
    CGRect strip = select->zv_collectionView()->bounds();
    auto chip = select->zv_collectionView()->cellForItem(IndexPath::forItem(3, 0));
    ASSERT_TRUE(chip);
    EXPECT_TRUE(strip.intersects(chip->frame())) << "offset " << strip.minX();

    // A source without addresses is no switch: the source in use and its episodes stay.
    page->loadPlayAddresses("bdm3u8");
    EXPECT_TRUE(allRepliesIn());
    EXPECT_EQ(ZV_DetailVC::sourceInUse(*page->model)->code, "ffm3u8");
    EXPECT_EQ(episodesOf(*page, 1), 56u);
    EXPECT_EQ(page->episode_id, "3120004");
    // Nor is a reply that is no list, or a list of nothing usable.
    EXPECT_FALSE(page->applyPlayAddresses(JSON("失败"), "lzm3u8"));
    EXPECT_FALSE(page->applyPlayAddresses(JSON::array({ JSON(1), JSON::object() }), "lzm3u8"));
    EXPECT_EQ(ZV_DetailVC::sourceInUse(*page->model)->code, "ffm3u8");
}

TEST_F(DetailTest, TheSourcePickersMarkTheSourceInUseAndHandOverTheCode)
{
    auto page = open(longTitle);
    // 62 per source and 136 around them.
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    std::vector<std::string> picked;
    sheet->clickSource = [&](const std::string& code) { picked.push_back(code); };
    sheet->show(1, page->model, nullptr);
    ASSERT_TRUE(sheet->contentView());
    EXPECT_EQ(sheet->contentView()->frame().height(), 62 * 3 + 136);
    auto picker = std::dynamic_pointer_cast<ZV_SourceContentView>(sheet->contentView());
    ASSERT_EQ(picker->rows().size(), 3u);
    // Before any switch every source that came with episodes counts as in use.
    EXPECT_EQ(picker->rows()[0]->backgroundColor(), colorWithHex("03FFE1"));
    EXPECT_EQ(picker->rows()[1]->backgroundColor(), colorWithHex("03FFE1"));
    EXPECT_EQ(
        picker->rows()[2]->backgroundColor()->resolved(UIUserInterfaceStyle::light), colorWithHex("F3F5F9"));
    EXPECT_EQ(picker->rows()[1]->tips()->text(), "蓝光");
    EXPECT_EQ(picker->rows()[2]->count()->text(), "0个视频");
    window->layoutIfNeeded();
    sheet->view()->layoutIfNeeded();
    EXPECT_EQ(picker->rows()[1]->frame().height(), 54);
    EXPECT_EQ(picker->rows()[1]->frame().minY() - picker->rows()[0]->frame().maxY(), 8);

    // After a switch only the picked source is.
    page->loadPlayAddresses("ffm3u8");
    ASSERT_TRUE(runUntil([&] { return episodesOf(*page, 0) == 0; }));
    auto panel = ZV_SourceContentFullView::make(CGRect { 0, 0, 300, 390 });
    panel->list = *page->model->playFrom;
    panel->reloadRows();
    ASSERT_EQ(panel->rows().size(), 3u);
    EXPECT_EQ(panel->rows()[0]->name()->textColor(), UIColor::white());
    EXPECT_EQ(panel->rows()[1]->name()->textColor(), colorWithHex("03FFE1"));
    // The count takes the second label; the note does not show.
    EXPECT_EQ(panel->rows()[1]->tips()->text(), "56个视频");
}

TEST_F(DetailTest, LeavingThePageReportsANewPositionForASignedInViewer)
{
    setToken(sampleToken);
    auto page = open(longTitle);
    ASSERT_TRUE(runUntil([&] { return page->zv_playerView()->episodeModel != nullptr; }));
    advance(1);
    // Resumed at the server's 5 s: leaving there reports nothing.
    page->zv_playerView()->player()->seekToTime(5.2, nullptr);
    advance(0.1);
    page->zv_playbackRecord();
    EXPECT_TRUE(allRepliesIn());
    EXPECT_TRUE(callsTo("v1/movie_play/report").empty());

    page->zv_playerView()->player()->seekToTime(9.4, nullptr);
    advance(0.1);
    // Covered by another screen: paused and reported.
    page->navigationController()->pushViewController(UIViewController::create(), false);
    drain();
    ASSERT_TRUE(runUntil([&] { return !callsTo("v1/movie_play/report").empty(); }));
    nlohmann::json report = callsTo("v1/movie_play/report").back();
    EXPECT_EQ(report["movie_id"], "40311");
    EXPECT_EQ(report["episode_id"], "3110003");
    EXPECT_EQ(report["movie_from"], "lzm3u8");
    EXPECT_GE(report["current_time"].get<int>(), 9);
    EXPECT_EQ(report["duration"], 60);
    EXPECT_TRUE(page->zv_playerView()->player()->isPaused());
    EXPECT_TRUE(allRepliesIn());

    // The server keeps it as the viewer's last playback.
    auto again = open(longTitle);
    ASSERT_TRUE(again->model->lastPlayback);
    EXPECT_GE(again->model->lastPlayback->current_time, 9);
}

TEST_F(DetailTest, ASignedOutViewerAndTheFirstSecondAreNeverReported)
{
    auto page = open(longTitle);
    advance(1);
    page->zv_playerView()->player()->seekToTime(20, nullptr);
    advance(0.1);
    NotificationCenter::defaultCenter().post(UIApplicationNotification::WillResignActive);
    EXPECT_TRUE(allRepliesIn());
    EXPECT_TRUE(callsTo("v1/movie_play/report").empty());

    setToken(sampleToken);
    page->zv_playerView()->player()->seekToTime(0.6, nullptr);
    advance(0.1);
    page->zv_playbackRecord();
    EXPECT_TRUE(allRepliesIn());
    EXPECT_TRUE(callsTo("v1/movie_play/report").empty());
    page->zv_playerView()->player()->seekToTime(3, nullptr);
    advance(0.1);
    NotificationCenter::defaultCenter().post(UIApplicationNotification::WillResignActive);
    ASSERT_TRUE(runUntil([&] { return !callsTo("v1/movie_play/report").empty(); }));
}
