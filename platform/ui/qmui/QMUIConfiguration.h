#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIActivityIndicatorView.h"
#include "platform/ui/UIBarStyle.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class UITableViewStyle;

// A set of app-wide appearance values that an app writes into the configuration; also the kind
// of object the theme manager keeps as a theme. Templates are owned by std::shared_ptr, so one can
// register itself as a theme (shared_from_this()) while it is asked whether to apply.
class QMUIConfigurationTemplateProtocol
    : public std::enable_shared_from_this<QMUIConfigurationTemplateProtocol> {
public:
    virtual ~QMUIConfigurationTemplateProtocol() = default;
    // Writes the template's values into QMUIConfiguration::sharedInstance().
    virtual void applyConfigurationTemplate() = 0;
    // Asked once, when the configuration is first used: yes applies the template then.
    virtual bool shouldApplyTemplateAutomatically() { return false; }
};

// The process-wide appearance values that the framework's components read (main thread).
//
// Templates: an app registers its template classes (factories) before the configuration is first
// used. The first call of sharedInstance() applies the initial templates: each registered class
// is made, in registration order, asked shouldApplyTemplateAutomatically, and applied when it says
// yes. Calls of sharedInstance() made while that runs (the templates' own writes) return at once,
// so the templates apply exactly once.
//
// Nothing (std::nullopt) for a colour, font or image means "not set": components keep their own
// look. The values before any template are the framework's defaults below.
class QMUIConfiguration {
public:
    using BarStyle = UIBarStyle;
    enum class KeyboardAppearance { defaultAppearance = 0, dark = 1, light = 2 };
    // The table views' "automatic dimension".
    static constexpr CGFloat automaticDimension = -1;

    // The values a table view of one style takes, gathered from the style's fields below (cells
    // made for a table take its style's cell values, other cells the plain ones).
    struct TableStyleValues {
        std::optional<UIColor> backgroundColor;
        std::optional<UIColor> separatorColor;
        struct Cell {
            std::optional<UIColor> titleLabelColor;
            std::optional<UIColor> detailLabelColor;
            std::optional<UIColor> backgroundColor;
            std::optional<UIColor> selectedBackgroundColor;
        };
        Cell cell;
        struct Section {
            std::optional<UIColor> backgroundColor;
            std::optional<UIFont> font;
            std::optional<UIColor> textColor;
            UIEdgeInsets contentInset;
            CGFloat defaultHeight = automaticDimension;
            // Around an accessory view at the title's right.
            UIEdgeInsets accessoryMargins;
        };
        Section sectionHeader;
        Section sectionFooter;
        // Above each section header; automatic leaves the table's own.
        CGFloat sectionHeaderTopPadding = automaticDimension;
        // The section index of every style.
        std::optional<UIColor> sectionIndexColor;
        std::optional<UIColor> sectionIndexBackgroundColor;
        std::optional<UIColor> sectionIndexTrackingBackgroundColor;
    };

    using TemplateFactory = std::function<std::shared_ptr<QMUIConfigurationTemplateProtocol>()>;

    // Applies the initial templates on first use (see above).
    static QMUIConfiguration& sharedInstance();

    // Registers a template class under its name; a second registration of the name replaces the
    // factory in place. Registering after the initial templates were applied has no effect on them.
    static void registerTemplateClass(const std::string& name, TemplateFactory factory);
    static void unregisterTemplateClass(const std::string& name);

    // The guard every read or write goes through; runs the initial templates once.
    void applyInitialTemplate();
    bool hasAppliedInitialTemplate() const { return m_appliedInitialTemplate; }
    // While the initial templates are being applied (asking does not start them).
    static bool isApplyingInitialTemplateNow();

    // Tests: every value back to its default and the initial templates not yet applied
    // (registrations stay).
    static void resetForTesting();

    // ---- Global colours ----
    std::optional<UIColor> clearColor;
    std::optional<UIColor> whiteColor;
    std::optional<UIColor> blackColor;
    std::optional<UIColor> grayColor;
    std::optional<UIColor> grayDarkenColor;
    std::optional<UIColor> grayLightenColor;
    std::optional<UIColor> redColor;
    std::optional<UIColor> greenColor;
    std::optional<UIColor> blueColor;
    std::optional<UIColor> yellowColor;
    std::optional<UIColor> linkColor;
    std::optional<UIColor> disabledColor;
    std::optional<UIColor> backgroundColor;
    // The dimming of modal presentations.
    std::optional<UIColor> maskDarkColor = UIColor(0, 0, 0, 0.35);
    std::optional<UIColor> maskLightColor;
    std::optional<UIColor> separatorColor;
    std::optional<UIColor> separatorDashedColor;
    // Placeholders of the framework's text field and text view.
    std::optional<UIColor> placeholderColor;
    std::optional<UIColor> testColorRed;
    std::optional<UIColor> testColorGreen;
    std::optional<UIColor> testColorBlue;

