// The favourites against the sample API (23 favourites, 18 to a page): pages appended and
// replaced, the end of the list, a failed load-more that skips no page, deletion from the first
// page again, a refused deletion that removes nothing, and the sign-in.

#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Mine/Collect/ZV_CollectVC.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/ui/QMUITips.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;
using testserver::ApiReply;

namespace {

class CollectTest : public MineScreenTest {
protected:
    // The pages asked for, in order.
    std::vector<int> requestedPages()
    {
        std::vector<int> pages;
        for (const auto& record : api().recordsTo("v1/user/movie_collect/list"))
            pages.push_back(std::stoi(textOf(record.parameters->value("page", nlohmann::json()))));
        return pages;
    }

    static std::string textOf(const nlohmann::json& value)
    {
        return value.is_string() ? value.get<std::string>() : std::to_string(value.get<long long>());
    }
};

}

TEST_F(CollectTest, PagesAppendTheFirstReplacesAndAnEmptyPageEndsTheList)
{
    setToken(sampleToken);
    auto page = std::make_shared<ZV_CollectVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 18; }));
    EXPECT_EQ(page->zv_allBtn()->title(UIControlStateNormal), "全选 18");
    EXPECT_EQ(page->sectionList(), std::vector<ZV_CollectRowType> { ZV_CollectRowType::list });
    UICollectionView& list = *page->zv_collectionView();
    EXPECT_EQ(page->sizeForItem(list, *list.collectionViewLayout(), IndexPath(0, 0)),
        (CGSize { (screenWidth() - 82) / 3, 184 }));

    mjFooter(list)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 23; }));
    settle();
    EXPECT_EQ(page->zv_allBtn()->title(UIControlStateNormal), "全选 23");
    EXPECT_EQ(mjFooter(list)->state(), MJRefreshState::idle); // a short page is no end

    mjFooter(list)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->page() == 3; }));
    settle();
    EXPECT_EQ(page->zv_list().size(), 23u);
    EXPECT_EQ(mjFooter(list)->state(), MJRefreshState::noMoreData);

    // The header asks once it has moved in.
    mjHeader(list)->beginRefreshing();
    settle();
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 18; }));
    settle();
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_list().front()->id, "7001");
    EXPECT_EQ(mjFooter(list)->state(), MJRefreshState::idle);
    EXPECT_EQ(requestedPages(), (std::vector<int> { 1, 2, 3, 1 }));
    for (const auto& record : api().recordsTo("v1/user/movie_collect/list"))
        EXPECT_EQ(record.parameters->value("pageSize", 0), 18);
}

TEST_F(CollectTest, AFailedLoadMoreAsksForTheSamePageAgain)
{
    setToken(sampleToken);
    auto page = std::make_shared<ZV_CollectVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 18; }));
    UICollectionView& list = *page->zv_collectionView();

    api().script("v1/user/movie_collect/list", ApiReply::error(5001, "服务繁忙"));
    mjFooter(list)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return requestsTo("v1/user/movie_collect/list") == 2; }));
    ASSERT_TRUE(waitFor([&] { return !mjFooter(list)->isRefreshing(); }));
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_list().size(), 18u);

    api().clearScripts();
    mjFooter(list)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 23; }));
    EXPECT_EQ(requestedPages(), (std::vector<int> { 1, 2, 2 }));
}

TEST_F(CollectTest, DeletingStartsAgainFromTheFirstPage)
{
    setToken(sampleToken);
    auto page = std::make_shared<ZV_CollectVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 18; }));
    UICollectionView& list = *page->zv_collectionView();
    mjFooter(list)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 23; }));

    page->editBtn()->sendActions(UIControlEventTouchUpInside);
    page->didSelectItem(list, IndexPath(20, 0));
    page->didSelectItem(list, IndexPath(0, 0));
    EXPECT_EQ(page->zv_delBtn()->title(UIControlStateNormal), "删除 2");
    page->zv_delBtn()->sendActions(UIControlEventTouchUpInside);
    settle();
    auto alert = std::dynamic_pointer_cast<UIAlertController>(navigation->presentedViewController());
    ASSERT_TRUE(alert);
    alert->actions().back()->handler()(*alert->actions().back());
    alert->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return requestsTo("v1/user/movie_collect/list") == 3; }));
    ASSERT_TRUE(
        waitFor([&] { return page->zv_list().size() == 18 && page->zv_list().front()->id == "7002"; }));
    EXPECT_EQ(
        api().recordsTo("v1/user/movie_collect/delete").back().parameters->value("ids", ""), "7001,7021");
    EXPECT_EQ(page->page(), 1);
    EXPECT_FALSE(page->isEdit());
    EXPECT_EQ(requestedPages().back(), 1);
}

TEST_F(CollectTest, SignedOutShowsTheLoginStateAndASignInRefetches)
{
    auto page = std::make_shared<ZV_CollectVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->isEmptyViewShowing(); }));
    EXPECT_EQ(page->emptyView()->textLabel()->text(), "登录后可查看收藏记录");
    EXPECT_FALSE(navigation->presentedViewController());

    setToken(sampleToken);
    NotificationCenter::defaultCenter().post("loginSuccess");
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 18; }));
    EXPECT_FALSE(page->isEmptyViewShowing());
    EXPECT_EQ(requestedPages(), (std::vector<int> { 1, 1 }));
}

// A refusal removes nothing and asks for nothing: the error shows, the edit mode ends and the
// grid goes back to its place under the banner with every item still marked.
TEST_F(CollectTest, ARefusedDeleteShowsTheMessageAndKeepsTheGridUnderTheBanner)
{
    setToken(sampleToken);
    loadAdverts(std::string("https://127.0.0.1:1/a.jpg"));
    auto page = std::make_shared<ZV_CollectVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->zv_list().size() == 18; }));
    ASSERT_TRUE(page->zv_advertView());
    UICollectionView& list = *page->zv_collectionView();
    auto placed = [&](bool edit) {
        page->view()->layoutIfNeeded();
        CGRect grid = list.frame();
        EXPECT_EQ(grid.minY(), page->zv_advertView()->frame().maxY() + 10) << edit;
        EXPECT_EQ(grid.maxY(), edit ? page->zv_bottomView()->frame().minY() : page->view()->bounds().maxY())
            << edit;
    };

    api().script("v1/user/movie_collect/delete", ApiReply::error(1102, "收藏不存在"));
    page->editBtn()->sendActions(UIControlEventTouchUpInside);
    placed(true);
    page->didSelectItem(list, IndexPath(3, 0));
    page->didSelectItem(list, IndexPath(1, 0));
    page->zv_delBtn()->sendActions(UIControlEventTouchUpInside);
    settle();
    auto alert = std::dynamic_pointer_cast<UIAlertController>(navigation->presentedViewController());
    ASSERT_TRUE(alert);
    alert->actions().back()->handler()(*alert->actions().back());
    alert->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return !page->isEdit(); }));
    settle();

    EXPECT_EQ(lastTip(), "收藏不存在");
    EXPECT_EQ(QMUITips::visibleTips().back().kind, QMUITips::Kind::error);
    EXPECT_EQ(
        api().recordsTo("v1/user/movie_collect/delete").back().parameters->value("ids", ""), "7002,7004");
    EXPECT_EQ(requestsTo("v1/user/movie_collect/list"), 1u);
    EXPECT_EQ(page->zv_list().size(), 18u);
    EXPECT_TRUE(page->zv_list()[1]->isSel);
    EXPECT_TRUE(page->zv_list()[3]->isSel);
    EXPECT_TRUE(page->zv_bottomView()->isHidden());
    placed(false);
}
