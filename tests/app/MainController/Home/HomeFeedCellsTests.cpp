// The feed's section header, banner page and strip of titles being watched: what a model shows,
// what a tap in the strip opens, the strip's items and the carousel's pace on the virtual clock.

#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"
#include "app/MainController/Home/View/ZV_HomeBannerSubCell.h"
#include "app/MainController/Home/View/ZV_HomeScrollCollCell.h"
#include "app/MainController/Home/View/ZV_HomeScrollSubCell.h"
#include "app/MainController/Home/View/ZV_HomeVideoReusableView.h"
#include "tests/app/MainController/Home/HomeTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<ZV_HomeRecommendModelData> section(const char* json)
{
    return std::make_shared<ZV_HomeRecommendModelData>(JSON::parse(json));
}

TEST(HomeFeedHeader, ShowsTitleAndLinkTextWithTheArrowOnlyForALinkText)
{
    auto header = std::make_shared<ZV_HomeVideoReusableView>(CGRect { 0, 0, 390, 70 });
    EXPECT_EQ(header->zv_des()->text(), "更多");
    EXPECT_FALSE(header->zv_iconView()->isHidden());

    struct Case {
        const char* json;
        const char* title;
        const char* link;
        bool arrow;
    };
    for (const Case& c : std::vector<Case> {
             { R"({"title": "热门剧集", "right": {"text": "更多", "type": "tabs"}})", "热门剧集", "更多",
                 true },
             { R"({"title": "继续观看", "right": {}})", "继续观看", "", false },
         }) {
        header->setModel(section(c.json));
        EXPECT_EQ(header->zv_title()->text(), c.title);
        EXPECT_EQ(header->zv_des()->text(), c.link);
        EXPECT_EQ(header->zv_iconView()->isHidden(), !c.arrow) << c.json;
    }
    header->setModel(nullptr);
    EXPECT_EQ(header->zv_title()->text(), "");
    EXPECT_TRUE(header->zv_iconView()->isHidden());
}

TEST(HomeBannerPage, HidesAnEmptyTagAndShowsThePlaceholderForAPictureWithoutAddress)
{
    auto page = std::make_shared<ZV_HomeBannerSubCell>(CGRect { 0, 0, 342, 190 });
    auto item = std::make_shared<ZV_HomeRecommendModelDataList>(
        JSON::parse(R"({"image": "", "label": "", "title": "夏日放映季", "sub_title": "会员暑期活动"})"));
    page->setModel(item);
    EXPECT_TRUE(page->zv_tagView()->isHidden());
    EXPECT_EQ(page->zv_title()->text(), "夏日放映季");
    EXPECT_EQ(page->zv_des()->text(), "会员暑期活动");
    std::optional<UIImage> placeholder = UIImage::named("placeholder_banner");
    ASSERT_TRUE(page->zv_iconView()->image() && placeholder);
    EXPECT_EQ(page->zv_iconView()->image()->pngData(), placeholder->pngData());

    page->setModel(std::make_shared<ZV_HomeRecommendModelDataList>(JSON::parse(R"({"label": "独播"})")));
    EXPECT_FALSE(page->zv_tagView()->isHidden());
    EXPECT_EQ(page->zv_tagLb()->text(), "独播");
    EXPECT_EQ(page->zv_title()->text(), "") << "nothing kept from the page before";
}

using HomeStripTest = zvtest::HomeScreenTest;