    // ---- Logging ----
    bool shouldPrintDefaultLog = true;
    bool shouldPrintInfoLog = true;
    bool shouldPrintWarnLog = true;
    bool shouldPrintQMUIWarnLogToConsole = false;

    // ---- Controls ----
    CGFloat controlHighlightedAlpha = 0.5;
    CGFloat controlDisabledAlpha = 0.5;
    // QMUIButton's alpha while highlighted or disabled.
    CGFloat buttonHighlightedAlpha = 0.5;
    CGFloat buttonDisabledAlpha = 0.5;
    std::optional<UIColor> buttonTintColor;
    // Defaults of QMUITextField.
    std::optional<UIColor> textFieldTextColor;
    std::optional<UIColor> textFieldTintColor;
    UIEdgeInsets textFieldTextInsets { 0, 7, 0, 7 };
    KeyboardAppearance keyboardAppearance = KeyboardAppearance::defaultAppearance;
    std::optional<UIColor> switchOnTintColor;
    std::optional<UIColor> switchOffTintColor;
    std::optional<UIColor> switchThumbTintColor;

    // ---- Navigation bar (QMUINavigationController's bar when its top screen gives no answer) ----
    bool navBarUsesStandardAppearanceOnly = false;
    // Class names (className()) of the navigation controllers whose bars follow these values.
    std::vector<std::string> navBarContainerClasses;
    CGFloat navBarHighlightedAlpha = 0.2;
    CGFloat navBarDisabledAlpha = 0.2;
    std::optional<UIFont> navBarButtonFont;
    std::optional<UIFont> navBarButtonFontBold;
    std::optional<UIImage> navBarBackgroundImage;
    bool navBarRemoveBackgroundEffectAutomatically = false;
    std::optional<UIImage> navBarShadowImage;
    // When set (and no shadow image is), the shadow line is an image of this colour.
    std::optional<UIColor> navBarShadowImageColor;
    std::optional<UIColor> navBarBarTintColor;
    BarStyle navBarStyle = BarStyle::defaultStyle;
    std::optional<UIColor> navBarTintColor;
    std::optional<UIColor> navBarTitleColor;
    std::optional<UIFont> navBarTitleFont;
    std::optional<UIColor> navBarLargeTitleColor;
    std::optional<UIFont> navBarLargeTitleFont;
    CGPoint navBarBackButtonTitlePositionAdjustment;
    bool sizeNavBarBackIndicatorImageAutomatically = true;
    std::optional<UIImage> navBarBackIndicatorImage;
    std::optional<UIImage> navBarCloseButtonImage;
    CGFloat navBarLoadingMarginRight = 3;
    CGFloat navBarAccessoryViewMarginLeft = 5;
    UIActivityIndicatorViewStyle navBarActivityIndicatorViewStyle = UIActivityIndicatorViewStyle::medium;
    std::optional<UIImage> navBarAccessoryViewTypeDisclosureIndicatorImage;

    // ---- Tab bar (the bar of every tab bar controller, or of those listed) ----
    bool tabBarUsesStandardAppearanceOnly = false;
    // Class names (className()) of the controllers whose bars follow these values; none: all.
    std::vector<std::string> tabBarContainerClasses;
    std::optional<UIImage> tabBarBackgroundImage;
    bool tabBarRemoveBackgroundEffectAutomatically = false;
    std::optional<UIColor> tabBarBarTintColor;
    // When set, the line along the bar's top edge is an image of this colour.
    std::optional<UIColor> tabBarShadowImageColor;
    BarStyle tabBarStyle = BarStyle::defaultStyle;
    std::optional<UIFont> tabBarItemTitleFont;
    std::optional<UIFont> tabBarItemTitleFontSelected;
    std::optional<UIColor> tabBarItemTitleColor;
    std::optional<UIColor> tabBarItemTitleColorSelected;
    std::optional<UIColor> tabBarItemImageColor;
    std::optional<UIColor> tabBarItemImageColorSelected;

