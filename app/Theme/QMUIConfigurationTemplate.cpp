#include "app/Theme/QMUIConfigurationTemplate.h"

#include "app/Theme/QDShapeImage.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

#include <cstdlib>

namespace {

UIColor rgb(int r, int g, int b, CGFloat alpha = 1)
{
    return UIColor(r / 255.0, g / 255.0, b / 255.0, alpha);
}

// Nine settings exist only from system 15 on; older systems keep the framework's defaults.
bool systemIs15OrLater()
{
    return std::atoi(UIDevice::current().systemVersion().c_str()) >= 15;
}

// A colour with another alpha; nothing stays nothing.
std::optional<UIColor> withAlpha(const std::optional<UIColor>& color, CGFloat alpha)
{
    if (!color)
        return std::nullopt;
    return color->withAlphaComponent(alpha);
}

}

void QMUIConfigurationTemplate::applyConfigurationTemplate()
{
    // Each area reads values the earlier ones wrote ("same as" rows), so the order matters.
    auto& config = QMUIConfiguration::sharedInstance();
    applyGlobalColours(config);
    applyControls(config);
    applyNavigationBar(config);
    applyBars(config);
    applyTables(config);
    applyBadgesAndOthers(config);
}

void QMUIConfigurationTemplate::applyGlobalColours(QMUIConfiguration& c) const
{
    c.clearColor = rgb(255, 255, 255, 0);
    c.whiteColor = rgb(255, 255, 255);
    c.blackColor = rgb(0, 0, 0);
    c.grayColor = rgb(179, 179, 179);
    c.grayDarkenColor = rgb(163, 163, 163);
    c.grayLightenColor = rgb(198, 198, 198);
    c.redColor = rgb(250, 58, 58);
    c.greenColor = rgb(159, 214, 97);
    c.blueColor = rgb(49, 189, 243);
    c.yellowColor = rgb(255, 207, 71);
    c.linkColor = rgb(56, 116, 171);
    c.disabledColor = c.grayColor;
    c.backgroundColor = std::nullopt;
    c.maskDarkColor = rgb(0, 0, 0, 0.35);
    c.maskLightColor = rgb(255, 255, 255, 0.5);
    c.separatorColor = rgb(222, 224, 226);
    c.separatorDashedColor = rgb(17, 17, 17);
    c.placeholderColor = rgb(196, 200, 208);
    c.testColorRed = rgb(255, 0, 0, 0.3);
    c.testColorGreen = rgb(0, 255, 0, 0.3);
    c.testColorBlue = rgb(0, 0, 255, 0.3);

    c.shouldPrintDefaultLog = true;
    c.shouldPrintInfoLog = true;
    c.shouldPrintWarnLog = true;
    c.shouldPrintQMUIWarnLogToConsole = false;
}

void QMUIConfigurationTemplate::applyControls(QMUIConfiguration& c) const
{
    c.controlHighlightedAlpha = 0.5;
    c.controlDisabledAlpha = 0.5;
    c.buttonHighlightedAlpha = c.controlHighlightedAlpha;
    c.buttonDisabledAlpha = c.controlDisabledAlpha;
    c.buttonTintColor = c.blueColor;
    c.textFieldTextColor = std::nullopt;
    c.textFieldTintColor = std::nullopt;
    c.textFieldTextInsets = { 0, 7, 0, 7 };
    c.keyboardAppearance = QMUIConfiguration::KeyboardAppearance::defaultAppearance;
    c.switchOnTintColor = std::nullopt;
    c.switchOffTintColor = std::nullopt;
    c.switchThumbTintColor = std::nullopt;
}

