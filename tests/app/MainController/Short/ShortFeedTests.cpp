// The short-video feed against the local test server and a recording media cache: which page
// plays, what is prefetched, when more clips are asked for, the full mode's start, and the grid
// it opens.

#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/MainController/Search/View/ZV_SearchNavView.h"
#include "app/MainController/Short/Controller/ZV_ShortListViewController.h"
#include "app/MainController/Short/Controller/ZV_ShortShareViewController.h"
#include "app/MainController/Short/Controller/ZV_ShortVideoViewController.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "app/MainController/Short/View/ZV_ShortVideoViewCell.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoNormalFooter.h"
#include "platform/ui/refresh/MJRefreshNormalHeader.h"
#include "tests/app/MainController/Short/ShortTestSupport.h"

using testserver::ApiReply;

namespace {

constexpr CGFloat kPage = 844 - 47 - 34; // a page of the full feed on the test phone

class FeedTest : public shorttest::ShortScreenTest {
protected:
    static std::vector<std::shared_ptr<const ZV_ShortModel>> models(const nlohmann::json& list)
    {
        std::vector<std::shared_ptr<const ZV_ShortModel>> result;
        for (const auto& item : list)
            result.push_back(std::make_shared<const ZV_ShortModel>(JSON::parse(item.dump())));
        return result;
    }

    std::shared_ptr<ZV_ShortVideoViewController> fullFeed(const nlohmann::json& list, int index)
    {
        auto feed = std::make_shared<ZV_ShortVideoViewController>();
        feed->isShowFull = true;
        feed->index = index;
        feed->list = models(list);
        return show(feed);
    }

    static std::shared_ptr<ZV_ShortVideoViewCell> cellAt(ZV_ShortVideoViewController& feed, int item)
    {
        return std::dynamic_pointer_cast<ZV_ShortVideoViewCell>(
            feed.collectionView()->cellForItem(IndexPath(item, 0)));
    }

    static void scrollTo(ZV_ShortVideoViewController& feed, CGFloat y)
    {
        feed.collectionView()->setContentOffset({ 0, y });
        feed.collectionView()->layoutIfNeeded();
    }

