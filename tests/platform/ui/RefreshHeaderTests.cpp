#include "platform/ui/Renderer.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshGifHeader.h"
#include "platform/ui/refresh/MJRefreshNormalHeader.h"
#include "tests/platform/ui/GoldenImage.h"
#include "tests/platform/ui/RefreshTestSupport.h"

#include <gtest/gtest.h>

namespace {

class RefreshHeader : public refreshtest::RefreshTest {
protected:
    void SetUp() override
    {
        refreshtest::RefreshTest::SetUp();
        list = makeList(1200);
        header = std::make_shared<MJRefreshNormalHeader>([this] { ++refreshes; });
        setMjHeader(*list, header);
    }

    std::shared_ptr<UIScrollView> list;
    std::shared_ptr<MJRefreshNormalHeader> header;
    int refreshes = 0;
};

}

TEST_F(RefreshHeader, RestsAboveTheContentAndAPullShortOfItsHeightSpringsBackIdle)
{
    EXPECT_EQ(mjHeader(*list), header);
    EXPECT_EQ(header->superview(), list);
    EXPECT_EQ(
        header->frame(), (CGRect { { 0, -MJRefreshHeader::height }, { 390, MJRefreshHeader::height } }));
    EXPECT_TRUE(list->alwaysBounceVertical());
    EXPECT_EQ(header->state(), MJRefreshState::idle);
    EXPECT_EQ(header->stateLabel()->text(), "下拉可以刷新");

    press({ 200, 300 });
    moveTo({ 200, 500 });
    // Past the header's height (the content follows the finger at half speed beyond the top).
    EXPECT_EQ(header->state(), MJRefreshState::pulling);
    EXPECT_EQ(header->stateLabel()->text(), "松开立即刷新");
    EXPECT_GT(header->pullingPercent(), 1);
    moveTo({ 200, 340 });
    EXPECT_EQ(header->state(), MJRefreshState::idle);
    EXPECT_GT(header->pullingPercent(), 0);
    EXPECT_LT(header->pullingPercent(), 1);
    lift();
    advance(1);
    EXPECT_EQ(header->state(), MJRefreshState::idle);
    EXPECT_EQ(refreshes, 0);
    EXPECT_DOUBLE_EQ(list->contentInset().top, 0);
    EXPECT_DOUBLE_EQ(list->contentOffset().y, 0);

    // A hidden header ignores even a long pull.
    header->setHidden(true);
    drag({ 200, 300 }, { 200, 500 });
    advance(1);
    EXPECT_EQ(header->state(), MJRefreshState::idle);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(RefreshHeader, PullPastItsHeightRefreshesOnceAndEndingGivesTheInsetBack)
{
    drag({ 200, 300 }, { 200, 500 });
    EXPECT_EQ(header->state(), MJRefreshState::refreshing);
    EXPECT_EQ(header->stateLabel()->text(), "正在刷新数据中...");
    EXPECT_TRUE(header->loadingView()->isAnimating());
    EXPECT_TRUE(header->arrowView()->isHidden());
    // The header stays in view while refreshing.
    EXPECT_DOUBLE_EQ(list->contentInset().top, MJRefreshHeader::height);
    EXPECT_DOUBLE_EQ(list->contentOffset().y, -MJRefreshHeader::height);
    // The block runs once the header has moved into place.
    EXPECT_EQ(refreshes, 0);
    advance(MJRefreshComponent::fastAnimationDuration);
    EXPECT_EQ(refreshes, 1);
    advance(2);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(header->isRefreshing());

    header->endRefreshing();
    EXPECT_EQ(header->state(), MJRefreshState::idle);
    advance(MJRefreshComponent::slowAnimationDuration);
    EXPECT_DOUBLE_EQ(list->contentInset().top, 0);
    EXPECT_DOUBLE_EQ(list->contentOffset().y, 0);
    EXPECT_FALSE(header->loadingView()->isAnimating());
    EXPECT_DOUBLE_EQ(header->pullingPercent(), 0);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(header->lastUpdatedTime());
    EXPECT_EQ(header->lastUpdatedTimeLabel()->text().rfind("最后更新：今天 ", 0), 0u);

    // A list with an inset of its own gets exactly that back.
    list->setContentInset({ 10, 0, 0, 0 });
    header->beginRefreshing();
    EXPECT_DOUBLE_EQ(list->contentInset().top, 10 + MJRefreshHeader::height);
    header->endRefreshing();
    EXPECT_DOUBLE_EQ(list->contentInset().top, 10);
}

TEST_F(RefreshHeader, BeginningBeforeItIsOnScreenWaitsForTheWindow)
{
    auto offscreen = std::make_shared<UIScrollView>(CGRect { 0, 0, 390, 600 });
    offscreen->setContentSize({ 390, 1200 });
    auto other = std::make_shared<MJRefreshGifHeader>([this] { ++refreshes; });
    setMjHeader(*offscreen, other);
    other->beginRefreshing();
    EXPECT_EQ(other->state(), MJRefreshState::willRefresh);
    EXPECT_TRUE(other->isRefreshing());
    EXPECT_DOUBLE_EQ(offscreen->contentInset().top, 0);
    advance(1);
    EXPECT_EQ(refreshes, 0);

    window->addSubview(offscreen);
    EXPECT_EQ(other->state(), MJRefreshState::refreshing);
    EXPECT_DOUBLE_EQ(offscreen->contentInset().top, MJRefreshHeader::height);
    advance(MJRefreshComponent::fastAnimationDuration);
    EXPECT_EQ(refreshes, 1);

    // Ended before it has moved in: the block does not run for it.
    other->endRefreshing();
    other->beginRefreshing();
    other->endRefreshing();
    advance(1);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(RefreshHeader, GifHeaderWithoutTimeShowsItsStateTextAndPictures)
{
    auto gif = std::make_shared<MJRefreshGifHeader>();
    gif->lastUpdatedTimeLabel()->setHidden(true);
    setMjHeader(*list, gif);
    window->layoutIfNeeded();
    EXPECT_EQ(gif->stateLabel()->frame(), gif->bounds());
    EXPECT_FALSE(gif->gifView()->image());

    UIImage a = UIImage::filled(UIColor::red(), { 20, 20 });
    UIImage b = UIImage::filled(UIColor::blue(), { 20, 20 });
    gif->setImages({ a, b }, MJRefreshState::idle);
    gif->setImages({ a, b }, MJRefreshState::refreshing);
    EXPECT_EQ(*gif->gifView()->image(), a);
    gif->setPullingPercent(1);
    EXPECT_EQ(*gif->gifView()->image(), b);
    gif->beginRefreshing();
    ASSERT_TRUE(gif->gifView()->image());
    EXPECT_EQ(gif->gifView()->image()->images().size(), 2u);
    window->layoutIfNeeded();
    EXPECT_GT(gif->gifView()->frame().size.width, 0);
    EXPECT_LT(gif->gifView()->frame().maxX(), 195);
}

TEST_F(RefreshHeader, RefreshingHeaderPicture)
{
    auto shown = std::make_shared<UIScrollView>(CGRect { 0, 0, 320, 200 });
    shown->setBackgroundColor(UIColor::white());
    shown->setContentSize({ 320, 400 });
    shown->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    for (int i = 0; i < 4; ++i) {
        auto row = std::make_shared<UIView>(CGRect { 16, 8.0 + i * 60, 288, 50 });
        row->setBackgroundColor(UIColor(0.93, 0.94, 0.97, 1));
        shown->addSubview(row);
    }
    window->addSubview(shown);
    auto refreshing = std::make_shared<MJRefreshNormalHeader>();
    refreshing->lastUpdatedTimeLabel()->setHidden(true);
    setMjHeader(*shown, refreshing);
    refreshing->beginRefreshing();
    EXPECT_TRUE(uitest::matchesGolden(Renderer::render(*shown, 2), "refresh_header"));
}
