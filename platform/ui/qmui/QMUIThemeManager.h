#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UITraitCollection.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Posted on the default notification centre when a theme manager's current theme changes; the
// object is the manager (QMUIThemeManager*).
inline constexpr const char* QMUIThemeDidChangeNotification = "QMUIThemeDidChangeNotification";
// Name of the default manager.
inline constexpr const char* QMUIThemeManagerNameDefault = "default";

// A theme is the template object that describes it.
using QMUITheme = std::shared_ptr<QMUIConfigurationTemplateProtocol>;

class QMUIThemeManager;

// What a theme-aware value is made from: the manager, its current identifier and theme (either
// may be missing before a theme is chosen).
template<typename T>
using QMUIThemeProvider = std::function<T(
    QMUIThemeManager&, const std::optional<std::string>& identifier, const QMUITheme& theme)>;

// Themes by identifier and the current one. Changing the current theme posts
// QMUIThemeDidChangeNotification; theme-aware colours and values made by a manager resolve
// against its current theme each time they are read, so nothing needs rebuilding. After the
// default manager's change has been posted, the bars on screen take the configuration again
// (QMUIBarAppearance). Main thread.
class QMUIThemeManager {
public:
    explicit QMUIThemeManager(std::string name);
    QMUIThemeManager(const QMUIThemeManager&) = delete;
    QMUIThemeManager& operator=(const QMUIThemeManager&) = delete;

    const std::string& name() const { return m_name; }

    // ---- Themes ----
    // Registers (or replaces) the theme of an identifier. Registering does not change the current
    // theme, unless it replaces the current identifier's theme object.
    void addThemeIdentifier(const std::string& identifier, QMUITheme theme);
    void removeThemeIdentifier(const std::string& identifier);
    std::vector<std::string> themeIdentifiers() const;
    // The registered theme, else the generator's (which is then registered), else nothing.
    QMUITheme themeForIdentifier(const std::string& identifier);
    std::optional<std::string> identifierForTheme(const QMUITheme& theme) const;
    // Makes a theme for an identifier that has none registered (nullptr: none).
    std::function<QMUITheme(const std::string& identifier)> themeGenerator;

    // ---- Current theme ----
    const std::optional<std::string>& currentThemeIdentifier() const { return m_currentIdentifier; }
    const QMUITheme& currentTheme() const { return m_currentTheme; }
    // Refused (returns false, nothing changes) for an identifier without a theme. Setting the
    // current identifier again does nothing and posts nothing.
    bool setCurrentThemeIdentifier(const std::string& identifier);
    // Refused for a theme that is not registered.
    bool setCurrentTheme(const QMUITheme& theme);

    // ---- Following the light or dark style ----
    std::function<std::string(const UITraitCollection&)> identifierForTrait;
    bool respondsSystemStyleAutomatically() const { return m_respondsSystemStyle; }
    // Turning it on switches at once to the identifier for the traits of the application's main
    // window (the delegate's, else the key window, else the screen).
    void setRespondsSystemStyleAutomatically(bool responds);
    // The traits of the main window changed: with the rule on, switch to its identifier.
    void userInterfaceStyleDidChange(const UITraitCollection& traits);

    // ---- Theme-aware values ----
    // A colour that asks the provider on every read, with this manager's current theme.
    UIColor colorWithThemeProvider(QMUIThemeProvider<UIColor> provider);

private:
    friend class QMUIThemeManagerCenter;
    void changeCurrent(std::optional<std::string> identifier, QMUITheme theme);

    std::string m_name;
    std::vector<std::pair<std::string, QMUITheme>> m_themes;
    std::optional<std::string> m_currentIdentifier;
    QMUITheme m_currentTheme;
    bool m_respondsSystemStyle = false;
};

// The process's theme managers by name; they live until the end of the process.
class QMUIThemeManagerCenter {
public:
    static QMUIThemeManager& defaultThemeManager();
    // The manager of that name, made on first use.
    static QMUIThemeManager& themeManagerWithName(const std::string& name);
    static std::vector<QMUIThemeManager*> themeManagers();

    // Tests: every manager forgets its themes, current theme, generator and rules.
    static void resetForTesting();
};

// A colour of the default manager's current theme, worked out on every read.
UIColor qmui_colorWithThemeProvider(QMUIThemeProvider<UIColor> provider);

// Any other theme-aware value (images, effects): resolved() asks the provider with the manager's
// current theme each time. An empty value resolves to T{}.
template<typename T> class QMUIThemeValue {
public:
    QMUIThemeValue() = default;
    explicit QMUIThemeValue(QMUIThemeProvider<T> provider, QMUIThemeManager* manager = nullptr)
        : m_provider(std::move(provider))
        , m_manager(manager ? manager : &QMUIThemeManagerCenter::defaultThemeManager())
    { }

    explicit operator bool() const { return static_cast<bool>(m_provider); }
    T resolved() const
    {
        if (!m_provider)
            return T {};
        return m_provider(*m_manager, m_manager->currentThemeIdentifier(), m_manager->currentTheme());
    }

private:
    QMUIThemeProvider<T> m_provider;
    QMUIThemeManager* m_manager = nullptr;
};

using QMUIThemeImage = QMUIThemeValue<UIImage>;
