#include "platform/ui/qmui/QMUIThemeManager.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/qmui/QMUIBarAppearance.h"
#include "platform/ui/qmui/QMUIHelper.h"

#include <algorithm>

namespace {

std::vector<std::unique_ptr<QMUIThemeManager>>& managers()
{
    static std::vector<std::unique_ptr<QMUIThemeManager>> all;
    return all;
}

UITraitCollection mainWindowTraits()
{
    auto& app = UIApplication::shared();
    std::shared_ptr<UIWindow> window;
    if (auto delegate = app.delegate())
        window = delegate->window();
    if (!window)
        window = app.keyWindow();
    return window ? window->traitCollection() : UIScreen::main().traitCollection();
}

}

QMUIThemeManager::QMUIThemeManager(std::string name)
    : m_name(std::move(name))
{ }

void QMUIThemeManager::addThemeIdentifier(const std::string& identifier, QMUITheme theme)
{
    if (!theme)
        return;
    auto it = std::find_if(
        m_themes.begin(), m_themes.end(), [&](const auto& t) { return t.first == identifier; });
    if (it != m_themes.end())
        it->second = theme;
    else
        m_themes.emplace_back(identifier, theme);
    if (m_currentIdentifier == identifier)
        m_currentTheme = std::move(theme);
}

void QMUIThemeManager::removeThemeIdentifier(const std::string& identifier)
{
    std::erase_if(m_themes, [&](const auto& t) { return t.first == identifier; });
}

std::vector<std::string> QMUIThemeManager::themeIdentifiers() const
{
    std::vector<std::string> ids;
    for (const auto& t : m_themes)
        ids.push_back(t.first);
    return ids;
}

QMUITheme QMUIThemeManager::themeForIdentifier(const std::string& identifier)
{
    for (const auto& t : m_themes) {
        if (t.first == identifier)
            return t.second;
    }
    if (!themeGenerator)
        return nullptr;
    QMUITheme theme = themeGenerator(identifier);
    if (theme)
        addThemeIdentifier(identifier, theme);
    return theme;
}

std::optional<std::string> QMUIThemeManager::identifierForTheme(const QMUITheme& theme) const
{
    for (const auto& t : m_themes) {
        if (t.second == theme)
            return t.first;
    }
    return std::nullopt;
}

bool QMUIThemeManager::setCurrentThemeIdentifier(const std::string& identifier)
{
    if (m_currentIdentifier == identifier && m_currentTheme)
        return true;
    QMUITheme theme = themeForIdentifier(identifier);
    if (!theme) {
        Log::write("QMUIThemeManager: no theme for identifier \"" + identifier + "\"");
        return false;
    }
    changeCurrent(identifier, std::move(theme));
    return true;
}

bool QMUIThemeManager::setCurrentTheme(const QMUITheme& theme)
{
    auto identifier = identifierForTheme(theme);
    if (!theme || !identifier) {
        Log::write("QMUIThemeManager: the theme is not registered");
        return false;
    }
    if (m_currentTheme == theme)
        return true;
    changeCurrent(std::move(identifier), theme);
    return true;
}

void QMUIThemeManager::changeCurrent(std::optional<std::string> identifier, QMUITheme theme)
{
    m_currentIdentifier = std::move(identifier);
    m_currentTheme = std::move(theme);
    NotificationCenter::defaultCenter().post(QMUIThemeDidChangeNotification, std::any(this));
    // The observers have rewritten the configuration for the new theme: the bars on screen take
    // it (not while the initial templates, which choose the first theme, are still applying).
    if (m_name == QMUIThemeManagerNameDefault && QMUIHelper::canUpdateAppearance())
        QMUIBarAppearance::updateVisibleBars();
}

void QMUIThemeManager::setRespondsSystemStyleAutomatically(bool responds)
{
    m_respondsSystemStyle = responds;
    if (responds)
        userInterfaceStyleDidChange(mainWindowTraits());
}

void QMUIThemeManager::userInterfaceStyleDidChange(const UITraitCollection& traits)
{
    if (!m_respondsSystemStyle || !identifierForTrait)
        return;
    setCurrentThemeIdentifier(identifierForTrait(traits));
}

UIColor QMUIThemeManager::colorWithThemeProvider(QMUIThemeProvider<UIColor> provider)
{
    if (!provider)
        return {};
    return UIColor::provided([this, provider = std::move(provider)] {
        return provider(*this, m_currentIdentifier, m_currentTheme);
    });
}

// ---- Center ----

QMUIThemeManager& QMUIThemeManagerCenter::defaultThemeManager()
{
    return themeManagerWithName(QMUIThemeManagerNameDefault);
}

QMUIThemeManager& QMUIThemeManagerCenter::themeManagerWithName(const std::string& name)
{
    auto& all = managers();
    for (const auto& m : all) {
        if (m->name() == name)
            return *m;
    }
    all.push_back(std::make_unique<QMUIThemeManager>(name));
    return *all.back();
}

std::vector<QMUIThemeManager*> QMUIThemeManagerCenter::themeManagers()
{
    std::vector<QMUIThemeManager*> out;
    for (const auto& m : managers())
        out.push_back(m.get());
    return out;
}

void QMUIThemeManagerCenter::resetForTesting()
{
    // The objects stay (colours made earlier point at them); only their state goes.
    for (const auto& m : managers()) {
        m->themeGenerator = nullptr;
        m->identifierForTrait = nullptr;
        m->setRespondsSystemStyleAutomatically(false);
        for (const auto& id : m->themeIdentifiers())
            m->removeThemeIdentifier(id);
        m->m_currentIdentifier.reset();
        m->m_currentTheme.reset();
    }
}

UIColor qmui_colorWithThemeProvider(QMUIThemeProvider<UIColor> provider)
{
    return QMUIThemeManagerCenter::defaultThemeManager().colorWithThemeProvider(std::move(provider));
}
