// The short-video tab page against the local test server: its favourites badge, the like of a
// card swiped right, its tabs and the window's appearance.

#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Explore/Controller/ZV_ExploreVC.h"
#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "app/MainController/Explore/View/ZV_ExploreView.h"
#include "app/MainController/Mine/Collect/ZV_CollectVC.h"
#include "app/MainController/Short/Controller/ZV_ShortPageVC.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/app/MainController/Short/ShortTestSupport.h"

using testserver::ApiReply;

namespace {

class PageTest : public shorttest::ShortScreenTest {
protected:
    void SetUp() override
    {
        ShortScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        api().script("v1/user/movie_collect/list",
            ApiReply::success({ { "list", nlohmann::json::array() }, { "total", 12 } }));
        page = show(std::make_shared<ZV_ShortPageVC>());
        ASSERT_TRUE(settle([&] { return badge() == "12"; }));
    }
    void TearDown() override
    {
        page.reset();
        ShortScreenTest::TearDown();
    }

    // The badge as shown: its text, or "" while hidden.
    std::string badge() const { return page->numLb()->isHidden() ? "" : page->numLb()->text(); }
    std::size_t countRequests() const { return api().recordsTo("v1/user/movie_collect/list").size(); }
    std::vector<std::string> tips() const
    {
        std::vector<std::string> texts;
        for (const auto& tip : QMUITips::visibleTips()) {
            if (tip.kind != QMUITips::Kind::loading)
                texts.push_back(tip.text);
        }
        return texts;
    }

    void swipe(std::shared_ptr<UIView> card, ZLSwipeableViewDirection direction)
    {
        page->zv_exploreVC()->zv_swipeableView()->didSwipe(card, direction, {});
    }
    static std::shared_ptr<ZV_ExploreView> card(std::string id)
    {
        auto title = std::make_shared<ZV_MovieExploreModel>();
        title->id = std::move(id);
        auto view = ZV_ExploreView::make();
        view->setModel(title);
        return view;
    }

