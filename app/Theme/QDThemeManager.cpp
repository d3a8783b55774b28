#include "app/Theme/QDThemeManager.h"

#include "app/Theme/QDShapeImage.h"
#include "app/Theme/QMUIConfigurationTemplateDark.h"
#include "platform/foundation/NoDestructor.h"

namespace {

UIColor opaqueRgb(int r, int g, int b)
{
    return UIColor(r / 255.0, g / 255.0, b / 255.0, 1);
}

using ThemeColour = std::optional<UIColor> (QMUIConfigurationTemplate::*)() const;

// The theme's own colour when it has one, else the light palette's.
UIColor themeColour(const QMUITheme& theme, ThemeColour colour, const UIColor& fallback)
{
    auto* owned = dynamic_cast<const QMUIConfigurationTemplate*>(theme.get());
    if (!owned)
        return fallback;
    return (owned->*colour)().value_or(fallback);
}

UIColor themeAware(ThemeColour colour, UIColor fallback)
{
    return qmui_colorWithThemeProvider(
        [colour, fallback](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme& theme) {
            return themeColour(theme, colour, fallback);
        });
}

bool isDark(const std::optional<std::string>& identifier)
{
    return identifier == QMUIConfigurationTemplateDark::name;
}

// The light palette, for themes that give no colours of their own.
const UIColor lightBackground = opaqueRgb(255, 255, 255);
const UIColor lightBackgroundLighten = opaqueRgb(246, 247, 249);
const UIColor lightBackgroundHighlighted = opaqueRgb(238, 239, 241);
const UIColor lightTint = opaqueRgb(49, 189, 243);
const UIColor lightTitleText = opaqueRgb(51, 51, 51);
const UIColor lightMainText = opaqueRgb(102, 102, 102);
const UIColor lightDescriptionText = opaqueRgb(153, 153, 153);
const UIColor lightPlaceholder = opaqueRgb(196, 200, 208);
const UIColor lightSeparator = opaqueRgb(222, 224, 226);

}

QDThemeManager& QDThemeManager::sharedInstance()
{
    // Never destroyed: colours handed out earlier may be drawn late in exit.
    static NoDestructor<QDThemeManager> manager;
    return *manager;
}

QMUITheme QDThemeManager::currentTheme()
{
    return QMUIThemeManagerCenter::defaultThemeManager().currentTheme();
}

QDThemeManager::QDThemeManager()
{
    using T = QMUIConfigurationTemplate;
    qd_backgroundColor = themeAware(&T::themeBackgroundColor, lightBackground);
    qd_backgroundColorLighten = themeAware(&T::themeBackgroundColorLighten, lightBackgroundLighten);
    qd_backgroundColorHighlighted
        = themeAware(&T::themeBackgroundColorHighlighted, lightBackgroundHighlighted);
    qd_tintColor = themeAware(&T::themeTintColor, lightTint);
    qd_titleTextColor = themeAware(&T::themeTitleTextColor, lightTitleText);
    qd_mainTextColor = themeAware(&T::themeMainTextColor, lightMainText);
    qd_descriptionTextColor = themeAware(&T::themeDescriptionTextColor, lightDescriptionText);
    qd_placeholderColor = themeAware(&T::themePlaceholderColor, lightPlaceholder);
    qd_codeColor = themeAware(&T::themeCodeColor, lightTint);
    qd_separatorColor = themeAware(&T::themeSeparatorColor, lightSeparator);
    // No theme supplies a grid tint: it follows the theme's tint.
    qd_gridItemTintColor = qmui_colorWithThemeProvider(
        [](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme& theme) {
            return themeColour(
                theme, &T::themeGridItemTintColor, themeColour(theme, &T::themeTintColor, lightTint));
        });

    qd_navigationBarBackgroundImage
        = QMUIThemeImage([](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme& theme) {
              return UIImage::filled(themeColour(theme, &T::themeTintColor, lightTint), { 4, 4 });
          });
    qd_navigationBarBackIndicatorImage
        = QDShapeImage::make(QDImageShape::navigationBack, { 12, 20 }, UIColor::white());
    qd_navigationBarCloseImage
        = QDShapeImage::make(QDImageShape::navigationClose, { 16, 16 }, UIColor::white());
    qd_navigationBarDisclosureIndicatorImage
        = QDShapeImage::make(QDImageShape::triangle, { 8, 5 }, std::nullopt)
              .withRenderingMode(UIImageRenderingMode::alwaysTemplate);
    qd_tableViewCellDisclosureIndicatorImage = QMUIThemeImage(
        [](QMUIThemeManager&, const std::optional<std::string>& identifier, const QMUITheme&) {
            UIColor colour = isDark(identifier) ? opaqueRgb(98, 100, 104) : opaqueRgb(173, 180, 190);
            return QDShapeImage::make(QDImageShape::disclosureIndicator, { 6, 10 }, colour, 1);
        });
    // Tinted with the manager's own tint, which resolves against the current theme.
    UIColor tint = qd_tintColor;
    qd_tableViewCellCheckmarkImage
        = QMUIThemeImage([tint](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme&) {
              return QDShapeImage::make(QDImageShape::checkmark, { 15, 12 }, tint);
          });
    qd_tableViewCellDetailButtonImage
        = QMUIThemeImage([tint](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme&) {
              return QDShapeImage::make(QDImageShape::detailButton, { 20, 20 }, tint);
          });
    qd_searchBarTextFieldBackgroundImage
        = QMUIThemeImage([](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme& theme) {
              return QDShapeImage::searchFieldBackground(
                  themeColour(theme, &T::themeBackgroundColorHighlighted, lightBackgroundHighlighted));
          });
    qd_searchBarBackgroundImage
        = QMUIThemeImage([](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme& theme) {
              return QDShapeImage::searchBarBackground(
                  themeColour(theme, &T::themeBackgroundColor, lightBackground), std::nullopt);
          });
    qd_standardBlueEffect = QMUIThemeValue<QDBlurEffectStyle>(
        [](QMUIThemeManager&, const std::optional<std::string>& identifier, const QMUITheme&) {
            return isDark(identifier) ? QDBlurEffectStyle::dark : QDBlurEffectStyle::light;
        });
}
