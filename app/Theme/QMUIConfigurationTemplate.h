#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <optional>
#include <string>

// The app's light theme: the appearance values of the component framework's configuration. It
// always applies itself when the configuration is first used (see QDUIHelper::registerAppearance,
// which registers it). The dark theme derives from it.
//
// The theme colours that QDThemeManager reads: the light template supplies none (every answer is
// "none"); the manager then uses its own light palette.
class QMUIConfigurationTemplate : public QMUIConfigurationTemplateProtocol {
public:
    // Writes the values into QMUIConfiguration::sharedInstance(), area by area.
    void applyConfigurationTemplate() override;
    bool shouldApplyTemplateAutomatically() override { return true; }

    virtual std::optional<UIColor> themeBackgroundColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeBackgroundColorLighten() const { return std::nullopt; }
    virtual std::optional<UIColor> themeBackgroundColorHighlighted() const { return std::nullopt; }
    virtual std::optional<UIColor> themeTintColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeTitleTextColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeMainTextColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeDescriptionTextColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themePlaceholderColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeCodeColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeSeparatorColor() const { return std::nullopt; }
    virtual std::optional<UIColor> themeGridItemTintColor() const { return std::nullopt; }
    virtual std::string themeName() const { return {}; }

private:
    void applyGlobalColours(QMUIConfiguration& config) const;
    void applyControls(QMUIConfiguration& config) const;
    void applyNavigationBar(QMUIConfiguration& config) const;
    void applyBars(QMUIConfiguration& config) const;
    void applyTables(QMUIConfiguration& config) const;
    void applyBadgesAndOthers(QMUIConfiguration& config) const;
};
