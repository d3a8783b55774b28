#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoNormalFooter.h"
#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"
#include "platform/ui/refresh/MJRefreshNormalHeader.h"
#include "tests/platform/ui/RefreshTestSupport.h"

#include <gtest/gtest.h>

namespace {

class RefreshFooter : public refreshtest::RefreshTest {
protected:
    void SetUp() override
    {
        refreshtest::RefreshTest::SetUp();
        list = makeList(1000);
        footer = std::make_shared<MJRefreshAutoNormalFooter>([this] { ++loads; });
        setMjFooter(*list, footer);
    }

    // A drag up of 500 points: far enough to show the footer of 1000 points of content.
    void scrollToBottom() { drag({ 200, 650 }, { 200, 150 }); }

    std::shared_ptr<UIScrollView> list;
    std::shared_ptr<MJRefreshAutoNormalFooter> footer;
    int loads = 0;
};

}

TEST_F(RefreshFooter, SitsRightAfterTheContentAndTakesItsHeightOfInset)
{
    EXPECT_EQ(mjFooter(*list), footer);
    EXPECT_DOUBLE_EQ(list->contentInset().bottom, MJRefreshFooter::height);
    EXPECT_EQ(footer->frame(), (CGRect { { 0, 1000 }, { 390, MJRefreshFooter::height } }));
    list->setContentSize({ 390, 1500 });
    EXPECT_DOUBLE_EQ(footer->frame().origin.y, 1500);

    footer->setHidden(true);
    EXPECT_DOUBLE_EQ(list->contentInset().bottom, 0);
    footer->setHidden(false);
    EXPECT_DOUBLE_EQ(list->contentInset().bottom, MJRefreshFooter::height);
    setMjFooter(*list, nullptr);
    EXPECT_DOUBLE_EQ(list->contentInset().bottom, 0);
    EXPECT_FALSE(mjFooter(*list));
}

TEST_F(RefreshFooter, ScrollingToTheBottomLoadsOnceUntilEnded)
{
    press({ 200, 650 });
    moveTo({ 200, 400 });
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(footer->state(), MJRefreshState::idle);
    moveTo({ 200, 150 });
    lift();
    EXPECT_EQ(footer->state(), MJRefreshState::refreshing);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(footer->stateLabel()->text(), "正在加载更多的数据...");
    EXPECT_TRUE(footer->loadingView()->isAnimating());
    advance(1);
    // Still loading: more scrolling does not ask again.
    scrollToBottom();
    EXPECT_EQ(loads, 1);

    footer->endRefreshing();
    EXPECT_EQ(footer->state(), MJRefreshState::idle);
    EXPECT_EQ(footer->stateLabel()->text(), "点击或上拉加载更多");
    EXPECT_FALSE(footer->loadingView()->isAnimating());
    // The next page came: the content grew, and the list loads again at its new bottom.
    list->setContentSize({ 390, 1400 });
    drag({ 200, 650 }, { 200, 150 });
    EXPECT_EQ(loads, 2);
}

TEST_F(RefreshFooter, NoMoreDataStopsLoadingUntilResetOrEnded)
{
    footer->endRefreshingWithNoMoreData();
    EXPECT_EQ(footer->state(), MJRefreshState::noMoreData);
    EXPECT_EQ(footer->stateLabel()->text(), "已经全部加载完毕");
    scrollToBottom();
    advance(1);
    EXPECT_EQ(loads, 0);

    footer->resetNoMoreData();
    EXPECT_EQ(footer->state(), MJRefreshState::idle);
    list->setContentOffset({ 0, 0 });
    scrollToBottom();
    EXPECT_EQ(loads, 1);

    // A reply first ends both controls, which also leaves the no-more-data state.
    footer->endRefreshingWithNoMoreData();
    footer->endRefreshing();
    EXPECT_EQ(footer->state(), MJRefreshState::idle);
}

TEST_F(RefreshFooter, ShortContentLoadsOnADragUpAndOnATap)
{
    auto shortList = makeList(300);
    int shortLoads = 0;
    auto stateFooter = std::make_shared<MJRefreshAutoStateFooter>([&] { ++shortLoads; });
    setMjFooter(*shortList, stateFooter);
    auto header = std::make_shared<MJRefreshNormalHeader>();
    setMjHeader(*shortList, header);

    // Pulling down is the header's business.
    drag({ 200, 300 }, { 200, 360 });
    advance(1);
    EXPECT_EQ(shortLoads, 0);
    drag({ 200, 500 }, { 200, 300 });
    EXPECT_EQ(shortLoads, 1);
    stateFooter->endRefreshing();
    advance(1);

    stateFooter->isRefreshingTitleHidden = true;
    window->layoutIfNeeded();
    TouchDriver driver;
    ASSERT_TRUE(driver.tapView(*stateFooter->stateLabel()));
    EXPECT_EQ(shortLoads, 2);
    EXPECT_EQ(stateFooter->stateLabel()->text(), "");
    // Not while loading.
    EXPECT_TRUE(driver.tapView(*stateFooter->stateLabel()));
    EXPECT_EQ(shortLoads, 2);
}