void QMUIConfigurationTemplate::applyNavigationBar(QMUIConfiguration& c) const
{
    const bool modern = systemIs15OrLater();
    if (modern)
        c.navBarUsesStandardAppearanceOnly = true;
    c.navBarContainerClasses = { "QMUINavigationController" };
    c.navBarHighlightedAlpha = 0.2;
    c.navBarDisabledAlpha = 0.2;
    c.navBarButtonFont = std::nullopt;
    c.navBarButtonFontBold = std::nullopt;
    c.navBarBackgroundImage = qmui_imageWithColor(UIColor::white());
    if (modern)
        c.navBarRemoveBackgroundEffectAutomatically = true;
    c.navBarShadowImage = std::nullopt;
    c.navBarShadowImageColor = c.clearColor;
    c.navBarBarTintColor = std::nullopt;
    c.navBarStyle = QMUIConfiguration::BarStyle::defaultStyle;
    c.navBarTintColor = std::nullopt;
    // Black as given; the app's dark style (its window's, not a theme) needs it light.
    c.navBarTitleColor = UIColor::label();
    c.navBarTitleFont = UIFont::systemFont(18);
    c.navBarLargeTitleColor = std::nullopt;
    c.navBarLargeTitleFont = std::nullopt;
    c.navBarBackButtonTitlePositionAdjustment = {};
    c.sizeNavBarBackIndicatorImageAutomatically = false;
    if (auto back = UIImage::named("back"))
        c.navBarBackIndicatorImage
            = zvadaptive::iconImage(back)->withRenderingMode(UIImageRenderingMode::alwaysOriginal);
    else
        c.navBarBackIndicatorImage = std::nullopt;
    c.navBarCloseButtonImage
        = QDShapeImage::make(QDImageShape::navigationClose, { 16, 16 }, c.navBarTintColor);
    c.navBarLoadingMarginRight = 3;
    c.navBarAccessoryViewMarginLeft = 5;
    c.navBarActivityIndicatorViewStyle = UIActivityIndicatorViewStyle::medium;
    c.navBarAccessoryViewTypeDisclosureIndicatorImage
        = QDShapeImage::make(QDImageShape::triangle, { 8, 5 }, std::nullopt)
              .withRenderingMode(UIImageRenderingMode::alwaysTemplate);
}

void QMUIConfigurationTemplate::applyBars(QMUIConfiguration& c) const
{
    const bool modern = systemIs15OrLater();
    if (modern)
        c.tabBarUsesStandardAppearanceOnly = false;
    c.tabBarContainerClasses.clear();
    c.tabBarBackgroundImage = std::nullopt;
    if (modern)
        c.tabBarRemoveBackgroundEffectAutomatically = false;
    c.tabBarBarTintColor = std::nullopt;
    c.tabBarShadowImageColor = std::nullopt;
    c.tabBarStyle = QMUIConfiguration::BarStyle::defaultStyle;
    c.tabBarItemTitleFont = std::nullopt;
    c.tabBarItemTitleFontSelected = std::nullopt;
    c.tabBarItemTitleColor = std::nullopt;
    c.tabBarItemTitleColorSelected = std::nullopt;
    c.tabBarItemImageColor = std::nullopt;
    c.tabBarItemImageColorSelected = std::nullopt;

    if (modern)
        c.toolBarUsesStandardAppearanceOnly = false;
    c.toolBarContainerClasses.clear();
    c.toolBarHighlightedAlpha = 0.4;
    c.toolBarDisabledAlpha = 0.4;
    c.toolBarTintColor = std::nullopt;
    // Derived from a tint that is nothing at this point, so nothing as well.
    c.toolBarTintColorHighlighted = withAlpha(c.toolBarTintColor, c.toolBarHighlightedAlpha);
    c.toolBarTintColorDisabled = withAlpha(c.toolBarTintColor, c.toolBarDisabledAlpha);
    c.toolBarBackgroundImage = std::nullopt;
    if (modern)
        c.toolBarRemoveBackgroundEffectAutomatically = false;
    c.toolBarBarTintColor = std::nullopt;
    c.toolBarShadowImageColor = std::nullopt;
    c.toolBarStyle = QMUIConfiguration::BarStyle::defaultStyle;
    c.toolBarButtonFont = std::nullopt;

    c.searchBarTextFieldBackgroundImage = std::nullopt;
    c.searchBarTextFieldBorderColor = std::nullopt;
    c.searchBarTextFieldCornerRadius = 2;
    c.searchBarBackgroundImage = std::nullopt;
    c.searchBarTintColor = std::nullopt;
    c.searchBarTextColor = std::nullopt;
    c.searchBarPlaceholderColor = c.placeholderColor;
    c.searchBarFont = std::nullopt;
    c.searchBarSearchIconImage = std::nullopt;
    c.searchBarClearIconImage = std::nullopt;
}

