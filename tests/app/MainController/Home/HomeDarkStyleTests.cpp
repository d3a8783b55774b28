// The feed, the filter page, the carousel and the update prompt in both styles: the light style
// keeps the colours the design gives; in the dark style every text reads on what lies behind it.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Home/Controller/ZV_HomeScreemVC.h"
#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"
#include "app/MainController/Home/View/ZV_HomeBannerSubCell.h"
#include "app/MainController/Home/View/ZV_HomeFilterSubCell.h"
#include "app/MainController/Home/View/ZV_UpdateAPPContentView.h"
#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"
#include "app/MainController/Other/View/ZV_MovieView.h"
#include "tests/app/support/StyleColors.h"

#include <gtest/gtest.h>

namespace {

using styletest::Text;

UIColor page()
{
    return UIColor::systemBackground();
}

TEST(HomeDarkStyle, FeedAndFilterGridsTitleCardsAndCarouselTags)
{
    auto cell = std::make_shared<ZV_HomeVideoCollCell>(CGRect { 0, 0, 103, 224 });
    auto card = ZV_MovieView::make({ 0, 0, 103, 184 });
    auto banner = std::make_shared<ZV_HomeBannerSubCell>(CGRect { 0, 0, 342, 190 });
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "grid title on the page", cell->zv_titleLb()->textColor(), page(), UIColor::black() },
        // The tag's orange runs from "FF6332" at the top to "FFA132" at the bottom.
        { "title card tag, top", card->zv_tagLb()->textColor(), colorWithHex("FF6332"), UIColor::white() },
        { "title card tag, bottom", card->zv_tagLb()->textColor(), colorWithHex("FFA132"), UIColor::white() },
        { "carousel tag, top", banner->zv_tagLb()->textColor(), colorWithHex("FF6332"), UIColor::white() },
        { "carousel tag, bottom", banner->zv_tagLb()->textColor(), colorWithHex("FFA132"), UIColor::white() },
    });
}

TEST(HomeDarkStyle, FilterChipsAndTheTipBar)
{
    auto chip = std::make_shared<ZV_HomeFilterSubCell>(CGRect { 0, 0, 48, 28 });
    UIColor title = chip->titleLb()->textColor();
    auto screen = std::make_shared<ZV_HomeScreemVC>();
    const auto& tip = screen->tipLb();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "chosen chip", title, ZV_HomeFilterSubCell::backgroundColor(true), colorWithHex("1D1942"),
            colorWithHex("03FFE1", 0.4) },
        { "other chip", title, ZV_HomeFilterSubCell::backgroundColor(false), colorWithHex("1D1942"),
            UIColor::white() },
        // The tip bar: white, with the default text colour.
        { "filter tip", tip->textColor(), *tip->backgroundColor(), UIColor::black(), UIColor::white() },
    });
    // A chip chosen or not shows it in its fill.
    chip->setSel(true);
    EXPECT_EQ(chip->contentView()->backgroundColor()->resolved(UIUserInterfaceStyle::light),
        colorWithHex("03FFE1", 0.4));
    chip->setSel(false);
    EXPECT_EQ(
        chip->contentView()->backgroundColor()->resolved(UIUserInterfaceStyle::light), UIColor::white());
}

TEST(HomeDarkStyle, TheCarouselBlockStandsOutOfItsTrackAndThePage)
{
    auto carousel = std::make_shared<ZV_HomeBannerCollCell>(CGRect { 0, 0, 342, 214 });
    UIColor track = *carousel->bgSliderView()->backgroundColor();
    UIColor block = *carousel->blockSliderView()->backgroundColor();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        // The block is a shape, not a text: 3:1.
        { "block on the track", block, track, UIColor(29 / 255.0, 25 / 255.0, 66 / 255.0, 1),
            UIColor(13 / 255.0, 7 / 255.0, 71 / 255.0, 0.1), 3 },
        { "block on the page", block, page(), colorWithHex("1D1942"), std::nullopt, 3 },
    });
}

TEST(HomeDarkStyle, TheUpdatePromptsCard)
{
    auto prompt = ZV_UpdateAPPContentView::make({ 0, 0, 320, 350 });
    UIColor card = *prompt->cardView()->backgroundColor();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "heading", prompt->title()->textColor(), card, colorWithHex("1D1942"), UIColor::white() },
        // Faded in the light style as designed; the dark style's text reads.
        { "release notes", prompt->subTitle()->textColor(), card, colorWithHex("1D1942", 0.4),
            UIColor::white() },
    });
}

}
