// The feed's section header, banner page and strip of titles being watched: what a model shows and
// what a tap in the strip opens.

#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Home/View/ZV_HomeBannerSubCell.h"
#include "app/MainController/Home/View/ZV_HomeScrollCollCell.h"
#include "app/MainController/Home/View/ZV_HomeVideoReusableView.h"
#include "tests/app/MainController/Home/HomeTestSupport.h"

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

}
