#include "app/Theme/QDTheme.h"

namespace {

QDThemeManager& manager()
{
    return QDThemeManager::sharedInstance();
}

}

UIColor QDTheme::qd_backgroundColor()
{
    return manager().qd_backgroundColor;
}

UIColor QDTheme::qd_backgroundColorLighten()
{
    return manager().qd_backgroundColorLighten;
}

UIColor QDTheme::qd_backgroundColorHighlighted()
{
    return manager().qd_backgroundColorHighlighted;
}

UIColor QDTheme::qd_tintColor()
{
    return manager().qd_tintColor;
}

UIColor QDTheme::qd_titleTextColor()
{
    return manager().qd_titleTextColor;
}

UIColor QDTheme::qd_mainTextColor()
{
    return manager().qd_mainTextColor;
}

UIColor QDTheme::qd_descriptionTextColor()
{
    return manager().qd_descriptionTextColor;
}

UIColor QDTheme::qd_placeholderColor()
{
    return manager().qd_placeholderColor;
}

UIColor QDTheme::qd_codeColor()
{
    return manager().qd_codeColor;
}

UIColor QDTheme::qd_separatorColor()
{
    return manager().qd_separatorColor;
}

UIColor QDTheme::qd_gridItemTintColor()
{
    return manager().qd_gridItemTintColor;
}

UIImage QDTheme::qd_navigationBarBackgroundImage()
{
    return manager().qd_navigationBarBackgroundImage.resolved();
}

UIImage QDTheme::qd_tableViewCellDisclosureIndicatorImage()
{
    return manager().qd_tableViewCellDisclosureIndicatorImage.resolved();
}

UIImage QDTheme::qd_tableViewCellCheckmarkImage()
{
    return manager().qd_tableViewCellCheckmarkImage.resolved();
}

UIImage QDTheme::qd_tableViewCellDetailButtonImage()
{
    return manager().qd_tableViewCellDetailButtonImage.resolved();
}

UIImage QDTheme::qd_searchBarTextFieldBackgroundImage()
{
    return manager().qd_searchBarTextFieldBackgroundImage.resolved();
}

UIImage QDTheme::qd_searchBarBackgroundImage()
{
    return manager().qd_searchBarBackgroundImage.resolved();
}

UIImage QDTheme::qd_navigationBarBackIndicatorImage()
{
    return manager().qd_navigationBarBackIndicatorImage;
}

UIImage QDTheme::qd_navigationBarCloseImage()
{
    return manager().qd_navigationBarCloseImage;
}

UIImage QDTheme::qd_navigationBarDisclosureIndicatorImage()
{
    return manager().qd_navigationBarDisclosureIndicatorImage;
}

QDBlurEffectStyle QDTheme::qd_standardBlurEffect()
{
    return manager().qd_standardBlueEffect.resolved();
}
