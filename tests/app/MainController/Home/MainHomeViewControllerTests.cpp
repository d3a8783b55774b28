// The home root against the local test server: the order of its first requests, the kept
// configuration and its use when none comes, the tab row, which page each tab gets and what the
// feed's section headers open.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Home/Controller/ZV_HomeScreemVC.h"
#include "app/MainController/Home/Controller/ZV_HomeViewController.h"
#include "app/MainController/Home/Controller/ZV_MainHomeViewController.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackVC.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/segmented/JXSegmentedTitleCell.h"
#include "tests/app/MainController/Home/HomeTestSupport.h"

#include <gtest/gtest.h>

using testserver::ApiReply;

namespace {

using Titles = std::vector<std::string>;

class MainHomeTest : public zvtest::HomeScreenTest {
protected:
    // The home tab shown, its update check and configuration answered, the first feed asked for.
    void start()
    {
        show(home);
        ASSERT_TRUE(waitForReplies(0, 2));
        // The first tab's feed starts loading once its refresh header has come out.
        advance(0.5);
        ASSERT_TRUE(waitForReplies(2));
    }

    // Teen mode changed: the configuration is asked for again; waits for its reply.
    void reloadConfig()
    {
        int before = ui->hides;
        NotificationCenter::defaultCenter().post("pureMode");
        ASSERT_TRUE(waitForReplies(before));
    }

    static std::optional<std::string> keptConfig()
    {
        return UserDefaults::standard().stringForKey("appConfig");
    }

    // The update prompts on screen.
    static std::vector<std::shared_ptr<QMUIModalPresentationViewController>> updatePrompts()
    {
        auto prompts = QMUIModalPresentationViewController::visibleModalPresentationViewControllers();
        std::erase_if(prompts, [](const auto& prompt) { return prompt->className() != "ZV_UpdateAPPView"; });
        return prompts;
    }

    std::shared_ptr<ZV_MainHomeViewController> home = std::make_shared<ZV_MainHomeViewController>();
};

TEST_F(MainHomeTest, StartChecksForUpdatesThenLoadsTheConfigurationThenTheFeed)
{
    start();

    Titles paths = calledPaths();
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths, (Titles { "v1/app/check_update", "v1/app/config", "v1/movie/index_recommend" }));
    auto check = api().recordsTo("v1/app/check_update");
    ASSERT_TRUE(check[0].parameters);
    EXPECT_EQ((*check[0].parameters)["type"], "ios");
    EXPECT_EQ((*check[0].parameters)["current"], 308);

    // The sample offers a newer version: one prompt.
    EXPECT_EQ(updatePrompts().size(), 1u);

    EXPECT_EQ(home->zv_dataSource()->titles, (Titles { "推荐", "电影", "剧集", "动漫" }));
    EXPECT_EQ(home->types, (std::vector<std::int64_t> { 0, 1, 2, 3 }));
    EXPECT_EQ(ConfigSingleton::shared().zv_configData, home->zv_configData);
}

TEST_F(MainHomeTest, AnUpdateReplyOfAnyOtherStateShowsNoPrompt)
{
    api().script("v1/app/check_update",
        ApiReply::success({ { "state", "new_version " }, { "data", { { "title", "新版本" } } } }));
    start();
    EXPECT_TRUE(updatePrompts().empty());
}

TEST_F(MainHomeTest, OnlyADeliveredConfigurationIsKeptAndAFailureFallsBackToTheKeptOne)
{
    start();
    std::optional<std::string> kept = keptConfig();
    ASSERT_TRUE(kept);
    EXPECT_EQ(JSON::parse(*kept)["index_top_nav"].count(), 4u);

    int noti = 0;
    NotificationCenter::defaultCenter().addObserver(
        "noti", [&](const Notification&) { ++noti; }, this);
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    std::vector<Case> cases {
        { "an error reply", [] { api().script("v1/app/config", ApiReply::error(500, "服务繁忙")); } },
        { "a reply without data", [] { api().script("v1/app/config", ApiReply::success(nullptr, "ok")); } },
        { "no reply", [] { BaseURLs::main_url() = deadURL() + "/api/"; } },
    };
    for (const Case& c : cases) {
        c.arrange();
        const std::shared_ptr<const ZV_ConfigData> before = home->zv_configData;
        reloadConfig();
        EXPECT_EQ(keptConfig(), kept) << c.what;
        EXPECT_NE(home->zv_configData, before) << c.what << ": applied again from the kept text";
        EXPECT_EQ(home->zv_dataSource()->titles.size(), 4u) << c.what;
    }
    EXPECT_EQ(noti, 3);
    NotificationCenter::defaultCenter().removeObservers(this);
}

