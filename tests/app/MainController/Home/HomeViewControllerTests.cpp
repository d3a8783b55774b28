// The recommend feed: its section sizes, the ad-free mode, what taps open, the failure state and
// the reload after coming back to the page.

#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Home/Controller/ZV_HomeViewController.h"
#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"
#include "app/MainController/Home/View/ZV_HomeBannerSubCell.h"
#include "app/MainController/Home/View/ZV_HomeScrollCollCell.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIEmptyView.h"
#include "tests/app/MainController/Home/HomeTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

using testserver::ApiReply;

namespace {

// Two carousels (titles and a web link; a web link only), an advert, a grid of two.
const char* const craftedFeed = R"([
    {"layout": "index_recommend_carousel", "list": [
        {"click": "40217", "type": 1, "title": "甲"}, {"click": "https://example.org/event", "type": 3, "title": "乙"}]},
    {"layout": "index_recommend_carousel", "list": [{"click": "https://example.org/only", "type": 3}]},
    {"layout": "advert_self", "data": {"data": {"image": "", "url": "https://example.org/promo"}}},
    {"layout": "index_recommend_grid", "title": "热门", "list": [{"id": "40311"}, {"id": "40522"}]}
])";

class HomeFeedTest : public zvtest::HomeScreenTest {
protected:
    // The feed on screen with its first reply in.
    void start()
    {
        show(feed);
        ASSERT_TRUE(waitForReplies(0));
        ASSERT_FALSE(feed->modelList.empty());
    }

    std::vector<std::string> layouts() const
    {
        std::vector<std::string> result;
        for (const auto& section : feed->modelList)
            result.push_back(section->layout);
        return result;
    }

    std::shared_ptr<ZV_HomeViewController> feed = std::make_shared<ZV_HomeViewController>();
};

TEST(HomeFeedSizes, FollowTheLayoutAndTheScreenWidth)
{
    struct Case {
        const char* layout;
        CGFloat width;
        bool pad;
        CGSize item;
        CGSize header;
    };
    const CGFloat phoneCarousel = 342.0 * 190 / 342;
    const CGFloat padCarousel = (820 - 48) * 190.0 / 342 * 0.5 + 24;
    for (const Case& c : std::vector<Case> {
             { "index_recommend_carousel", 390, false, { 342, phoneCarousel }, { 0, 0 } },
             { "index_recommend_carousel", 820, true, { 772, padCarousel }, { 0, 0 } },
             { "index_recommend_playback", 390, false, { 342, 120 }, { 390, 70 } },
             { "advert_self", 390, false, { 342, 342.0 * 122 / 342 }, { 390, 20 } },
             // floor(310 / 3) = 103 on a phone; floor(708 / 5) = 141 on an iPad.
             { "index_recommend_grid", 390, false, { 103, 184 }, { 390, 70 } },
             { "anything", 375, false, { 98, 98.0 * 184 / 103 }, { 375, 70 } },
             { "index_recommend_grid", 820, true, { 141, 141.0 * 184 / 103 }, { 820, 70 } },
         }) {
        EXPECT_EQ(ZV_HomeViewController::itemSize(c.layout, c.width, c.pad), c.item)
            << c.layout << " " << c.width;
        EXPECT_EQ(ZV_HomeViewController::headerSize(c.layout, c.width), c.header) << c.layout;
    }
    ZV_HomeRecommendModelData grid(JSON::parse(R"({"layout": "x", "list": [{}, {}, {}, {}, {}, {}, {}]})"));
    EXPECT_EQ(ZV_HomeViewController::numberOfItems(grid), 7);
    grid.layout = "index_recommend_carousel";
    EXPECT_EQ(ZV_HomeViewController::numberOfItems(grid), 1);
}

TEST_F(HomeFeedTest, AdFreeModeDropsAdvertsAndCarouselLinksButKeepsTheCarouselHeight)
{
    start();
    for (bool adFree : { false, true }) {
        UserDefaults::standard().setBool(adFree, "cleanAD");
        feed->handleRecommend(JSON::parse(craftedFeed), std::nullopt);
        layout();
        if (!adFree) {
            EXPECT_EQ(layouts().size(), 4u);
            EXPECT_EQ(feed->modelList[0]->list.size(), 2u);
            continue;
        }
        EXPECT_EQ(layouts(),
            (std::vector<std::string> {
                "index_recommend_carousel", "index_recommend_carousel", "index_recommend_grid" }));
        EXPECT_EQ(feed->modelList[0]->list.size(), 1u);
        EXPECT_TRUE(feed->modelList[1]->list.empty());
        auto empty = feed->collectionView()->layoutAttributesForItem(IndexPath(0, 1));
        ASSERT_TRUE(empty);
        EXPECT_EQ(empty->frame.size, ZV_HomeViewController::itemSize("index_recommend_carousel", 390, false));
    }
}

