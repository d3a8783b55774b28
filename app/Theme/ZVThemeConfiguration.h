#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UITraitCollection.h"
#include "platform/ui/qmui/QMUIThemeManager.h"

#include <optional>
#include <string>

// Switches between the app's themes at run time: makes the template of an identifier ("Default"
// light, "Dark" dark), follows the system's light or dark style once a theme has been chosen, and
// on every change of the default manager's theme stores its identifier under
// "selectedThemeIdentifier", reapplies its configuration and re-renders the global appearances
// and the emotions' pictures.
// Nothing runs until setupTheme() is called. Main thread.
class ZVThemeConfiguration {
public:
    static constexpr const char* defaultIdentifier = "Default";

    static ZVThemeConfiguration& share();

    ZVThemeConfiguration(const ZVThemeConfiguration&) = delete;
    ZVThemeConfiguration& operator=(const ZVThemeConfiguration&) = delete;

    // Observes the theme changes (once, however often it is called), installs the identifier
    // table as the default manager's generator and, when that manager already has a current
    // identifier, makes it follow the system style.
    void setupTheme();
    // Tests: stop observing.
    void resetForTesting();

    // The template for an identifier; nullptr for an unknown one.
    static QMUITheme themeForIdentifier(const std::string& identifier);
    // "Dark" for the dark style, "Default" for any other.
    static std::string identifierForTrait(const UITraitCollection& traits);

private:
    template<typename T> friend class NoDestructor;
    ZVThemeConfiguration() = default;

    void handleThemeDidChange(const Notification& notification);

    std::optional<NotificationCenter::Token> m_observer;
};