    // ---- Tool bar (every UIToolbar, or those in the controllers listed) ----
    bool toolBarUsesStandardAppearanceOnly = false;
    std::vector<std::string> toolBarContainerClasses;
    CGFloat toolBarHighlightedAlpha = 0.4;
    CGFloat toolBarDisabledAlpha = 0.4;
    std::optional<UIColor> toolBarTintColor;
    std::optional<UIColor> toolBarTintColorHighlighted;
    std::optional<UIColor> toolBarTintColorDisabled;
    std::optional<UIImage> toolBarBackgroundImage;
    bool toolBarRemoveBackgroundEffectAutomatically = false;
    std::optional<UIColor> toolBarBarTintColor;
    std::optional<UIColor> toolBarShadowImageColor;
    BarStyle toolBarStyle = BarStyle::defaultStyle;
    std::optional<UIFont> toolBarButtonFont;

    // ---- Search bar ----
    std::optional<UIImage> searchBarTextFieldBackgroundImage;
    std::optional<UIColor> searchBarTextFieldBorderColor;
    CGFloat searchBarTextFieldCornerRadius = 2;
    std::optional<UIImage> searchBarBackgroundImage;
    std::optional<UIColor> searchBarTintColor;
    std::optional<UIColor> searchBarTextColor;
    std::optional<UIColor> searchBarPlaceholderColor;
    std::optional<UIFont> searchBarFont;
    std::optional<UIImage> searchBarSearchIconImage;
    std::optional<UIImage> searchBarClearIconImage;

    // ---- Plain table (QMUITableView, QMUITableViewCell) ----
    bool tableViewEstimatedHeightEnabled = true;
    std::optional<UIColor> tableViewBackgroundColor;
    std::optional<UIColor> tableSectionIndexColor;
    std::optional<UIColor> tableSectionIndexBackgroundColor;
    std::optional<UIColor> tableSectionIndexTrackingBackgroundColor;
    std::optional<UIColor> tableViewSeparatorColor;
    CGFloat tableViewCellNormalHeight = automaticDimension;
    std::optional<UIColor> tableViewCellTitleLabelColor;
    std::optional<UIColor> tableViewCellDetailLabelColor;
    std::optional<UIColor> tableViewCellBackgroundColor;
    std::optional<UIColor> tableViewCellSelectedBackgroundColor;
    std::optional<UIColor> tableViewCellWarningBackgroundColor;
    std::optional<UIImage> tableViewCellDisclosureIndicatorImage;
    std::optional<UIImage> tableViewCellCheckmarkImage;
    std::optional<UIImage> tableViewCellDetailButtonImage;
    CGFloat tableViewCellSpacingBetweenDetailButtonAndDisclosureIndicator = 12;
    std::optional<UIColor> tableViewSectionHeaderBackgroundColor;
    std::optional<UIColor> tableViewSectionFooterBackgroundColor;
    std::optional<UIFont> tableViewSectionHeaderFont;
    std::optional<UIFont> tableViewSectionFooterFont;
    std::optional<UIColor> tableViewSectionHeaderTextColor;
    std::optional<UIColor> tableViewSectionFooterTextColor;
    UIEdgeInsets tableViewSectionHeaderAccessoryMargins;
    UIEdgeInsets tableViewSectionFooterAccessoryMargins;
    UIEdgeInsets tableViewSectionHeaderContentInset;
    UIEdgeInsets tableViewSectionFooterContentInset;
    CGFloat tableViewSectionHeaderTopPadding = automaticDimension;

    // ---- Grouped table ----
    std::optional<UIColor> tableViewGroupedBackgroundColor;
    std::optional<UIColor> tableViewGroupedSeparatorColor;
    std::optional<UIColor> tableViewGroupedCellTitleLabelColor;
    std::optional<UIColor> tableViewGroupedCellDetailLabelColor;
    std::optional<UIColor> tableViewGroupedCellBackgroundColor;
    std::optional<UIColor> tableViewGroupedCellSelectedBackgroundColor;
    std::optional<UIColor> tableViewGroupedCellWarningBackgroundColor;
    std::optional<UIFont> tableViewGroupedSectionHeaderFont;
    std::optional<UIFont> tableViewGroupedSectionFooterFont;
    std::optional<UIColor> tableViewGroupedSectionHeaderTextColor;
    std::optional<UIColor> tableViewGroupedSectionFooterTextColor;
    UIEdgeInsets tableViewGroupedSectionHeaderAccessoryMargins;
    UIEdgeInsets tableViewGroupedSectionFooterAccessoryMargins;
    CGFloat tableViewGroupedSectionHeaderDefaultHeight = automaticDimension;
    CGFloat tableViewGroupedSectionFooterDefaultHeight = automaticDimension;
    UIEdgeInsets tableViewGroupedSectionHeaderContentInset;
    UIEdgeInsets tableViewGroupedSectionFooterContentInset;
    CGFloat tableViewGroupedSectionHeaderTopPadding = automaticDimension;

