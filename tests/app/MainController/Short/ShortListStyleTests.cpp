// The short-video list page's bar and cells are near-black in both styles: their texts are white,
// where the navy that the design gives them could not be read; the back arrow turns white too.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Short/Controller/ZV_ShortListViewController.h"
#include "app/MainController/Short/Controller/ZV_ShortShareViewController.h"
#include "tests/app/support/StyleColors.h"

#include <gtest/gtest.h>

namespace {

TEST(ShortListStyle, TitleAndNamesReadOnTheNearBlackBarAndCellsInBothStyles)
{
    auto page = std::make_shared<ZV_ShortListViewController>();
    UIColor title = page->titleLabel()->textColor();
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark }) {
        // The bar "1C1B20" and the cells "#050505".
        EXPECT_GE(styletest::ratioIn(style, title, colorWithHex("1C1B20")), 4.5);
        EXPECT_GE(
            styletest::ratioIn(style, ZV_ShortListViewController::titleColor(), colorWithHex("#050505")),
            4.5);
    }
    EXPECT_EQ(*page->zv_navView()->backgroundColor(), colorWithHex("1C1B20"));
    auto arrow = page->zv_backBtn()->image(UIControlStateNormal);
    ASSERT_TRUE(arrow && arrow->hasBitmap());
    // The arrow's most opaque pixel is white.
    UIColor::RGBA ink;
    for (int y = 0; y < arrow->pixelHeight(); ++y)
        for (int x = 0; x < arrow->pixelWidth(); ++x)
            if (arrow->pixel(x, y).alpha > ink.alpha)
                ink = arrow->pixel(x, y);
    EXPECT_GT(ink.alpha, 0.8);
    EXPECT_GT(ink.red, 0.95);
}

TEST(ShortListStyle, ThePostersTextsAsDesignedInTheLightStyleAndReadableInTheDark)
{
    auto poster = std::make_shared<ZV_ShortShareViewController>();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        // Under the card, on the page.
        { "save", *poster->saveButton()->titleColor(UIControlStateNormal), UIColor::systemBackground(),
            colorWithHex("1D1942") },
        // On the card's band, which is the system's label colour: white in the dark style.
        { "invitation", poster->infoLabel()->textColor(), UIColor::label(), colorWithHex("1D1942", 0.3) },
    });
}

}