TEST_F(MainHomeTest, WithoutAConfigurationNothingIsKeptAndNoTabStands)
{
    api().script("v1/app/config", ApiReply::error(500, "服务繁忙"));
    show(home);
    ASSERT_TRUE(waitForReplies(0, 2));
    advance(1);
    EXPECT_FALSE(keptConfig());
    EXPECT_TRUE(home->zv_dataSource()->titles.empty());
    EXPECT_FALSE(home->zv_configData);
    EXPECT_TRUE(api().recordsTo("v1/movie/index_recommend").empty());
}

TEST_F(MainHomeTest, TabIdChoosesThePageAndTheFirstClassComesTwice)
{
    home->applyConfig(JSON::parse(R"({
        "index_top_nav": [{"id": 0, "name": "推荐"}, {"id": 1, "name": "电影"}, {"id": 2, "name": "剧集"},
                          {"id": 7, "name": "纪录"}],
        "movie_screen": {
            "filter": [{"id": 0, "class": ["Z"]},
                       {"id": 1, "class": ["A", "B"], "area": ["X"]},
                       {"id": 2, "class": []}],
            "sort": [{"name": "最热", "value": "hits"}]}})"));

    struct Case {
        int index;
        bool feed;
        std::int64_t typeId;
        std::optional<Titles> classes;
    };
    for (const Case& c : std::vector<Case> {
             { 0, true, 0, std::nullopt }, // id 0 is the feed, a group of id 0 notwithstanding
             { 1, false, 1, Titles { "A", "A", "B" } }, { 2, false, 2, Titles {} },
             { 3, false, 7, std::nullopt }, // no group: a filter page without options
         }) {
        auto page = home->initListAt(*home->zv_listContainerView(), c.index);
        if (c.feed) {
            EXPECT_TRUE(std::dynamic_pointer_cast<ZV_HomeViewController>(page)) << c.index;
            continue;
        }
        auto screen = std::dynamic_pointer_cast<ZV_HomeScreemVC>(page);
        ASSERT_TRUE(screen) << c.index;
        EXPECT_EQ(screen->type_id, c.typeId);
        ASSERT_EQ(screen->zv_sort.size(), 1u);
        EXPECT_EQ(screen->zv_sort[0].value, "hits");
        EXPECT_EQ(screen->zv_filter.has_value(), c.classes.has_value()) << c.index;
        if (screen->zv_filter && c.classes) {
            EXPECT_EQ(screen->zv_filter->type, *c.classes) << c.index;
        }
    }
    // Asking twice doubles nothing, and the published configuration keeps the server's lists.
    auto again
        = std::dynamic_pointer_cast<ZV_HomeScreemVC>(home->initListAt(*home->zv_listContainerView(), 1));
    ASSERT_TRUE(again && again->zv_filter);
    EXPECT_EQ(again->zv_filter->type, (Titles { "A", "A", "B" }));
    EXPECT_EQ(ConfigSingleton::shared().zv_configData->movie_screen.filter[1].type, (Titles { "A", "B" }));
}

TEST_F(MainHomeTest, MoreLinksOpenThePlaybackHistoryOrSwitchTabs)
{
    start();
    ZV_HomeRightModel link;
    link.type = "navigator";
    link.data.page = "elsewhere";
    home->clickRight(link);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);

    link.data.page = "play_record";
    home->clickRight(link);
    layout();
    EXPECT_TRUE(std::dynamic_pointer_cast<ZV_PlaybackVC>(navigation->topViewController()));
    navigation->popViewController(false);
    layout();

    link.type = "tabs";
    link.data.index = 2;
    home->clickRight(link);
    EXPECT_EQ(home->zv_segmentedView()->selectedIndex(), 2);
    EXPECT_EQ(home->zv_listContainerView()->currentIndex(), 2);
}

