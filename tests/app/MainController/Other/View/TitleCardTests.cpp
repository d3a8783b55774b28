#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Extensions/GradientView.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"
#include "app/MainController/Other/View/ZV_MovieView.h"
#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

std::shared_ptr<ZV_HomeRecommendModelDataList> item(
    std::string dynamic, std::string typeName, std::string label, std::string cover = {})
{
    auto model = std::make_shared<ZV_HomeRecommendModelDataList>();
    model->dynamic = std::move(dynamic);
    model->movie_dynamic = "收藏 " + model->dynamic;
    model->type_name = std::move(typeName);
    model->label = std::move(label);
    model->cover = std::move(cover);
    model->name = "长安十二时辰";
    model->movie_name = "收藏的 " + model->name;
    return model;
}

class TitleCardTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        // As at start-up: views and labels are gradient-backed, which the tag's colours need.
        registerGradientBackedViews();
    }
    void TearDown() override
    {
        UIView::setDefaultLayerFactory({});
        zvtest::MainLoopTest::TearDown();
    }
};

TEST_F(TitleCardTest, FilledFromEachKindOfModel)
{
    auto card = ZV_MovieView::make({ 0, 0, 110, 150 });

    card->setModel(item("更新至12集", "电视剧", "独播"));
    EXPECT_EQ(card->zv_title()->text(), "更新至12集");
    EXPECT_EQ(card->zv_des()->text(), "电视剧");
    EXPECT_EQ(card->zv_tagLb()->text(), "独播");
    EXPECT_FALSE(card->zv_tagLb()->isHidden());
    card->setModel(item("HD", "电影", ""));
    EXPECT_TRUE(card->zv_tagLb()->isHidden());

    // A search result leaves the type text as it was.
    auto result = std::make_shared<ZV_SearchMovieModel>();
    result->dynamic = "全36集";
    result->label = "热播";
    card->setMovieModel(result);
    EXPECT_EQ(card->zv_title()->text(), "全36集");
    EXPECT_EQ(card->zv_des()->text(), "电影");
    EXPECT_FALSE(card->zv_tagLb()->isHidden());

    card->setCollectModel(item("第3集", "综艺", ""));
    EXPECT_EQ(card->zv_title()->text(), "收藏 第3集");
    EXPECT_EQ(card->zv_des()->text(), "综艺");
    EXPECT_TRUE(card->zv_tagLb()->isHidden());
    card->setCollectModel(nullptr);
    EXPECT_EQ(card->zv_title()->text(), "");
    EXPECT_EQ(card->zv_des()->text(), "");

    // A detail hides the type text and the tag, and no later fill shows the type text again.
    auto detail = std::make_shared<ZV_DetailModel>();
    detail->dynamic = "完结";
    card->setDetailModel(detail);
    EXPECT_EQ(card->zv_title()->text(), "完结");
    EXPECT_TRUE(card->zv_des()->isHidden());
    EXPECT_TRUE(card->zv_tagLb()->isHidden());
    card->setModel(item("更新至1集", "动漫", "新"));
    EXPECT_TRUE(card->zv_des()->isHidden());
    EXPECT_FALSE(card->zv_tagLb()->isHidden());
    card->setDetailModel(std::make_shared<ZV_DetailModel>());
    EXPECT_EQ(card->zv_title()->text(), "");
}

TEST_F(TitleCardTest, CoverLoadsOnlyFromAParsableAddress)
{
    auto card = ZV_MovieView::make({ 0, 0, 110, 150 });
    card->setModel(item("", "", "", "not an address"));
    EXPECT_FALSE(card->zv_iconView()->image());
    // A good address shows the placeholder at once; an unparsable one then leaves it there.
    card->setModel(item("", "", "", "http://127.0.0.1:9/cover.png"));
    ASSERT_TRUE(card->zv_iconView()->image());
    EXPECT_EQ(card->zv_iconView()->image()->pixelWidth(), placeholderImage()->pixelWidth());
    card->setModel(item("", "", "", "封面.png"));
    EXPECT_TRUE(card->zv_iconView()->image());
}

TEST_F(TitleCardTest, LayoutRoundsTheCardAndTagAndFitsTheBarGradient)
{
    auto card = ZV_MovieView::make({ 0, 0, 110, 150 });
    card->setModel(item("更新至第一百二十八集 超长的状态文字", "电视剧 国产 古装 悬疑", "独播"));
    card->layoutIfNeeded();

    EXPECT_TRUE(card->zv_tagLb()->layer()->mask());
    CGRect tag = card->zv_tagLb()->frame();
    EXPECT_DOUBLE_EQ(tag.maxX(), 110);
    EXPECT_DOUBLE_EQ(tag.minY(), 0);
    auto tagGradient = card->zv_tagLb()->layerAs<CAGradientLayer>();
    ASSERT_TRUE(tagGradient);
    EXPECT_EQ(tagGradient->colors().size(), 2u);

    CGRect bar = card->zv_titleView()->frame();
    EXPECT_DOUBLE_EQ(bar.maxY(), 150);
    EXPECT_DOUBLE_EQ(bar.width(), 110);
    const auto& barLayers = card->zv_titleView()->layer()->sublayers();
    ASSERT_FALSE(barLayers.empty());
    EXPECT_EQ(barLayers.front()->name(), "gradientLayer");
    EXPECT_EQ(barLayers.front()->frame(), card->zv_titleView()->bounds());

    // Two long texts share the bar with 6 points between them.
    CGRect title = card->zv_title()->frame();
    CGRect des = card->zv_des()->frame();
    EXPECT_DOUBLE_EQ(title.minX(), 6);
    EXPECT_DOUBLE_EQ(des.minX() - title.maxX(), 6);
    EXPECT_DOUBLE_EQ(des.maxX(), 104);
    EXPECT_DOUBLE_EQ(bar.height(), title.height() + 12);
}

TEST_F(TitleCardTest, GridCellShowsNameAndSelectionMarkInEditMode)
{
    auto cell = std::make_shared<ZV_HomeVideoCollCell>(CGRect { 0, 0, 110, 190 });
    EXPECT_TRUE(cell->zv_selBtn()->isHidden());
    EXPECT_FALSE(cell->zv_selBtn()->isUserInteractionEnabled());

    auto chosen = item("HD", "电影", "");
    chosen->isSel = true;
    cell->setEdit(true);
    cell->setModel(chosen);
    EXPECT_EQ(cell->zv_titleLb()->text(), "长安十二时辰");
    EXPECT_FALSE(cell->zv_selBtn()->isHidden());
    EXPECT_TRUE(cell->zv_selBtn()->isSelected());

    cell->setCollectModel(item("HD", "电影", ""));
    EXPECT_EQ(cell->zv_titleLb()->text(), "收藏的 长安十二时辰");
    EXPECT_FALSE(cell->zv_selBtn()->isSelected());
    EXPECT_EQ(cell->zv_movieView()->zv_title()->text(), "收藏 HD");
    cell->setModel(nullptr);
    EXPECT_FALSE(cell->zv_selBtn()->isSelected());
    cell->setEdit(false);
    EXPECT_TRUE(cell->zv_selBtn()->isHidden());

    cell->layoutIfNeeded();
    EXPECT_EQ(cell->zv_titleLb()->frame(), (CGRect { 8, 150, 94, 40 }));
    EXPECT_EQ(cell->zv_movieView()->frame(), (CGRect { 0, 0, 110, 150 }));
    EXPECT_EQ(cell->zv_selBtn()->frame(), (CGRect { 82, 8, 20, 20 }));
}

}