    // ---- Inset-grouped table (kept for that style; this platform's tables have none) ----
    CGFloat tableViewInsetGroupedCornerRadius = 10;
    CGFloat tableViewInsetGroupedHorizontalInset = 15;
    std::optional<UIColor> tableViewInsetGroupedBackgroundColor;
    std::optional<UIColor> tableViewInsetGroupedSeparatorColor;
    std::optional<UIColor> tableViewInsetGroupedCellTitleLabelColor;
    std::optional<UIColor> tableViewInsetGroupedCellDetailLabelColor;
    std::optional<UIColor> tableViewInsetGroupedCellBackgroundColor;
    std::optional<UIColor> tableViewInsetGroupedCellSelectedBackgroundColor;
    std::optional<UIColor> tableViewInsetGroupedCellWarningBackgroundColor;
    std::optional<UIFont> tableViewInsetGroupedSectionHeaderFont;
    std::optional<UIFont> tableViewInsetGroupedSectionFooterFont;
    std::optional<UIColor> tableViewInsetGroupedSectionHeaderTextColor;
    std::optional<UIColor> tableViewInsetGroupedSectionFooterTextColor;
    UIEdgeInsets tableViewInsetGroupedSectionHeaderAccessoryMargins;
    UIEdgeInsets tableViewInsetGroupedSectionFooterAccessoryMargins;
    CGFloat tableViewInsetGroupedSectionHeaderDefaultHeight = automaticDimension;
    CGFloat tableViewInsetGroupedSectionFooterDefaultHeight = automaticDimension;
    UIEdgeInsets tableViewInsetGroupedSectionHeaderContentInset;
    UIEdgeInsets tableViewInsetGroupedSectionFooterContentInset;
    CGFloat tableViewInsetGroupedSectionHeaderTopPadding = automaticDimension;

    // The values of a table of the style (the plain or the grouped fields).
    TableStyleValues tableStyleValues(UITableViewStyle style) const;

    // ---- Window levels ----
    // Windows of modal presentations and pop-ups.
    UIWindowLevel windowLevelQMUIAlertView = UIWindowLevelAlert - 4;
    UIWindowLevel windowLevelQMUIConsole = 1;

    // ---- Badges ----
    std::optional<UIColor> badgeBackgroundColor;
    std::optional<UIColor> badgeTextColor;
    std::optional<UIFont> badgeFont;
    UIEdgeInsets badgeContentEdgeInsets;
    CGPoint badgeOffset;
    CGPoint badgeOffsetLandscape;
    CGPoint badgeCenterOffset;
    CGPoint badgeCenterOffsetLandscape;
    std::optional<UIColor> updatesIndicatorColor;
    CGSize updatesIndicatorSize;
    CGPoint updatesIndicatorOffset;
    CGPoint updatesIndicatorOffsetLandscape;
    CGPoint updatesIndicatorCenterOffset;
    CGPoint updatesIndicatorCenterOffsetLandscape;

    // ---- Others ----
    bool automaticCustomNavigationBarTransitionStyle = false;
    // QMUICommonViewController's orientations, status bar style and bottom bar flag.
    unsigned supportedOrientationMask = UIInterfaceOrientationMaskAll;
    bool automaticallyRotateDeviceOrientation = false;
    UIStatusBarStyle defaultStatusBarStyle = UIStatusBarStyle::defaultStyle;
    bool needsBackBarButtonItemTitle = true;
    bool hidesBottomBarWhenPushedInitially = false;
    bool preventConcurrentNavigationControllerTransitions = true;
    bool navigationBarHiddenInitially = false;
    bool shouldFixTabBarSafeAreaInsetsBug = false;
    bool shouldFixSearchBarMaskViewLayoutBug = false;
    bool sendAnalyticsToQMUITeam = true;
    bool dynamicPreferredValueForIPad = false;
    bool ignoreKVCAccessProhibited = false;
    bool adjustScrollIndicatorInsetsByContentInsetAdjustment = false;

private:
    QMUIConfiguration() = default;

    bool m_appliedInitialTemplate = false;
    bool m_applyingInitialTemplate = false;
};
