#include "app/Theme/QMUIConfigurationTemplateDark.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/ui/qmui/QMUIThemeManager.h"

namespace {

UIColor hex(unsigned value)
{
    return UIColor(((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0, 1);
}

UIColor separatorColour()
{
    return hex(0x2E3236);
}

}

void QMUIConfigurationTemplateDark::applyConfigurationTemplate()
{
    // The light values first, so the result does not depend on which template applied first.
    QMUIConfigurationTemplate::applyConfigurationTemplate();
    auto& c = QMUIConfiguration::sharedInstance();
    c.keyboardAppearance = QMUIConfiguration::KeyboardAppearance::dark;
    c.navBarBackgroundImage = std::nullopt;
    c.navBarStyle = QMUIConfiguration::BarStyle::black;
    c.tabBarBackgroundImage = std::nullopt;
    // Theme-aware like the framework's other colours, though this template's separator is fixed.
    auto separator = [] {
        return qmui_colorWithThemeProvider([](QMUIThemeManager&, const std::optional<std::string>&,
                                               const QMUITheme&) { return separatorColour(); });
    };
    c.tabBarShadowImageColor = separator();
    c.tabBarStyle = QMUIConfiguration::BarStyle::black;
    c.toolBarShadowImageColor = separator();
    c.toolBarStyle = QMUIConfiguration::BarStyle::black;
}

bool QMUIConfigurationTemplateDark::shouldApplyTemplateAutomatically()
{
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    manager.addThemeIdentifier(themeName(), shared_from_this());
    auto stored = UserDefaults::standard().stringForKey(selectedThemeIdentifierKey);
    bool selected = stored && *stored == name;
    if (selected)
        manager.setCurrentTheme(shared_from_this());
    return selected;
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeBackgroundColor() const
{
    return QMUIConfiguration::sharedInstance().blackColor.value_or(UIColor::black());
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeBackgroundColorLighten() const
{
    return hex(0x1C1C1E);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeBackgroundColorHighlighted() const
{
    return hex(0x303133);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeTintColor() const
{
    return hex(0x27C0F3);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeTitleTextColor() const
{
    return hex(0xDADCE0);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeMainTextColor() const
{
    return hex(0xB2B4B8);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeDescriptionTextColor() const
{
    return hex(0x76787C);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themePlaceholderColor() const
{
    return hex(0x4E5054);
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeCodeColor() const
{
    return themeTintColor();
}

std::optional<UIColor> QMUIConfigurationTemplateDark::themeSeparatorColor() const
{
    return separatorColour();
}