// Ad-free, a carousel keeps only its titles (type 1): links, other kinds and items without a type
// go, on the page as in the section.
TEST_F(HomeFeedTest, AdFreeCarouselsKeepOnlyTheirTitles)
{
    start();
    UserDefaults::standard().setBool(true, "cleanAD");
    feed->handleRecommend(JSON::parse(R"([{"layout": "index_recommend_carousel", "list": [
        {"click": "40217", "type": 1}, {"click": "40311", "type": 2}, {"click": "https://example.org/a", "type": 3},
        {"click": "40522"}, {"click": "40603", "type": 0}, {"click": "40609", "type": 1}]}])"),
        std::nullopt);
    layout();
    auto clicks = [](const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& list) {
        std::vector<std::string> result;
        for (const auto& item : list)
            result.push_back(item ? item->click : "-");
        return result;
    };
    ASSERT_EQ(feed->modelList.size(), 1u);
    EXPECT_EQ(clicks(feed->modelList[0]->list), (std::vector<std::string> { "40217", "40609" }));
    auto carousel = std::dynamic_pointer_cast<ZV_HomeBannerCollCell>(
        feed->collectionView()->cellForItem(IndexPath(0, 0)));
    ASSERT_TRUE(carousel);
    EXPECT_EQ(clicks(carousel->list()), (std::vector<std::string> { "40217", "40609" }));
    EXPECT_EQ(carousel->bannerView()->itemCount(), 2);
}

TEST_F(HomeFeedTest, TapsOpenTitlesByClickOrIdAndLinksInTheBrowser)
{
    start();
    feed->handleRecommend(JSON::parse(craftedFeed), std::nullopt);
    layout();
    auto detailOnTop = [&]() -> std::string {
        layout();
        auto detail = std::dynamic_pointer_cast<ZV_DetailVC>(navigation->topViewController());
        std::string id = detail ? detail->vod_id : "none";
        if (detail) {
            navigation->popViewController(false);
            layout();
        }
        return id;
    };
    auto browserURL = [&]() -> std::string {
        auto browser
            = std::dynamic_pointer_cast<SFSafariViewController>(navigation->presentedViewController());
        std::string url = browser ? browser->url() : "none";
        if (browser)
            navigation->dismiss(false);
        layout();
        return url;
    };

    // A finger on the carousel's first page: its title, once.
    auto carousel = std::dynamic_pointer_cast<ZV_HomeBannerCollCell>(
        feed->collectionView()->cellForItem(IndexPath(0, 0)));
    ASSERT_TRUE(carousel);
    std::shared_ptr<UIView> page;
    for (const auto& cell : carousel->bannerView()->collectionView()->visibleCells()) {
        auto sub = std::dynamic_pointer_cast<ZV_HomeBannerSubCell>(cell);
        if (sub && sub->model() && sub->model()->click == "40217")
            page = sub;
    }
    ASSERT_TRUE(page);
    ASSERT_TRUE(TouchDriver().tapView(*page));
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(detailOnTop(), "40217");

    feed->openCarouselItem(feed->modelList[0]->list[1]);
    EXPECT_EQ(browserURL(), "https://example.org/event");
    auto other = std::make_shared<ZV_HomeRecommendModelDataList>();
    other->type = 2;
    other->click = "40217";
    feed->openCarouselItem(other);
    feed->openCarouselItem(nullptr);
    EXPECT_EQ(detailOnTop(), "none");
    EXPECT_EQ(browserURL(), "none");

    // The grid opens by id; the advert its link.
    feed->didSelectItem(*feed->collectionView(), IndexPath(1, 3));
    EXPECT_EQ(detailOnTop(), "40522");
    feed->didSelectItem(*feed->collectionView(), IndexPath(5, 3));
    EXPECT_EQ(detailOnTop(), "none");
    feed->didSelectItem(*feed->collectionView(), IndexPath(0, 2));
    EXPECT_EQ(browserURL(), "https://example.org/promo");
}