    static std::string playing(const std::shared_ptr<ZV_SVideoPlayer>& player)
    {
        return player && player->URLAsset() ? player->URLAsset()->URL() : "";
    }
    static std::string proxied(int n)
    {
        return "http://127.0.0.1:1/proxy/https://cdn.test/clip-" + std::to_string(n) + ".mp4";
    }
};

TEST_F(FeedTest, FullModeStartsAtItsIndexAfterATenthOfASecondAndAsksForMoreOnlyAtTheLastClip)
{
    auto feed = fullFeed(clips(0, 10), 4);

    // First the page of clip 0 is configured, and its player starts.
    std::shared_ptr<ZV_SVideoPlayer> first = feed->curPlayer();
    ASSERT_TRUE(first);
    EXPECT_EQ(playing(first), proxied(0));
    EXPECT_FALSE(first->isPaused());
    EXPECT_EQ(feed->zv_backBtn()->superview(), feed->view());

    advance(0.09);
    EXPECT_EQ(feed->collectionView()->contentOffset().y, 0);
    advance(0.02);
    drain();
    EXPECT_EQ(feed->collectionView()->contentOffset().y, 4 * kPage);
    EXPECT_EQ(feed->currentIndex(), 4);
    EXPECT_EQ(playing(feed->curPlayer()), proxied(4));
    EXPECT_FALSE(feed->curPlayer()->isPaused());
    EXPECT_EQ(feed->collectionView()->visibleCells().size(), 1u);

    scrollTo(*feed, 8 * kPage);
    EXPECT_TRUE(api().recordsTo("v1/video/display").empty());
    scrollTo(*feed, 9 * kPage);
    ASSERT_TRUE(settle([&] { return feed->list.size() > 10; }));
    auto asked = api().recordsTo("v1/video/display");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ((*asked[0].parameters)["pageSize"], 16);
    EXPECT_EQ(feed->list.size(), 26u); // the sample's clips follow the ten given
}

TEST_F(FeedTest, TheMostVisiblePagePlaysATieKeepsTheEarlierAndTheViewersPauseHolds)
{
    auto feed = fullFeed(clips(0, 3), 0);
    advance(0.11);
    drain();

    scrollTo(*feed, kPage / 2);
    ASSERT_EQ(feed->collectionView()->visibleCells().size(), 2u);
    feed->playMostVisibleCell();
    EXPECT_EQ(playing(feed->curPlayer()), proxied(0)) << "half and half: the earlier page";

    scrollTo(*feed, kPage / 2 + 1);
    feed->playMostVisibleCell();
    std::shared_ptr<ZV_SVideoPlayer> second = feed->curPlayer();
    EXPECT_EQ(playing(second), proxied(1));
    EXPECT_FALSE(second->isPaused());
    EXPECT_TRUE(cellAt(*feed, 0)->player()->isPaused()) << "the one before is paused";

    // The viewer pauses the second clip; it stays paused when it is the most visible again.
    second->pauseForUser();
    scrollTo(*feed, kPage * 0.4);
    feed->playMostVisibleCell();
    EXPECT_EQ(playing(feed->curPlayer()), proxied(0));
    scrollTo(*feed, kPage * 0.8);
    feed->playMostVisibleCell();
    EXPECT_EQ(feed->curPlayer(), second);
    EXPECT_TRUE(second->isPaused());
    EXPECT_TRUE(second->isUserPaused());
}

TEST_F(FeedTest, OnlyTheNeighboursOfTheClipOnScreenArePrefetchedAndEachDisplayCancelsTheRest)
{
    nlohmann::json list = clips(0, 4);
    list[2]["play_addr"] = "not an address";
    auto feed = fullFeed(list, 0);
    EXPECT_EQ(cache->liveURLs(), (std::vector<std::string> { "https://cdn.test/clip-1.mp4" }));
    EXPECT_EQ(cache->prefetches[0].size, 104857600u);
    EXPECT_FALSE(feed->prePrefetchTask());

    scrollTo(*feed, kPage);
    EXPECT_EQ(cache->liveURLs(), (std::vector<std::string> { "https://cdn.test/clip-0.mp4" }))
        << "clip 2's address does not parse";
    scrollTo(*feed, 3 * kPage);
    EXPECT_TRUE(cache->liveURLs().empty());
    EXPECT_FALSE(feed->nextPrefetchTask()) << "nothing after the last clip";
    for (const auto& prefetch : cache->prefetches)
        EXPECT_TRUE(prefetch.task->isCancelled()) << prefetch.url;
}

TEST_F(FeedTest, TheEmbeddedFeedPagesAtItsLastClipAndKeepsThatClipPlayingThroughTheReload)
{
    api().script("v1/video/display", ApiReply::success({ { "list", clips(0, 16) } }));
    auto feed = show(std::make_shared<ZV_ShortVideoViewController>());
    EXPECT_FALSE(feed->zv_backBtn()->superview());
    ASSERT_TRUE(settle([&] { return !feed->list.empty(); }));
    ASSERT_EQ(feed->list.size(), 16u);
    ASSERT_EQ(playing(feed->curPlayer()), proxied(0));
    CGFloat page = feed->collectionView()->bounds().height();

    // The media cache was told how to name assets, for every later user too.
    ASSERT_TRUE(cache->resolver);
    EXPECT_EQ(cache->resolver("https://cdn.test/v/clip-1.mp4"), "https://cdn.test/v/clip-1");
    EXPECT_EQ(cache->resolver("https://cdn.test/v/index.m3u8?x=1.5"), "https://cdn.test/v/index.m3u8?x=1");
    EXPECT_EQ(cache->resolver("https://cdn.test/v/"), "https://cdn.test/v");
    EXPECT_FALSE(SJMediaCacheServer::shared().isEnabledConsoleLog());

    // The 15th clip shows nothing new; the 16th asks for more.
    scrollTo(*feed, 14 * page);
    EXPECT_EQ(api().recordsTo("v1/video/display").size(), 1u);
    api().script("v1/video/display", ApiReply::success({ { "list", clips(0, 3) } }));
    scrollTo(*feed, 15 * page);
    feed->playMostVisibleCell();
    std::shared_ptr<ZV_SVideoPlayer> last = feed->curPlayer();
    advance(1.5);
    double position = last->currentTime();
    ASSERT_GT(position, 0.5);

    ASSERT_TRUE(settle([&] { return feed->list.size() > 16; }));
    EXPECT_EQ(api().recordsTo("v1/video/display").size(), 2u);
    ASSERT_EQ(feed->list.size(), 19u);
    EXPECT_EQ(feed->list[16]->title, "片段0") << "appended, duplicates and all";
    EXPECT_EQ(feed->curPlayer(), last);
    EXPECT_EQ(playing(last), proxied(15));
    EXPECT_FALSE(last->isPaused());
    EXPECT_GE(last->currentTime(), position) << "not started over";
}

// The end of the feed: a page that brought no clip leaves the list as it is, so nothing displays
// the last clip again and nothing more is asked (each request with its loading tip); the viewer
// coming back to the last clip asks again; while a page is on its way, showing the last clip
// again asks for nothing.
TEST_F(FeedTest, AnEmptyPageAsksForNothingMoreUntilTheViewerComesBackAndOnePageIsAskedAtATime)
{
    api().script("v1/video/display", ApiReply::success({ { "list", clips(0, 16) } }));
    auto feed = show(std::make_shared<ZV_ShortVideoViewController>());
    ASSERT_TRUE(settle([&] { return !feed->list.empty(); }));
    CGFloat page = feed->collectionView()->bounds().height();
    auto asked = [] { return api().recordsTo("v1/video/display").size(); };
    // Every reply in, then long enough (real time) for a storm to fill the server's record.
    auto quiet = [&] {
        EXPECT_TRUE(settle([&] { return ui->hides >= int(asked()); }));
        runUntil(
            [] {
                drain();
                return false;
            },
            0.3);
        drain();
    };

    api().script("v1/video/display", ApiReply::success({ { "list", nlohmann::json::array() } }));
    scrollTo(*feed, 15 * page);
    quiet();
    EXPECT_EQ(asked(), 2u);
    EXPECT_EQ(ui->loadings, 2);
    EXPECT_EQ(feed->list.size(), 16u);

    scrollTo(*feed, 14 * page);
    scrollTo(*feed, 15 * page);
    quiet();
    EXPECT_EQ(asked(), 3u) << "the viewer came back to the last clip";

    ApiReply slow = ApiReply::success({ { "list", clips(16, 2) } });
    slow.delay = std::chrono::milliseconds(300);
    api().script("v1/video/display", slow);
    for (int pass = 0; pass < 3; ++pass) {
        scrollTo(*feed, 14 * page);
        scrollTo(*feed, 15 * page);
    }
    ASSERT_TRUE(settle([&] { return feed->list.size() > 16; }));
    quiet();
    EXPECT_EQ(asked(), 4u);
    EXPECT_EQ(ui->loadings, 4);
    ASSERT_EQ(feed->list.size(), 18u) << "one page, appended once";
    EXPECT_EQ(feed->list[16]->title, "片段16");

    // The full feed alike.
    api().script("v1/video/display", ApiReply::success({ { "list", nlohmann::json::array() } }));
    auto full = fullFeed(clips(0, 3), 0);
    advance(0.11);
    drain();
    scrollTo(*full, 2 * kPage);
    quiet();
    EXPECT_EQ(asked(), 5u);
    EXPECT_EQ(full->list.size(), 3u);
}

TEST_F(FeedTest, AClipWithoutFieldsShowsEmptyTextsAndNoVideoEvenInAReusedPage)
{
    auto feed = fullFeed(nlohmann::json::array({ clip(0), nlohmann::json::object() }), 0);
    std::shared_ptr<ZV_ShortVideoViewCell> page = cellAt(*feed, 0);
    ASSERT_TRUE(page->player()->URLAsset());
    EXPECT_EQ(page->nameLabel()->text(), "片段0");

    scrollTo(*feed, kPage);
    ASSERT_EQ(cellAt(*feed, 1), page) << "the same page object, reused";
    EXPECT_FALSE(page->player()->URLAsset()) << "clip 0 does not go on under another clip";
    EXPECT_EQ(page->nameLabel()->text(), "");
    EXPECT_EQ(page->descLabel()->text(), "");
    EXPECT_FALSE(page->coverImageView()->image());
}

TEST_F(FeedTest, ButtonsOpenTheSearchForTheTitleAndThePosterOfTheClip)
{
    auto feed = fullFeed(clips(0, 2), 0);
    auto page = cellAt(*feed, 0);
    page->shareButton()->sendActions(UIControlEventTouchUpInside);
    drain();
    auto poster = std::dynamic_pointer_cast<ZV_ShortShareViewController>(feed->presentedViewController());
    ASSERT_TRUE(poster);
    EXPECT_EQ(poster->model, feed->list[0]);
    EXPECT_FALSE(feed->curPlayer()->isPaused()) << "the feed stays on screen under the poster";
    poster->dismiss(false);
    drain();

    page->allButton()->sendActions(UIControlEventTouchUpInside);
    drain();
    auto search = std::dynamic_pointer_cast<ZV_SearchVC>(feed->navigationController()->topViewController());
    ASSERT_TRUE(search);
    EXPECT_EQ(search->keyword(), "片段0");
    // The search page searches for the title at once: the field, the history and the request.
    EXPECT_EQ(search->zv_searchView()->zv_searchField()->text(), "片段0");
    EXPECT_EQ(ZV_SearchVC::history(), (std::vector<std::string> { "片段0" }));
    ASSERT_TRUE(settle([] { return !api().recordsTo("v1/movie/search").empty(); }));
    ASSERT_TRUE(settle([&] {
        return ui->hides >= int(api().recordsTo("v1/movie/search").size()
                   + api().recordsTo("v1/movie/search_ranking").size()
                   + api().recordsTo("v1/movie/search_lately_words").size());
    })) << "every reply of the search page in";
    auto searches = api().recordsTo("v1/movie/search");
    ASSERT_EQ(searches.size(), 1u);
    ASSERT_TRUE(searches[0].parameters);
    EXPECT_EQ((*searches[0].parameters)["keyword"], "片段0");
    EXPECT_EQ((*searches[0].parameters)["res_type"], "by_movie_name");
    EXPECT_EQ((*searches[0].parameters)["page"], 1);
}

TEST_F(FeedTest, ASwipeLeftOpensTheGridWithTheFeedsClipsWhoseRefreshEndsAndKeepsThem)
{
    api().script("v1/video/display", ApiReply::success({ { "list", clips(0, 5) } }));
    auto feed = show(std::make_shared<ZV_ShortVideoViewController>());
    ASSERT_TRUE(settle([&] { return !feed->list.empty(); }));
    scrollTo(*feed, 2 * feed->collectionView()->bounds().height());
    feed->playMostVisibleCell();

    ASSERT_TRUE(driver.drag(CGPoint { 330, 450 }, CGPoint { 60, 450 }, 0.2));
    drain();
    auto grid = std::dynamic_pointer_cast<ZV_ShortListViewController>(
        feed->navigationController()->topViewController());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->list, feed->list);
    EXPECT_EQ(grid->index, 2);
    EXPECT_TRUE(feed->curPlayer()->isPaused()) << "leaving pauses the feed";
    window->layoutIfNeeded();
    advance(2);
    window->layoutIfNeeded();
    EXPECT_FALSE(mjHeader(*grid->collectionView())->isRefreshing());
    EXPECT_EQ(grid->list.size(), 5u);
    EXPECT_EQ(grid->collectionView()->numberOfItems(0), 5);
    EXPECT_EQ(grid->collectionView()->visibleCells().size(), 5u);

    // Nothing more comes from below.
    mjFooter(*grid->collectionView())->beginRefreshing();
    advance(1);
    EXPECT_EQ(mjFooter(*grid->collectionView())->state(), MJRefreshState::noMoreData);

    // A tile opens a feed of its own at that clip, with the whole list.
    grid->didSelectItem(*grid->collectionView(), IndexPath(3, 0));
    drain();
    auto full = std::dynamic_pointer_cast<ZV_ShortVideoViewController>(
        grid->navigationController()->topViewController());
    ASSERT_TRUE(full && full != feed);
    EXPECT_TRUE(full->isShowFull);
    EXPECT_EQ(full->index, 3);
    EXPECT_EQ(full->list, feed->list);

    EXPECT_EQ(ZV_ShortListViewController::itemSize(375, false).width, 162.5);
    EXPECT_NEAR(ZV_ShortListViewController::itemSize(375, false).height, 270.83, 0.01);
    EXPECT_EQ(ZV_ShortListViewController::itemSize(1024, true).width, 241);
    EXPECT_NEAR(ZV_ShortListViewController::itemSize(1024, true).height, 401.67, 0.01);
}

}
