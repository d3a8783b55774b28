// The tab bar, tool bar and table values of the light and dark templates, one row per field as
// the themes' own table states them ("nil" for nothing, colours as 0-255 components).

#include "tests/app/Theme/ThemeTestSupport.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using zvtest::ThemeTest;

std::string show(bool value)
{
    return value ? "YES" : "NO";
}

std::string show(CGFloat value)
{
    if (value == QMUIConfiguration::automaticDimension)
        return "automatic";
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string show(const UIEdgeInsets& insets)
{
    return "(" + show(insets.top) + ", " + show(insets.left) + ", " + show(insets.bottom) + ", "
        + show(insets.right) + ")";
}

std::string show(const std::optional<UIColor>& color)
{
    if (!color)
        return "nil";
    auto c = color->rgba();
    auto component = [](double v) { return std::to_string(static_cast<int>(std::lround(v * 255))); };
    std::string text = component(c.red) + ", " + component(c.green) + ", " + component(c.blue);
    return c.alpha < 1 ? text + ", alpha " + show(c.alpha) : text;
}

std::string show(const std::optional<UIFont>& font)
{
    if (!font)
        return "nil";
    return (font->isBold() ? "bold system " : "system ") + show(font->pointSize());
}

std::string show(const std::optional<UIImage>& image)
{
    return image ? "an image" : "nil";
}

std::string show(const std::vector<std::string>& classes)
{
    return classes.empty() ? "nil" : classes.front();
}

std::string show(QMUIConfiguration::BarStyle style)
{
    return style == QMUIConfiguration::BarStyle::black ? "black" : "default";
}

struct Row {
    const char* field;
    std::function<std::string(const QMUIConfiguration&)> read;
    const char* light;
    const char* dark;
};

#define ROW(field, light, dark)                                                                              \
    Row                                                                                                      \
    {                                                                                                        \
#field, [](const QMUIConfiguration& c) { return show(c.field); }, light, dark                        \
    }
#define SAME(field, value) ROW(field, value, value)

const Row rows[] = {
    // Tab bar
    SAME(tabBarUsesStandardAppearanceOnly, "NO"),
    SAME(tabBarContainerClasses, "nil"),
    SAME(tabBarBackgroundImage, "nil"),
    SAME(tabBarRemoveBackgroundEffectAutomatically, "NO"),
    SAME(tabBarBarTintColor, "nil"),
    ROW(tabBarShadowImageColor, "nil", "46, 50, 54"),
    ROW(tabBarStyle, "default", "black"),
    SAME(tabBarItemTitleFont, "nil"),
    SAME(tabBarItemTitleFontSelected, "nil"),
    SAME(tabBarItemTitleColor, "nil"),
    SAME(tabBarItemTitleColorSelected, "nil"),
    SAME(tabBarItemImageColor, "nil"),
    SAME(tabBarItemImageColorSelected, "nil"),
    // Tool bar
    SAME(toolBarUsesStandardAppearanceOnly, "NO"),
    SAME(toolBarContainerClasses, "nil"),
    SAME(toolBarHighlightedAlpha, "0.4"),
    SAME(toolBarDisabledAlpha, "0.4"),
    SAME(toolBarTintColor, "nil"),
    SAME(toolBarTintColorHighlighted, "nil"),
    SAME(toolBarTintColorDisabled, "nil"),
    SAME(toolBarBackgroundImage, "nil"),
    SAME(toolBarRemoveBackgroundEffectAutomatically, "NO"),
    SAME(toolBarBarTintColor, "nil"),
    ROW(toolBarShadowImageColor, "nil", "46, 50, 54"),
    ROW(toolBarStyle, "default", "black"),
    SAME(toolBarButtonFont, "nil"),
    // Plain table
    SAME(tableViewEstimatedHeightEnabled, "YES"),
    SAME(tableViewBackgroundColor, "nil"),
    SAME(tableSectionIndexColor, "nil"),
    SAME(tableSectionIndexBackgroundColor, "nil"),
    SAME(tableSectionIndexTrackingBackgroundColor, "nil"),
    SAME(tableViewSeparatorColor, "222, 224, 226"),
    SAME(tableViewCellNormalHeight, "automatic"),
    SAME(tableViewCellTitleLabelColor, "nil"),
    SAME(tableViewCellDetailLabelColor, "nil"),
    SAME(tableViewCellBackgroundColor, "nil"),
    SAME(tableViewCellSelectedBackgroundColor, "238, 239, 241"),
    SAME(tableViewCellWarningBackgroundColor, "255, 207, 71"),
    SAME(tableViewCellDisclosureIndicatorImage, "nil"),
    SAME(tableViewCellCheckmarkImage, "nil"),
    SAME(tableViewCellDetailButtonImage, "nil"),
    SAME(tableViewCellSpacingBetweenDetailButtonAndDisclosureIndicator, "12"),
    SAME(tableViewSectionHeaderBackgroundColor, "244, 244, 244"),
    SAME(tableViewSectionFooterBackgroundColor, "244, 244, 244"),
    SAME(tableViewSectionHeaderFont, "bold system 12"),
    SAME(tableViewSectionFooterFont, "bold system 12"),
    SAME(tableViewSectionHeaderTextColor, "163, 163, 163"),
    SAME(tableViewSectionFooterTextColor, "179, 179, 179"),
    SAME(tableViewSectionHeaderAccessoryMargins, "(0, 15, 0, 0)"),
    SAME(tableViewSectionFooterAccessoryMargins, "(0, 15, 0, 0)"),
    SAME(tableViewSectionHeaderContentInset, "(4, 15, 4, 15)"),
    SAME(tableViewSectionFooterContentInset, "(4, 15, 4, 15)"),
    SAME(tableViewSectionHeaderTopPadding, "automatic"),
    // Grouped table
    SAME(tableViewGroupedBackgroundColor, "nil"),
    SAME(tableViewGroupedSeparatorColor, "222, 224, 226"),
    SAME(tableViewGroupedCellTitleLabelColor, "nil"),
    SAME(tableViewGroupedCellDetailLabelColor, "nil"),
    SAME(tableViewGroupedCellBackgroundColor, "nil"),
    SAME(tableViewGroupedCellSelectedBackgroundColor, "238, 239, 241"),
    SAME(tableViewGroupedCellWarningBackgroundColor, "255, 207, 71"),
    SAME(tableViewGroupedSectionHeaderFont, "system 12"),
    SAME(tableViewGroupedSectionFooterFont, "system 12"),
    SAME(tableViewGroupedSectionHeaderTextColor, "163, 163, 163"),
    SAME(tableViewGroupedSectionFooterTextColor, "179, 179, 179"),
    SAME(tableViewGroupedSectionHeaderAccessoryMargins, "(0, 15, 0, 0)"),
    SAME(tableViewGroupedSectionFooterAccessoryMargins, "(0, 15, 0, 0)"),
    SAME(tableViewGroupedSectionHeaderDefaultHeight, "automatic"),
    SAME(tableViewGroupedSectionFooterDefaultHeight, "automatic"),
    SAME(tableViewGroupedSectionHeaderContentInset, "(16, 15, 8, 15)"),
    SAME(tableViewGroupedSectionFooterContentInset, "(8, 15, 2, 15)"),
    SAME(tableViewGroupedSectionHeaderTopPadding, "automatic"),
    // Inset-grouped table: the footer copies the inset-grouped header, not the grouped footer
    SAME(tableViewInsetGroupedCornerRadius, "10"),
    SAME(tableViewInsetGroupedHorizontalInset, "15"),
    SAME(tableViewInsetGroupedBackgroundColor, "nil"),
    SAME(tableViewInsetGroupedSeparatorColor, "222, 224, 226"),
    SAME(tableViewInsetGroupedCellTitleLabelColor, "nil"),
    SAME(tableViewInsetGroupedCellDetailLabelColor, "nil"),
    SAME(tableViewInsetGroupedCellBackgroundColor, "nil"),
    SAME(tableViewInsetGroupedCellWarningBackgroundColor, "255, 207, 71"),
    SAME(tableViewInsetGroupedCellSelectedBackgroundColor, "238, 239, 241"),
    SAME(tableViewInsetGroupedSectionHeaderFont, "system 12"),
    SAME(tableViewInsetGroupedSectionHeaderTextColor, "163, 163, 163"),
    SAME(tableViewInsetGroupedSectionHeaderAccessoryMargins, "(0, 15, 0, 0)"),
    SAME(tableViewInsetGroupedSectionHeaderDefaultHeight, "automatic"),
    SAME(tableViewInsetGroupedSectionFooterDefaultHeight, "automatic"),
    SAME(tableViewInsetGroupedSectionHeaderContentInset, "(16, 15, 8, 15)"),
    SAME(tableViewInsetGroupedSectionFooterFont, "system 12"),
    SAME(tableViewInsetGroupedSectionFooterTextColor, "163, 163, 163"),
    SAME(tableViewInsetGroupedSectionFooterAccessoryMargins, "(0, 15, 0, 0)"),
    SAME(tableViewInsetGroupedSectionFooterContentInset, "(16, 15, 8, 15)"),
    SAME(tableViewInsetGroupedSectionHeaderTopPadding, "automatic"),
};

TEST_F(ThemeTest, BarAndTableValuesOfBothTemplates)
{
    for (bool dark : { false, true }) {
        SCOPED_TRACE(dark ? "Dark" : "Default");
        QMUIConfiguration::resetForTesting();
        QMUIThemeManagerCenter::resetForTesting();
        if (dark)
            storeTheme("Dark");
        const auto& config = QMUIConfiguration::sharedInstance();
        for (const auto& row : rows)
            EXPECT_EQ(row.read(config), dark ? row.dark : row.light) << row.field;
    }
}

}