TEST_F(MainHomeTest, TheChosenTabStandsOutInLettersOf24Points)
{
    start();
    const JXSegmentedTitleDataSource& style = *home->zv_dataSource();
    EXPECT_EQ(style.titleNormalFont, UIFont::systemFont(16, UIFont::Weight::medium));
    EXPECT_EQ(style.titleSelectedFont, UIFont::systemFont(24, UIFont::Weight::medium));
    EXPECT_EQ(style.itemSpacing, 26);
    EXPECT_TRUE(style.isTitleZoomEnabled);
    EXPECT_EQ(style.titleSelectedZoomScale, 1.5);
    EXPECT_TRUE(style.isTitleColorGradientEnabled);

    auto title = [&](int index) -> std::optional<UIFont> {
        auto cell
            = std::dynamic_pointer_cast<JXSegmentedTitleCell>(home->zv_segmentedView()->cellForItem(index));
        return cell ? std::optional(cell->titleLabel()->font()) : std::nullopt;
    };
    EXPECT_EQ(title(0), UIFont::systemFont(24, UIFont::Weight::medium));
    EXPECT_EQ(title(1), UIFont::systemFont(16, UIFont::Weight::medium));
}

TEST_F(MainHomeTest, AStringKeptUnderHomeParseJSONLeavesTheTabsAsTheyAre)
{
    int noti = 0;
    NotificationCenter::defaultCenter().addObserver(
        "noti", [&](const Notification&) { ++noti; }, this);
    const char* config = R"({"index_top_nav": [{"id": 0, "name": "推荐"}, {"id": 1, "name": "电影"}]})";
    UserDefaults::standard().set(PropertyList(std::string("{}")), "home_parseJSON");
    home->applyConfig(JSON::parse(config));
    EXPECT_TRUE(home->zv_dataSource()->titles.empty());
    EXPECT_TRUE(home->types.empty());
    ASSERT_TRUE(ConfigSingleton::shared().zv_configData);
    EXPECT_EQ(ConfigSingleton::shared().zv_configData->index_top_nav.size(), 2u);
    EXPECT_EQ(noti, 1);

    UserDefaults::standard().set(std::nullopt, "home_parseJSON");
    home->applyConfig(JSON::parse(config));
    EXPECT_EQ(home->zv_dataSource()->titles, (Titles { "推荐", "电影" }));
    EXPECT_EQ(noti, 2);
    NotificationCenter::defaultCenter().removeObservers(this);
}

// A tap anywhere on a section's header hands its link to the home root: a link without a type
// opens nothing, whether it has a text or not.
TEST_F(MainHomeTest, AFeedHeaderOpensWhatItsLinkNamesAndNothingForAnEmptyLink)
{
    api().script("v1/movie/index_recommend", ApiReply::success(nlohmann::json::parse(R"([
        {"layout": "index_recommend_grid", "title": "没有链接", "right": {}, "list": []},
        {"layout": "index_recommend_grid", "title": "只有文字", "right": {"text": "更多"}, "list": []},
        {"layout": "index_recommend_grid", "title": "看过的",
         "right": {"text": "全部", "type": "navigator", "data": {"page": "play_record"}}, "list": []},
        {"layout": "index_recommend_grid", "title": "剧集",
         "right": {"text": "更多", "type": "tabs", "data": {"index": 2}}, "list": []}])")));
    start();
    auto pages = home->zv_listContainerView()->validListDict();
    ASSERT_TRUE(pages.contains(0));
    auto feed = std::dynamic_pointer_cast<ZV_HomeViewController>(pages.at(0));
    ASSERT_TRUE(feed);
    ASSERT_EQ(feed->modelList.size(), 4u);
    auto tapHeader = [&](int section) {
        auto header = feed->collectionView()->supplementaryView(
            UICollectionElementKindSectionHeader, IndexPath(0, section));
        ASSERT_TRUE(header) << section;
        ASSERT_TRUE(TouchDriver().tapView(*header)) << section;
        layout();
    };

    for (int section : { 0, 1 }) {
        tapHeader(section);
        EXPECT_EQ(navigation->viewControllers().size(), 1u) << section;
        EXPECT_FALSE(navigation->presentedViewController()) << section;
        EXPECT_EQ(home->zv_segmentedView()->selectedIndex(), 0) << section;
    }
    tapHeader(2);
    EXPECT_TRUE(std::dynamic_pointer_cast<ZV_PlaybackVC>(navigation->topViewController()));
    navigation->popViewController(false);
    // The page is back once the transition is over, and asks for its feed again.
    advance(1);
    runUntil([&] { return ui->hides >= static_cast<int>(api().records().size()); });
    layout();
    tapHeader(3);
    EXPECT_EQ(home->zv_segmentedView()->selectedIndex(), 2);
}
}