    std::shared_ptr<ZV_ShortPageVC> page;
};

TEST_F(PageTest, TheBadgeShowsTheServersCountAndHidesAtNone)
{
    auto asked = api().recordsTo("v1/user/movie_collect/list");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ((*asked[0].parameters)["page"], 1);
    EXPECT_EQ((*asked[0].parameters)["pageSize"], 1);

    for (const auto& [reply, expected] : std::vector<std::pair<ApiReply, std::string>> {
             { ApiReply::success({ { "total", 3 } }), "3" }, { ApiReply::success({ { "total", 0 } }), "" },
             { ApiReply::success({ { "total", 4 } }), "4" },
             { ApiReply::success({ { "list", nlohmann::json::array() } }), "" },
             { ApiReply::success({ { "total", 6 } }), "6" },
             { ApiReply::error(2000, "请先登录"), "" }, // signed out: nothing counted
         }) {
        std::string shown = expected;
        api().script("v1/user/movie_collect/list", reply);
        page->loadLikeCount();
        ASSERT_TRUE(settle([&] { return badge() == shown; })) << reply.envelopeText();
    }
    // A failed request changes nothing.
    api().script("v1/user/movie_collect/list", ApiReply::success({ { "total", 7 } }));
    page->loadLikeCount();
    ASSERT_TRUE(settle([&] { return badge() == "7"; }));
    api().script("v1/user/movie_collect/list", ApiReply::error(500, "服务器错误"));
    std::size_t before = countRequests();
    page->loadLikeCount();
    ASSERT_TRUE(settle([&] { return countRequests() > before; }));
    advance(0.1);
    EXPECT_EQ(badge(), "7");
}

TEST_F(PageTest, OnlyARightSwipeOfACardWithATitleLikesItAndTheCountComesFromTheServerAgain)
{
    api().script("v1/movie/collect/action", ApiReply { 0, "收藏成功", std::nullopt });
    swipe(card("50101"), ZLSwipeableViewDirection::left);
    swipe(ZV_ExploreView::make(), ZLSwipeableViewDirection::right);
    swipe(std::make_shared<UIView>(), ZLSwipeableViewDirection::right);
    swipe(card("50101"), ZLSwipeableViewDirection::up);
    advance(0.1);
    EXPECT_TRUE(api().recordsTo("v1/movie/collect/action").empty());

    // The server had counted the title already: its count, not the badge plus one.
    api().script("v1/user/movie_collect/list", ApiReply::success({ { "total", 12 } }));
    std::size_t counts = countRequests();
    swipe(card("50101"), ZLSwipeableViewDirection::right);
    ASSERT_TRUE(settle([&] { return countRequests() == counts + 1 && !tips().empty(); }));
    auto liked = api().recordsTo("v1/movie/collect/action");
    ASSERT_EQ(liked.size(), 1u);
    EXPECT_EQ(liked[0].request.method, "POST");
    EXPECT_EQ((*liked[0].parameters)["movie_id"], "50101");
    EXPECT_EQ((*liked[0].parameters)["state"], 1);
    EXPECT_EQ(badge(), "12");
    EXPECT_EQ(tips(), std::vector<std::string> { "收藏成功" });

    // A refused like: its message, and the badge as it was.
    QMUITips::hideAllTips();
    api().script("v1/movie/collect/action", ApiReply::error(1001, "影片不存在"));
    swipe(card("99999"), ZLSwipeableViewDirection::right);
    ASSERT_TRUE(settle([&] { return !tips().empty(); }));
    EXPECT_EQ(tips(), std::vector<std::string> { "影片不存在" });
    EXPECT_EQ(QMUITips::visibleTips().back().kind, QMUITips::Kind::error);
    EXPECT_EQ(countRequests(), counts + 1);
    EXPECT_EQ(badge(), "12");
}

TEST_F(PageTest, TheFavouritesButtonBelongsToTheExploreTab)
{
    EXPECT_EQ(page->zv_dataSource()->titles, (std::vector<std::string> { "短视频", "探剧" }));
    EXPECT_TRUE(page->zv_likeBtn()->isHidden());
    page->zv_segmentedView()->selectItemAt(1);
    drain();
    EXPECT_FALSE(page->zv_likeBtn()->isHidden());
    EXPECT_TRUE(page->zv_exploreVC()->isViewLoaded());
    page->zv_likeBtn()->sendActions(UIControlEventTouchUpInside);
    drain();
    EXPECT_TRUE(std::dynamic_pointer_cast<ZV_CollectVC>(page->navigationController()->topViewController()));
    page->navigationController()->popViewController(false);
    drain();
    page->zv_segmentedView()->selectItemAt(0);
    drain();
    EXPECT_TRUE(page->zv_likeBtn()->isHidden());
}

TEST_F(PageTest, TheWindowIsDarkWhileThePageShowsAndGetsTheStoredStyleBackTwice)
{
    EXPECT_EQ(window->overrideUserInterfaceStyle(), UIUserInterfaceStyle::dark);
    for (bool darkStored : { false, true }) {
        UIUserInterfaceStyle stored = darkStored ? UIUserInterfaceStyle::dark : UIUserInterfaceStyle::light;
        StoreData::set(PropertyList(darkStored), StoreData::isDarkColor);
        page->navigationController()->pushViewController(std::make_shared<BaseViewController>(), false);
        drain();
        EXPECT_EQ(window->overrideUserInterfaceStyle(), stored);
        // Something set it otherwise meanwhile: 0.1 s later the stored style is back.
        window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::unspecified);
        advance(0.09);
        EXPECT_EQ(window->overrideUserInterfaceStyle(), UIUserInterfaceStyle::unspecified);
        advance(0.02);
        EXPECT_EQ(window->overrideUserInterfaceStyle(), stored);

        page->navigationController()->popViewController(false);
        drain();
        EXPECT_EQ(window->overrideUserInterfaceStyle(), UIUserInterfaceStyle::dark);
    }
}

}