TEST_F(HomeStripTest, ATapOpensTheTitleByItsMovieId)
{
    show(std::make_shared<ZV_DetailVC>());
    auto strip = std::make_shared<ZV_HomeScrollCollCell>(CGRect { 0, 0, 342, 120 });
    strip->setList(
        { std::make_shared<ZV_HomeRecommendModelDataList>(JSON::parse(R"({"id": "1", "movie_id": "40603"})")),
            std::make_shared<ZV_HomeRecommendModelDataList>(JSON::parse(R"({"id": "2"})")) });
    strip->didSelectItemAt(*strip->bannerView(), 5);
    layout();
    ASSERT_EQ(navigation->viewControllers().size(), 1u);

    for (const char* expected : { "40603", "" }) {
        strip->didSelectItemAt(*strip->bannerView(), expected[0] ? 0 : 1);
        layout();
        auto detail = std::dynamic_pointer_cast<ZV_DetailVC>(navigation->topViewController());
        ASSERT_TRUE(detail && navigation->viewControllers().size() == 2u) << expected;
        EXPECT_EQ(detail->vod_id, expected);
        navigation->popViewController(false);
        layout();
    }
}

// The carousel moves on by itself every 3 s; the strip of titles being watched stands still with
// its items of 164 x 120, 16 apart.
TEST_F(HomeStripTest, TheCarouselSlidesEveryThreeSecondsAndTheStripNever)
{
    auto items = [](int count) {
        std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list;
        for (int n = 0; n < count; ++n)
            list.push_back(std::make_shared<ZV_HomeRecommendModelDataList>(
                JSON::parse(R"({"type": 1, "movie_id": "4060)" + std::to_string(n) + R"("})")));
        return list;
    };
    auto carousel = std::make_shared<ZV_HomeBannerCollCell>(CGRect { 24, 100, 342, 214 });
    carousel->setList(items(3));
    window->addSubview(carousel);
    auto strip = std::make_shared<ZV_HomeScrollCollCell>(CGRect { 24, 400, 342, 120 });
    strip->setList(items(5));
    window->addSubview(strip);
    strip->bannerView()->reloadView();
    layout();

    std::vector<CGRect> frames;
    for (const auto& cell : strip->bannerView()->collectionView()->visibleCells()) {
        if (std::dynamic_pointer_cast<ZV_HomeScrollSubCell>(cell))
            frames.push_back(cell->frame());
    }
    std::sort(
        frames.begin(), frames.end(), [](const CGRect& a, const CGRect& b) { return a.minX() < b.minX(); });
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0], (CGRect { 0, 0, 164, 120 }));
    EXPECT_EQ(frames[1], (CGRect { 180, 0, 164, 120 }));

    struct Step {
        double seconds; // from the start
        int page;
    };
    double now = 0;
    for (const Step& step : { Step { 2.9, 0 }, Step { 3.9, 1 }, Step { 5.9, 1 }, Step { 6.9, 2 } }) {
        advance(step.seconds - now);
        now = step.seconds;
        layout();
        EXPECT_EQ(carousel->bannerView()->currentIndex(), step.page) << "at " << step.seconds << " s";
        EXPECT_EQ(strip->bannerView()->currentIndex(), 0) << "at " << step.seconds << " s";
    }
    carousel->removeFromSuperview();
    strip->removeFromSuperview();
}

// A cell given back for reuse starts at the start, whatever strip it showed; a place to go back
// to stays within the strip's ends (five items of 164, 16 apart, in 342: 542), also in a cell not
// laid out yet.
TEST(HomeStripPlace, AReusedStripStartsAtItsStartAndAPlaceStaysWithinItsEnds)
{
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list(
        5, std::make_shared<ZV_HomeRecommendModelDataList>());
    for (auto [asked, shown] : { std::pair<CGFloat, CGFloat> { 200, 200 }, { 10000, 542 }, { -50, 0 } }) {
        auto strip = std::make_shared<ZV_HomeScrollCollCell>(CGRect { 0, 0, 342, 120 });
        strip->setList(list);
        strip->bannerView()->reloadView();
        strip->setStripOffset(asked);
        EXPECT_EQ(strip->stripOffset(), shown) << asked;
        strip->prepareForReuse();
        strip->bannerView()->reloadView();
        EXPECT_EQ(strip->stripOffset(), 0) << asked;
    }
}
}