void QMUIConfigurationTemplate::applyTables(QMUIConfiguration& c) const
{
    const bool modern = systemIs15OrLater();
    constexpr CGFloat automatic = QMUIConfiguration::automaticDimension;

    c.tableViewEstimatedHeightEnabled = true;
    c.tableViewBackgroundColor = std::nullopt;
    c.tableSectionIndexColor = std::nullopt;
    c.tableSectionIndexBackgroundColor = std::nullopt;
    c.tableSectionIndexTrackingBackgroundColor = std::nullopt;
    c.tableViewSeparatorColor = c.separatorColor;
    c.tableViewCellNormalHeight = automatic;
    c.tableViewCellTitleLabelColor = std::nullopt;
    c.tableViewCellDetailLabelColor = std::nullopt;
    c.tableViewCellBackgroundColor = std::nullopt;
    c.tableViewCellSelectedBackgroundColor = rgb(238, 239, 241);
    c.tableViewCellWarningBackgroundColor = c.yellowColor;
    c.tableViewCellDisclosureIndicatorImage = std::nullopt;
    c.tableViewCellCheckmarkImage = std::nullopt;
    c.tableViewCellDetailButtonImage = std::nullopt;
    c.tableViewCellSpacingBetweenDetailButtonAndDisclosureIndicator = 12;
    c.tableViewSectionHeaderBackgroundColor = rgb(244, 244, 244);
    c.tableViewSectionFooterBackgroundColor = rgb(244, 244, 244);
    c.tableViewSectionHeaderFont = UIFont::boldSystemFont(12);
    c.tableViewSectionFooterFont = UIFont::boldSystemFont(12);
    c.tableViewSectionHeaderTextColor = c.grayDarkenColor;
    c.tableViewSectionFooterTextColor = c.grayColor;
    c.tableViewSectionHeaderAccessoryMargins = { 0, 15, 0, 0 };
    c.tableViewSectionFooterAccessoryMargins = { 0, 15, 0, 0 };
    c.tableViewSectionHeaderContentInset = { 4, 15, 4, 15 };
    c.tableViewSectionFooterContentInset = { 4, 15, 4, 15 };
    if (modern)
        c.tableViewSectionHeaderTopPadding = automatic;

    c.tableViewGroupedBackgroundColor = std::nullopt;
    c.tableViewGroupedSeparatorColor = c.tableViewSeparatorColor;
    c.tableViewGroupedCellTitleLabelColor = c.tableViewCellTitleLabelColor;
    c.tableViewGroupedCellDetailLabelColor = c.tableViewCellDetailLabelColor;
    c.tableViewGroupedCellBackgroundColor = c.tableViewCellBackgroundColor;
    c.tableViewGroupedCellSelectedBackgroundColor = c.tableViewCellSelectedBackgroundColor;
    c.tableViewGroupedCellWarningBackgroundColor = c.tableViewCellWarningBackgroundColor;
    c.tableViewGroupedSectionHeaderFont = UIFont::systemFont(12);
    c.tableViewGroupedSectionFooterFont = UIFont::systemFont(12);
    c.tableViewGroupedSectionHeaderTextColor = c.grayDarkenColor;
    c.tableViewGroupedSectionFooterTextColor = c.grayColor;
    c.tableViewGroupedSectionHeaderAccessoryMargins = { 0, 15, 0, 0 };
    c.tableViewGroupedSectionFooterAccessoryMargins = { 0, 15, 0, 0 };
    c.tableViewGroupedSectionHeaderDefaultHeight = automatic;
    c.tableViewGroupedSectionFooterDefaultHeight = automatic;
    c.tableViewGroupedSectionHeaderContentInset = { 16, 15, 8, 15 };
    c.tableViewGroupedSectionFooterContentInset = { 8, 15, 2, 15 };
    if (modern)
        c.tableViewGroupedSectionHeaderTopPadding = automatic;

    c.tableViewInsetGroupedCornerRadius = 10;
    c.tableViewInsetGroupedHorizontalInset = QMUIHelper::isIPad() ? 20 : 15;
    c.tableViewInsetGroupedBackgroundColor = c.tableViewGroupedBackgroundColor;
    c.tableViewInsetGroupedSeparatorColor = c.tableViewGroupedSeparatorColor;
    c.tableViewInsetGroupedCellTitleLabelColor = c.tableViewGroupedCellTitleLabelColor;
    c.tableViewInsetGroupedCellDetailLabelColor = c.tableViewGroupedCellDetailLabelColor;
    c.tableViewInsetGroupedCellBackgroundColor = c.tableViewGroupedCellBackgroundColor;
    c.tableViewInsetGroupedCellWarningBackgroundColor = c.tableViewGroupedCellWarningBackgroundColor;
    c.tableViewInsetGroupedCellSelectedBackgroundColor = c.tableViewGroupedCellSelectedBackgroundColor;
    c.tableViewInsetGroupedSectionHeaderFont = c.tableViewGroupedSectionHeaderFont;
    c.tableViewInsetGroupedSectionHeaderTextColor = c.tableViewGroupedSectionHeaderTextColor;
    c.tableViewInsetGroupedSectionHeaderAccessoryMargins = c.tableViewGroupedSectionHeaderAccessoryMargins;
    c.tableViewInsetGroupedSectionHeaderDefaultHeight = c.tableViewGroupedSectionHeaderDefaultHeight;
    c.tableViewInsetGroupedSectionFooterDefaultHeight = c.tableViewGroupedSectionFooterDefaultHeight;
    c.tableViewInsetGroupedSectionHeaderContentInset = c.tableViewGroupedSectionHeaderContentInset;
    // The footer copies the inset-grouped header just set, not the grouped footer.
    c.tableViewInsetGroupedSectionFooterFont = c.tableViewInsetGroupedSectionHeaderFont;
    c.tableViewInsetGroupedSectionFooterTextColor = c.tableViewInsetGroupedSectionHeaderTextColor;
    c.tableViewInsetGroupedSectionFooterAccessoryMargins
        = c.tableViewInsetGroupedSectionHeaderAccessoryMargins;
    c.tableViewInsetGroupedSectionFooterContentInset = c.tableViewInsetGroupedSectionHeaderContentInset;
    if (modern)
        c.tableViewInsetGroupedSectionHeaderTopPadding = automatic;
}

