#pragma once

#include "app/Theme/QDThemeManager.h"

// The app's theme colours, images and blur for any screen: each forwards to the like-named value
// of QDThemeManager::sharedInstance(). Colours stay theme-aware (they resolve when drawn); images
// and the blur are resolved against the current theme when asked.
class QDTheme {
public:
    static UIColor qd_backgroundColor();
    static UIColor qd_backgroundColorLighten();
    static UIColor qd_backgroundColorHighlighted();
    static UIColor qd_tintColor();
    static UIColor qd_titleTextColor();
    static UIColor qd_mainTextColor();
    static UIColor qd_descriptionTextColor();
    static UIColor qd_placeholderColor();
    static UIColor qd_codeColor();
    static UIColor qd_separatorColor();
    static UIColor qd_gridItemTintColor();

    static UIImage qd_navigationBarBackgroundImage();
    static UIImage qd_tableViewCellDisclosureIndicatorImage();
    static UIImage qd_tableViewCellCheckmarkImage();
    static UIImage qd_tableViewCellDetailButtonImage();
    static UIImage qd_searchBarTextFieldBackgroundImage();
    static UIImage qd_searchBarBackgroundImage();
    static UIImage qd_navigationBarBackIndicatorImage();
    static UIImage qd_navigationBarCloseImage();
    static UIImage qd_navigationBarDisclosureIndicatorImage();

    static QDBlurEffectStyle qd_standardBlurEffect();
};
