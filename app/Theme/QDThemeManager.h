#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/qmui/QMUIThemeManager.h"

class QMUIConfigurationTemplate;

// The style of the app's standard blur.
enum class QDBlurEffectStyle { light, dark };

// The theme-dependent colours, images and blur of the app, made once. Colours and the images and
// effect marked theme-aware resolve against the default theme manager's current theme each time
// they are read (drawn), so a theme switch needs no rebuilding. Under a theme that supplies no
// value of its own (the light template supplies none) a light palette answers. Main thread.
class QDThemeManager {
public:
    static QDThemeManager& sharedInstance();
    // The default theme manager's current theme (nullptr before one is chosen).
    static QMUITheme currentTheme();

    QDThemeManager(const QDThemeManager&) = delete;
    QDThemeManager& operator=(const QDThemeManager&) = delete;

    UIColor qd_backgroundColor;
    UIColor qd_backgroundColorLighten;
    UIColor qd_backgroundColorHighlighted;
    UIColor qd_tintColor;
    UIColor qd_titleTextColor;
    UIColor qd_mainTextColor;
    UIColor qd_descriptionTextColor;
    UIColor qd_placeholderColor;
    UIColor qd_codeColor;
    UIColor qd_separatorColor;
    UIColor qd_gridItemTintColor;

    QMUIThemeImage qd_navigationBarBackgroundImage;
    UIImage qd_navigationBarBackIndicatorImage;
    UIImage qd_navigationBarCloseImage;
    UIImage qd_navigationBarDisclosureIndicatorImage;
    QMUIThemeImage qd_tableViewCellDisclosureIndicatorImage;
    QMUIThemeImage qd_tableViewCellCheckmarkImage;
    QMUIThemeImage qd_tableViewCellDetailButtonImage;
    QMUIThemeImage qd_searchBarTextFieldBackgroundImage;
    QMUIThemeImage qd_searchBarBackgroundImage;

    QMUIThemeValue<QDBlurEffectStyle> qd_standardBlueEffect;

private:
    template<typename T> friend class NoDestructor;
    QDThemeManager();
};
