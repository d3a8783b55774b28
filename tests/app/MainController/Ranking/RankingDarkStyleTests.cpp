// The ranking tab in both styles: the light style keeps the colours the design gives; in the dark
// style the tabs, the cards' descriptions and the badges read on what lies behind them.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"
#include "app/MainController/Ranking/View/ZV_RankingCell.h"
#include "app/Theme/ZVBackdropImageView.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "tests/app/support/StyleColors.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(RankingDarkStyle, TabsCardsTagsAndBadges)
{
    auto tab = std::make_shared<ZV_RankingMainVC>();
    auto cell = std::make_shared<ZV_RankingCell>();
    cell->setModel(std::make_shared<ZV_DetailModel>(JSON::parse(
        R"({"name": "长夜将明", "hot": "9.1万", "blurb": "一桩旧案", "tags": [{"name": "悬疑"}]})")));
    ASSERT_EQ(cell->tagStackView()->arrangedSubviews().size(), 1u);
    auto tag = std::dynamic_pointer_cast<QMUILabel>(cell->tagStackView()->arrangedSubviews()[0]);
    ASSERT_TRUE(tag);
    UIColor card = ZV_RankingCell::cardColor();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "ranking tab", tab->zv_dataSource()->titleNormalColor, UIColor::systemBackground(),
            colorWithHex("1D1942", 0.5) },
        { "chosen ranking tab", tab->zv_dataSource()->titleSelectedColor, UIColor::systemBackground(),
            colorWithHex("1D1942") },
        { "title", cell->titleLb()->textColor(), card, colorWithHex("1D1942") },
        { "synopsis", cell->contentLb()->textColor(), card, colorWithHex("1D1942", 0.5) },
        { "tag", tag->textColor(), *tag->backgroundColor(), colorWithHex("1D1942", 0.5),
            colorWithHex("F3F5F9") },
    });

    // The heat and the badges' digits are the page's own colours: they read in both styles, the
    // digits (14 pt bold) at 3:1 on both ends of the first three places' gradients.
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark }) {
        EXPECT_GE(styletest::ratioIn(style, cell->hotLb()->textColor(), card), 4.5);
        for (int row = 0; row < 3; ++row) {
            cell->setRow(row);
            EXPECT_EQ(cell->numLb()->font().pointSize(), 14);
            EXPECT_TRUE(cell->numLb()->font().isBold());
            for (const UIColor& end : ZV_RankingCell::badgeColors(row))
                EXPECT_GE(styletest::ratioIn(style, cell->numLb()->textColor(), end), 3) << row;
        }
    }
}

using RankingBackdrop = uitest::ControllerTest;

TEST_F(RankingBackdrop, ThePagesPictureIsAFaintHintInTheDarkStyle)
{
    auto backdrop = std::make_shared<ZVBackdropImageView>();
    window->addSubview(backdrop);
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    EXPECT_DOUBLE_EQ(backdrop->alpha(), 0.3);
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
    EXPECT_DOUBLE_EQ(backdrop->alpha(), 1);
    backdrop->removeFromSuperview();
}

}