TEST_F(HomeFeedTest, OnlyAFailureWithoutReplyShowsTheRetryAndTheSectionsStay)
{
    start();
    std::size_t sections = feed->modelList.size();

    BaseURLs::main_url() = deadURL() + "/api/";
    int before = ui->hides;
    feed->loadRecommend();
    ASSERT_TRUE(waitForReplies(before));
    EXPECT_TRUE(feed->isEmptyViewShowing());
    EXPECT_EQ(feed->emptyView()->textLabel()->text(), "加载失败，点击重试");
    EXPECT_EQ(feed->modelList.size(), sections);

    // The retry goes to the server again; a refusal of the server hides the state.
    BaseURLs::resetToDefaults();
    api().script("v1/movie/index_recommend", ApiReply::error(1001, "稍后再试"));
    before = ui->hides;
    ASSERT_TRUE(TouchDriver().tapView(*feed->emptyView()->textLabel()));
    ASSERT_TRUE(waitForReplies(before));
    EXPECT_FALSE(feed->isEmptyViewShowing());
    EXPECT_EQ(feed->modelList.size(), sections);
}

// A reply that yields no feed fails like one that never came: the retry shown, one log line,
// the sections on screen kept; the smallest real feed replaces them.
TEST_F(HomeFeedTest, AReplyWithoutAFeedIsALoadFailureShownAndLoggedOnce)
{
    start();
    std::size_t sections = feed->modelList.size();
    std::vector<std::string> logged;
    Log::setSink([&](std::string_view line) {
        if (line.starts_with("ZV_HomeViewController:"))
            logged.emplace_back(line);
    });
    struct Case {
        const char* what;
        const char* body; // the whole reply; none for a broken one
        std::optional<testserver::ApiFault> fault;
        bool isFeed;
    };
    const Case cases[] = {
        { "no envelope", R"({"foo":1})", {}, false },
        { "data a number", R"({"errorCode":0,"msg":"success","data":5})", {}, false },
        { "data an array of scalars", R"({"errorCode":0,"msg":"success","data":[1,"x",null,true]})", {},
            false },
        { "data an empty object", R"({"errorCode":0,"msg":"success","data":{}})", {}, false },
        { "data one section, not an array",
            R"({"errorCode":0,"msg":"success","data":{"layout":"index_recommend_grid","list":[{"id":"40311"}]}})",
            {}, false },
        { "members of the wrong types",
            R"({"errorCode":0,"data":[{"layout":7,"title":[],"list":{"id":"40311"},"data":"x"},{"layout":"index_recommend_grid","list":[1,"40311",[],{}]},{"layout":"advert_self","data":"https://example.org/promo"}]})",
            {}, false },
        { "cut short", nullptr, testserver::ApiFault::Cut, false },
        { "not JSON", nullptr, testserver::ApiFault::NotJSON, false },
        { "one grid of one title",
            R"({"errorCode":0,"data":[{"layout":"index_recommend_grid","list":[{"id":"40311"}]}]})", {},
            true },
        { "one section with a header and nothing listed",
            R"({"errorCode":0,"data":[{"layout":"index_recommend_grid","title":"剧集","list":[]}]})", {}, true },
        { "one advert",
            R"({"errorCode":0,"data":[{"layout":"advert_self","data":{"data":{"url":"https://example.org/promo"}}}]})",
            {}, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        feed->showEmptyView(false, BaseViewController::emptyKindNothing);
        server().clearScripts();
        api().clearScripts();
        if (c.body)
            server().script("/api/v1/movie/index_recommend", testserver::Reply::json(c.body));
        if (c.fault)
            api().setFault("v1/movie/index_recommend", *c.fault);
        std::size_t lines = logged.size();
        int before = ui->hides;
        feed->loadRecommend();
        ASSERT_TRUE(waitForReplies(before));
        if (c.isFeed) {
            EXPECT_FALSE(feed->isEmptyViewShowing());
            EXPECT_EQ(feed->modelList.size(), 1u);
            EXPECT_EQ(logged.size(), lines);
            continue;
        }
        EXPECT_TRUE(feed->isEmptyViewShowing());
        EXPECT_EQ(feed->emptyView()->textLabel()->text(), "加载失败，点击重试");
        EXPECT_EQ(feed->modelList.size(), sections);
        EXPECT_EQ(logged.size(), lines + 1);
    }
    Log::setSink({});

    // The retry of the last failure brings the sample feed back.
    server().clearScripts();
    api().setFault("v1/movie/index_recommend", testserver::ApiFault::ServerError);
    int before = ui->hides;
    feed->loadRecommend();
    ASSERT_TRUE(waitForReplies(before));
    ASSERT_TRUE(feed->isEmptyViewShowing());
    api().clearScripts();
    before = ui->hides;
    ASSERT_TRUE(TouchDriver().tapView(*feed->emptyView()->textLabel()));
    ASSERT_TRUE(waitForReplies(before));
    EXPECT_FALSE(feed->isEmptyViewShowing());
    EXPECT_EQ(feed->modelList.size(), sections);
}

// An empty array is the server recommending nothing: the sections go and the page stays empty,
// without the failure state or its picture and without a log line, however `data` travelled.
// Elements that are no objects are left out of a feed (one log line); a reply with nothing but
// them, or that is no array, fails and keeps the sections.
TEST_F(HomeFeedTest, AnEmptyArrayEmptiesThePageAndElementsThatAreNoObjectsAreLeftOut)
{
    start();
    std::size_t sampleSections = feed->modelList.size();
    std::vector<std::string> logged;
    Log::setSink([&](std::string_view line) {
        if (line.starts_with("ZV_HomeViewController:"))
            logged.emplace_back(line);
    });
    auto encrypted = [](ApiReply reply, ApiReply::Encryption encryption) {
        reply.encryption = encryption;
        return reply;
    };
    const nlohmann::json grid = { { "layout", "index_recommend_grid" }, { "title", "热门" },
        { "list", nlohmann::json::array({ { { "id", "40311" } } }) } };
    const nlohmann::json advert
        = { { "layout", "advert_self" }, { "data", { { "data", { { "url", "https://example.org/promo" } } } } } };
    enum class Outcome { empty, feed, failed };
    struct Case {
        const char* what;
        ApiReply reply;
        Outcome outcome;
        std::vector<std::string> layouts; // of a feed
    };
    const Case cases[] = {
        { "an empty array", ApiReply::success(nlohmann::json::array()), Outcome::empty, {} },
        { "an empty array as encrypted data",
            encrypted(ApiReply::success(nlohmann::json::array()), ApiReply::Encryption::Data), Outcome::empty, {} },
        { "an empty array in an encrypted body",
            encrypted(ApiReply::success(nlohmann::json::array()), ApiReply::Encryption::Body), Outcome::empty, {} },
        { "sections among numbers, texts and nulls",
            ApiReply::success(nlohmann::json::array({ 5, grid, "40311", nullptr, advert, true })), Outcome::feed,
            { "index_recommend_grid", "advert_self" } },
        { "only texts", ApiReply::success(nlohmann::json::array({ "40311", "40522" })), Outcome::failed, {} },
        { "an empty object", ApiReply::success(nlohmann::json::object()), Outcome::failed, {} },
        { "one section, not in an array", ApiReply::success(grid), Outcome::failed, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The sample feed on screen under a failure state of the last attempt.
        api().clearScripts();
        int before = ui->hides;
        feed->loadRecommend();
        ASSERT_TRUE(waitForReplies(before));
        ASSERT_EQ(feed->modelList.size(), sampleSections);
        api().setFault("v1/movie/index_recommend", testserver::ApiFault::NotJSON);
        before = ui->hides;
        feed->loadRecommend();
        ASSERT_TRUE(waitForReplies(before));
        ASSERT_TRUE(feed->isEmptyViewShowing());

        api().clearScripts();
        api().script("v1/movie/index_recommend", c.reply);
        std::size_t lines = logged.size();
        before = ui->hides;
        feed->loadRecommend();
        ASSERT_TRUE(waitForReplies(before));
        switch (c.outcome) {
        case Outcome::empty:
            EXPECT_FALSE(feed->isEmptyViewShowing());
            EXPECT_TRUE(feed->modelList.empty());
            EXPECT_EQ(feed->collectionView()->numberOfSections(), 0);
            EXPECT_EQ(logged.size(), lines);
            break;
        case Outcome::feed:
            EXPECT_FALSE(feed->isEmptyViewShowing());
            EXPECT_EQ(layouts(), c.layouts);
            EXPECT_EQ(feed->collectionView()->numberOfSections(), static_cast<int>(c.layouts.size()));
            EXPECT_EQ(logged.size(), lines + 1);
            break;
        case Outcome::failed:
            EXPECT_TRUE(feed->isEmptyViewShowing());
            EXPECT_EQ(feed->emptyView()->textLabel()->text(), "加载失败，点击重试");
            EXPECT_EQ(feed->modelList.size(), sampleSections);
            EXPECT_EQ(logged.size(), lines + 1);
            break;
        }
    }
    Log::setSink({});
    api().clearScripts();
}

// The strips of titles being watched are the viewer's own: signed out the sample feed comes
// without them and with every other kind of section; signed in, "继续观看" leads with where the
// newest play report left a title, as the history and the title page do.
TEST_F(HomeFeedTest, TheStripsOfTitlesBeingWatchedAreTheSignedInViewersAndFollowItsReports)
{
    auto strips = [&] {
        std::map<std::string, std::vector<std::string>> shown; // title -> "movie_id dynamic"
        for (const auto& section : feed->modelList) {
            if (section->layout != "index_recommend_playback")
                continue;
            for (const auto& item : section->list)
                shown[section->title].push_back(item->movie_id + " " + item->dynamic);
        }
        return shown;
    };
    start();
    EXPECT_TRUE(strips().empty());
    std::vector<std::string> kinds = layouts();
    for (const char* kind : { "index_recommend_carousel", "index_recommend_grid", "advert_self" })
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind;

    const std::string token = "tk-301877-first";
    setToken(token);
    testserver::ApiCall report;
    report.method = "POST";
    report.path = "v1/movie_play/report";
    report.token = token;
    report.parameters = { { "movie_id", "40217" }, { "episode_id", "2170004" }, { "movie_from", "lzm3u8" },
        { "current_time", 3 }, { "duration", 12 } };
    ASSERT_EQ(api().handler(report.path)(report).errorCode, 0);
    int before = ui->hides;
    feed->loadRecommend();
    ASSERT_TRUE(waitForReplies(before));
    std::map<std::string, std::vector<std::string>> shown = strips();
    ASSERT_FALSE(shown["继续观看"].empty());
    EXPECT_EQ(shown["继续观看"].front(), "40217 看到第4集 00:03");
    ASSERT_FALSE(shown["我的追剧"].empty());
    EXPECT_EQ(shown["我的追剧"].front(), "40217 看到第4集 00:03");
    EXPECT_EQ(feed->modelList.size(), kinds.size() + 2);
}

TEST_F(HomeFeedTest, ComingBackAsksOnceHalfASecondLater)
{
    start();
    auto feedCalls = [] { return api().recordsTo("v1/movie/index_recommend").size(); };
    ASSERT_EQ(feedCalls(), 1u);

    navigation->pushViewController(std::make_shared<ZV_DetailVC>(), false);
    layout();
    navigation->popViewController(false);
    layout();
    advance(0.49);
    EXPECT_FALSE(runUntil([&] { return feedCalls() > 1; }, 0.3));
    // Waited for by the call itself: the title page pushed above has requests of its own, whose
    // replies may come before or after the feed's.
    advance(0.01);
    ASSERT_TRUE(runUntil([&] { return feedCalls() > 1; }));
    EXPECT_EQ(feedCalls(), 2u);
    advance(2);
    EXPECT_FALSE(runUntil([&] { return feedCalls() > 2; }, 0.3));
}


// Signed in, "继续观看" is near the top and "我的追剧" far below: scrolling down hands the first
// one's cell to the second. Each keeps its own place, also through a reload with the same titles;
// a reload that brings a new record to the front starts the strip at its start.
TEST_F(HomeFeedTest, EachStripOfTitlesBeingWatchedKeepsItsOwnPlace)
{
    setToken("tk-301877-first");
    start();
    const int watchingSection = 1, followingSection = 6; // of the sample feed
    ASSERT_GT(feed->modelList.size(), 6u);
    ASSERT_EQ(feed->modelList[watchingSection]->title, "继续观看");
    ASSERT_EQ(feed->modelList[followingSection]->title, "我的追剧");
    auto strip = [&](int section) {
        const auto& view = feed->collectionView();
        view->scrollRectToVisible(view->layoutAttributesForItem(IndexPath(0, section))->frame, false);
        layout();
        return std::dynamic_pointer_cast<ZV_HomeScrollCollCell>(view->cellForItem(IndexPath(0, section)));
    };
    auto watching = strip(watchingSection);
    ASSERT_TRUE(watching);
    watching->setStripOffset(10000);
    const CGFloat end = watching->stripOffset();
    ASSERT_GT(end, 0);
    auto following = strip(followingSection);
    ASSERT_EQ(following, watching) << "one cell for both strips";
    EXPECT_EQ(following->stripOffset(), 0);
    following->setStripOffset(90);
    EXPECT_EQ(strip(watchingSection)->stripOffset(), end);

    testserver::ApiCall report;
    report.method = "POST";
    report.path = "v1/movie_play/report";
    report.token = "tk-301877-first";
    report.parameters = { { "movie_id", "40522" }, { "episode_id", "5220001" }, { "movie_from", "lzm3u8" },
        { "current_time", 3 }, { "duration", 12 } };
    ASSERT_EQ(api().handler(report.path)(report).errorCode, 0);
    int before = ui->hides;
    feed->loadRecommend();
    ASSERT_TRUE(waitForReplies(before));
    EXPECT_EQ(strip(watchingSection)->stripOffset(), 0) << "a new record at the front";
    EXPECT_EQ(strip(followingSection)->stripOffset(), 90) << "the same titles";
}
}
