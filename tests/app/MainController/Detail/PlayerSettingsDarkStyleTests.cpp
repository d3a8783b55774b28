// The player's portrait settings panel in both styles: the light style keeps the design's navy on
// white; in the dark style the panel is dark and every text reads on it.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Detail/View/ZV_SettingContentView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UISegmentedControl.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "tests/app/support/StyleColors.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayerSettingsDarkStyle, ThePortraitPanel)
{
    auto panel = ZV_SettingContentView::make({ 0, 0, 390, 435 });
    // Without a title no skip times are stored: both time buttons read "未设置".
    panel->reloadSkipTimes();
    UIColor surface = ZV_SettingContentView::panelColor();
    UISegmentedControl& rates = *panel->multipleSegmented();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "title", panel->title()->textColor(), surface, colorWithHex("1D1942"), UIColor::white() },
        { "rate caption", panel->sourdTitle()->textColor(), surface, colorWithHex("1D1942"),
            UIColor::white() },
        { "rate", rates.titleTextAttributes(UIControlStateNormal).color.value_or(UIColor()), surface,
            colorWithHex("1D1942") },
        { "chosen rate", rates.titleTextAttributes(UIControlStateSelected).color.value_or(UIColor()),
            *rates.selectedSegmentTintColor, colorWithHex("1D1942"), colorWithHex("03FFE1") },
        // 14 pt bold: large text, 3:1.
        { "unset skip time", panel->jumpHeaderTimeBtn()->currentTitleColor(), surface,
            colorWithHex("1D1942", 0.4), std::nullopt, 3 },
    });
}

}
