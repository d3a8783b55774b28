// The banner (a strip of items with ends) and the pager (endless, centred pages): the cells they
// show, their automatic slides on the run loop's clock, paging by hand and selection.

#include "platform/ui/banner/FSPagerView.h"
#include "platform/ui/banner/JXBanner.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

class PagerNumberCell : public FSPagerViewCell {
public:
    std::string className() const override { return "NumberCell"; }
    int number = -1;
};

struct StripSource : JXBannerDataSource, JXBannerDelegate {
    int count = 5;
    JXBannerParams wanted;
    std::vector<int> selected;

    JXBannerCellRegister registerCell(JXBanner&) override
    {
        return JXBannerCellRegister::make<PagerNumberCell>("NumberCell");
    }
    int numberOfItems(JXBanner&) override { return count; }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(
        JXBanner&, int index, std::shared_ptr<UICollectionViewCell> cell) override
    {
        if (auto numbered = std::dynamic_pointer_cast<PagerNumberCell>(cell))
            numbered->number = index;
        return cell;
    }
    JXBannerParams params(JXBanner&, JXBannerParams) override { return wanted; }
    JXBannerLayoutParams layoutParams(JXBanner&, JXBannerLayoutParams params) override
    {
        params.itemSize = { 164, 120 };
        params.itemSpacing = 16;
        return params;
    }
    void didSelectItemAt(JXBanner&, int index) override { selected.push_back(index); }
};

struct PagerSource : FSPagerViewDataSource, FSPagerViewDelegate {
    int count = 3;
    std::vector<int> selected;
    std::vector<CGFloat> scrolled;
    int endedAnimations = 0;

    int numberOfItemsInPagerView(FSPagerView&) override { return count; }
    std::shared_ptr<FSPagerViewCell> cellForItemAtIndex(FSPagerView& pager, int index) override
    {
        auto cell = pager.dequeueReusableCell<PagerNumberCell>("NumberCell", index);
        cell->number = index;
        return cell;
    }
    void didSelectItemAtIndex(FSPagerView&, int index) override { selected.push_back(index); }
    void pagerViewDidScroll(FSPagerView& pager) override { scrolled.push_back(pager.scrollOffset()); }
    void pagerViewDidEndScrollAnimation(FSPagerView&) override { ++endedAnimations; }
};

std::vector<int> shownNumbers(UICollectionView& view)
{
    std::vector<int> numbers;
    for (const auto& cell : view.visibleCells())
        numbers.push_back(std::static_pointer_cast<PagerNumberCell>(cell)->number);
    return numbers;
}

using Banners = zvtest::WindowTest;

}

TEST_F(Banners, StripShowsItsCellsSlidesToItsEndAndRollsBack)
{
    auto source = std::make_shared<StripSource>();
    source->wanted.isShowPageControl = false;
    source->wanted.isPagingEnabled = false;
    source->wanted.cycleWay = JXBannerCycleWay::rollingBack;
    source->wanted.timeInterval = 3;
    auto banner = add<JXBanner>({ 0, 200, 375, 120 });
    banner->setDataSource(source);
    banner->setDelegate(source);
    banner->reloadView();
    window->layoutIfNeeded();

    // From the left edge, 164 wide and 16 apart.
    const auto& strip = *banner->collectionView();
    EXPECT_EQ(shownNumbers(*banner->collectionView()), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(strip.visibleCells()[1]->frame(), (CGRect { 180, 0, 164, 120 }));
    EXPECT_TRUE(banner->pageControl()->isHidden());

    // One item per tick; the last stop is the end of the strip, then it rolls back to the start.
    std::vector<int> stops;
    for (int tick = 0; tick < 4; ++tick) {
        advance(3);
        stops.push_back(banner->currentIndex());
    }
    EXPECT_EQ(stops, (std::vector<int> { 1, 2, 3, 0 }));

    ASSERT_TRUE(driver.tap({ 180 + 82, 260 }));
    EXPECT_EQ(source->selected, std::vector<int> { 1 });
}

TEST_F(Banners, EndlessPagerGoesRoundAndTurnsOnePagePerDrag)
{
    auto source = std::make_shared<PagerSource>();
    auto pager = add<FSPagerView>({ 0, 100, 390, 200 });
    pager->registerClass<PagerNumberCell>("NumberCell");
    pager->isInfinite = true;
    pager->automaticSlidingInterval = 3;
    pager->transformer = std::make_shared<FSPagerViewTransformer>(FSPagerViewTransformerType::overlap);
    pager->setDataSource(source);
    pager->setDelegate(source);
    pager->reloadData();
    window->layoutIfNeeded();

    EXPECT_EQ(pager->currentIndex(), 0);
    EXPECT_EQ(pager->dequeueReusableCell("NumberCell", 0), nullptr) << "only while a page is asked for";
    // Pages fill the pager; the one in the middle is the current one.
    auto middle = pager->collectionView()->cellForItem(
        *pager->collectionView()->indexPathForItem(pager->collectionView()->contentOffset()));
    ASSERT_TRUE(middle);
    EXPECT_EQ(std::static_pointer_cast<PagerNumberCell>(middle)->number, 0);
    EXPECT_EQ(middle->bounds().size, (CGSize { 390, 200 }));

    // Round and round: 1, 2, then the first page again, each move ending after its animation.
    std::vector<CGFloat> offsets;
    for (int tick = 0; tick < 3; ++tick) {
        advance(3);
        offsets.push_back(pager->scrollOffset());
    }
    EXPECT_EQ(offsets, (std::vector<CGFloat> { 1, 2, 0 }));
    EXPECT_EQ(source->endedAnimations, 2) << "the last slide is still moving";
    advance(UIScrollView::scrollAnimationDuration);
    EXPECT_EQ(source->endedAnimations, 3);
    EXPECT_FALSE(source->scrolled.empty());

    // A drag to the left turns one page, to the right one back, even past the first page.
    ASSERT_TRUE(driver.drag({ 300, 200 }, { 150, 200 }, 0.3));
    advance(UIScrollView::decelerationDuration);
    EXPECT_EQ(pager->currentIndex(), 1);
    ASSERT_TRUE(driver.drag({ 100, 200 }, { 250, 200 }, 0.3));
    ASSERT_TRUE(driver.drag({ 100, 200 }, { 250, 200 }, 0.3));
    advance(UIScrollView::decelerationDuration);
    EXPECT_EQ(pager->currentIndex(), 2);

    ASSERT_TRUE(driver.tap({ 195, 200 }));
    EXPECT_EQ(source->selected, std::vector<int> { 2 });
}