void QMUIConfigurationTemplate::applyBadgesAndOthers(QMUIConfiguration& c) const
{
    c.windowLevelQMUIAlertView = UIWindowLevelAlert - 4;
    c.windowLevelQMUIConsole = 1;

    c.badgeBackgroundColor = c.redColor;
    c.badgeTextColor = c.whiteColor;
    c.badgeFont = UIFont::boldSystemFont(11);
    c.badgeContentEdgeInsets = { 2, 4, 2, 4 };
    c.badgeOffset = { -9, 11 };
    c.badgeOffsetLandscape = { -9, 6 };
    c.badgeCenterOffset = { 14, -10 };
    c.badgeCenterOffsetLandscape = { 16, -7 };
    c.updatesIndicatorColor = c.redColor;
    c.updatesIndicatorSize = { 7, 7 };
    c.updatesIndicatorOffset = { 4, c.updatesIndicatorSize.height };
    c.updatesIndicatorOffsetLandscape = c.updatesIndicatorOffset;
    c.updatesIndicatorCenterOffset = { 14, -10 };
    c.updatesIndicatorCenterOffsetLandscape = { 14, -10 };

    c.automaticCustomNavigationBarTransitionStyle = false;
    c.supportedOrientationMask = UIInterfaceOrientationMaskAll;
    c.automaticallyRotateDeviceOrientation = false;
    c.defaultStatusBarStyle = UIStatusBarStyle::defaultStyle;
    c.needsBackBarButtonItemTitle = false;
    c.hidesBottomBarWhenPushedInitially = false;
    c.preventConcurrentNavigationControllerTransitions = true;
    c.navigationBarHiddenInitially = false;
    c.shouldFixTabBarSafeAreaInsetsBug = false;
    c.shouldFixSearchBarMaskViewLayoutBug = false;
    c.sendAnalyticsToQMUITeam = true;
    c.dynamicPreferredValueForIPad = false;
    c.ignoreKVCAccessProhibited = false;
    c.adjustScrollIndicatorInsetsByContentInsetAdjustment = false;
}
