// The carousel's indicator: the track's width for the number of pages and the block's place for
// the pager's position.

#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"

#include <gtest/gtest.h>

namespace {

TEST(HomeBannerSlider, TrackIsOneBlockPerPageUpToTheScreenLessItsMargins)
{
    struct Case {
        int count;
        CGFloat screen;
        CGFloat track;
    };
    for (const Case& c :
        std::vector<Case> { { 3, 390, 57 }, { 5, 390, 95 }, { 30, 375, 327 }, { 1, 390, 19 }, { 0, 390, 0 } })
        EXPECT_EQ(ZV_HomeBannerCollCell::sliderWidth(c.count, c.screen), c.track) << c.count;
}

TEST(HomeBannerSlider, BlockMovesOneStepPerPageAndStaysStillBelowTwoPages)
{
    struct Case {
        CGFloat track;
        int count;
        CGFloat position;
        CGFloat offset;
    };
    for (const Case& c : std::vector<Case> {
             { 57, 3, 0, 0 },
             { 57, 3, 1, 19 },
             { 57, 3, 2, 38 },
             { 57, 3, 2.5, 47.5 }, // going round from the last page to the first
             { 327, 30, 29, 308 },
             { 327, 30, 1, 308.0 / 29 },
             { 19, 1, 0.6, 0 }, // no step to take: no division by zero
             { 0, 0, 0.3, 0 },
         })
        EXPECT_DOUBLE_EQ(ZV_HomeBannerCollCell::blockOffset(c.track, c.count, c.position), c.offset)
            << c.count << " pages at " << c.position;
}

TEST(HomeBannerSlider, OnePageFillsTheTrackAndAScrollLeavesTheBlockAtTheStart)
{
    auto cell = std::make_shared<ZV_HomeBannerCollCell>(CGRect { 0, 0, 342, 190 });
    auto item = std::make_shared<ZV_HomeRecommendModelDataList>();
    item->type = 1;
    cell->setList({ item });
    EXPECT_EQ(cell->sliderContentViewWidth(), 19);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->sliderContentView()->frame().width(), 19);
    cell->pagerViewDidScroll(*cell->bannerView());
    EXPECT_EQ(cell->blockSliderOffset(), 0);
    EXPECT_TRUE(cell->blockSliderPlaceholderView()->isHidden());
}

}
