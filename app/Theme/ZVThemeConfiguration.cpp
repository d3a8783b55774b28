#include "app/Theme/ZVThemeConfiguration.h"

#include "app/Theme/QDCommonUI.h"
#include "app/Theme/QDThemeManager.h"
#include "app/Theme/QDUIHelper.h"
#include "app/Theme/QMUIConfigurationTemplateDark.h"
#include "platform/foundation/NoDestructor.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/qmui/QMUIHelper.h"

ZVThemeConfiguration& ZVThemeConfiguration::share()
{
    static NoDestructor<ZVThemeConfiguration> configuration;
    return *configuration;
}

QMUITheme ZVThemeConfiguration::themeForIdentifier(const std::string& identifier)
{
    if (identifier == defaultIdentifier)
        return std::make_shared<QMUIConfigurationTemplate>();
    if (identifier == QMUIConfigurationTemplateDark::name)
        return std::make_shared<QMUIConfigurationTemplateDark>();
    return nullptr;
}

std::string ZVThemeConfiguration::identifierForTrait(const UITraitCollection& traits)
{
    return traits.userInterfaceStyle == UIUserInterfaceStyle::dark ? QMUIConfigurationTemplateDark::name
                                                                   : defaultIdentifier;
}

void ZVThemeConfiguration::setupTheme()
{
    if (!m_observer) {
        m_observer = NotificationCenter::defaultCenter().addObserver(
            QMUIThemeDidChangeNotification,
            [this](const Notification& notification) { handleThemeDidChange(notification); }, this);
    }
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    manager.themeGenerator = &ZVThemeConfiguration::themeForIdentifier;
    if (!manager.currentThemeIdentifier())
        return;
    manager.identifierForTrait = &ZVThemeConfiguration::identifierForTrait;
    manager.setRespondsSystemStyleAutomatically(true);
}

void ZVThemeConfiguration::resetForTesting()
{
    if (m_observer)
        NotificationCenter::defaultCenter().removeObserver(*m_observer);
    m_observer.reset();
}

void ZVThemeConfiguration::handleThemeDidChange(const Notification& notification)
{
    auto* const* manager = std::any_cast<QMUIThemeManager*>(&notification.object);
    if (!manager || !*manager || (*manager)->name() != QMUIThemeManagerNameDefault)
        return;
    if (auto identifier = (*manager)->currentThemeIdentifier())
        UserDefaults::standard().set(
            PropertyList(*identifier), QMUIConfigurationTemplateDark::selectedThemeIdentifierKey);
    if (auto theme = QDThemeManager::currentTheme())
        theme->applyConfigurationTemplate();
    if (QMUIHelper::canUpdateAppearance()) {
        QDCommonUI::renderGlobalAppearances();
        QDUIHelper::updateEmotionImages();
    }
}
