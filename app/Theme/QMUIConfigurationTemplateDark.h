#pragma once

#include "app/Theme/QMUIConfigurationTemplate.h"

// The app's dark theme, named "Dark": the light values with eight overrides, and the dark theme
// colours. Asked at the configuration's first use, it registers itself with the default theme
// manager and applies itself (becoming the current theme) only when the stored identifier under
// "selectedThemeIdentifier" is "Dark".
class QMUIConfigurationTemplateDark : public QMUIConfigurationTemplate {
public:
    static constexpr const char* name = "Dark";
    static constexpr const char* selectedThemeIdentifierKey = "selectedThemeIdentifier";

    void applyConfigurationTemplate() override;
    bool shouldApplyTemplateAutomatically() override;

    std::optional<UIColor> themeBackgroundColor() const override;
    std::optional<UIColor> themeBackgroundColorLighten() const override;
    std::optional<UIColor> themeBackgroundColorHighlighted() const override;
    std::optional<UIColor> themeTintColor() const override;
    std::optional<UIColor> themeTitleTextColor() const override;
    std::optional<UIColor> themeMainTextColor() const override;
    std::optional<UIColor> themeDescriptionTextColor() const override;
    std::optional<UIColor> themePlaceholderColor() const override;
    std::optional<UIColor> themeCodeColor() const override;
    std::optional<UIColor> themeSeparatorColor() const override;
    std::string themeName() const override { return name; }
};
