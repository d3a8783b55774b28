#include "app/Theme/QDCommonUI.h"

#include "app/Theme/QDUIHelper.h"
#include "app/Theme/QMUIConfigurationTemplateDark.h"
#include "platform/foundation/SecureRandom.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUIThemeManager.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::size_t slotCount = static_cast<std::size_t>(QDAppearanceSlot::navigationTitleView) + 1;

// Framework labels made afterwards highlight in the table cells' selected colour.
void customLabelAppearance()
{
    QMUILabel::appearance().highlightedBackgroundColor
        = QMUIConfiguration::sharedInstance().tableViewCellSelectedBackgroundColor;
}

std::array<std::function<void()>, slotCount>& customisers()
{
    static std::array<std::function<void()>, slotCount> slots = [] {
        std::array<std::function<void()>, slotCount> built;
        built[static_cast<std::size_t>(QDAppearanceSlot::alertController)]
            = &QDUIHelper::customAlertControllerAppearance;
        built[static_cast<std::size_t>(QDAppearanceSlot::popup)] = &QDUIHelper::customPopupAppearance;
        built[static_cast<std::size_t>(QDAppearanceSlot::label)] = &customLabelAppearance;
        return built;
    }();
    return slots;
}

}

void QDCommonUI::renderGlobalAppearances()
{
    // A copy: a customiser may install another while they run.
    auto slots = customisers();
    for (const auto& customiser : slots) {
        if (customiser)
            customiser();
    }
}

void QDCommonUI::setAppearanceCustomiser(QDAppearanceSlot slot, std::function<void()> customiser)
{
    customisers()[static_cast<std::size_t>(slot)] = std::move(customiser);
}

UIStatusBarStyle QDCommonUI::searchControllerStatusBarStyle()
{
    const auto& identifier = QMUIThemeManagerCenter::defaultThemeManager().currentThemeIdentifier();
    return identifier == QMUIConfigurationTemplateDark::name ? UIStatusBarStyle::lightContent
                                                             : UIStatusBarStyle::darkContent;
}

UIColor QDCommonUI::randomThemeColor()
{
    static const std::array<unsigned, 10> colours { 0xEF5362, 0xFE6D4B, 0xFFCF47, 0x9FD661, 0x3FD0AD,
        0x065CD0, 0x5A9AEF, 0xAC8FEF, 0xEE85C1, 0x27C0F3 };
    unsigned value = colours[SecureRandom::uniform(colours.size())];
    return UIColor(((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0, 1);
}

std::shared_ptr<CALayer> QDCommonUI::generateSeparatorLayer()
{
    auto layer = CALayer::make();
    layer->setBackgroundColor(QMUIConfiguration::sharedInstance().separatorColor);
    return layer;
}
