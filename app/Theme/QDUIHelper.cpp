#include "app/Theme/QDUIHelper.h"

#include "app/Theme/QDTheme.h"
#include "app/Theme/QMUIConfigurationTemplateDark.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "platform/ui/qmui/QMUIPopupContainerView.h"
#include "platform/ui/qmui/QMUIPopupMenuView.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace {

using Provider = QMUIThemeProvider<UIColor>;

bool isDarkIdentifier(const std::optional<std::string>& identifier)
{
    return identifier == QMUIConfigurationTemplateDark::name;
}

UIColor configured(const std::optional<UIColor>& value, const UIColor& fallback)
{
    return value.value_or(fallback);
}

std::shared_ptr<UIViewController> topPresentedController()
{
    auto window = UIApplication::shared().keyWindow();
    auto top = window ? window->rootViewController() : nullptr;
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top;
}

std::string formatted(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}

void QDUIHelper::registerAppearance()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QMUIConfiguration::registerTemplateClass(
        "QMUIConfigurationTemplate", [] { return std::make_shared<QMUIConfigurationTemplate>(); });
    QMUIConfiguration::registerTemplateClass(
        "QMUIConfigurationTemplateDark", [] { return std::make_shared<QMUIConfigurationTemplateDark>(); });
    // A double tap on a button must not run its action twice (push twice, send twice).
    UIControl::setRepeatedTouchUpRule(
        [](const UIControl& control) { return dynamic_cast<const QMUIButton*>(&control) != nullptr; });
    UIBarButtonItem::setRepeatedTouchUpRule([](const UIBarButtonItem&) { return true; });
}

void QDUIHelper::customPopupAppearance()
{
    auto& popup = QMUIPopupContainerView::appearance();
    popup.backgroundColor = QDTheme::qd_backgroundColor();
    popup.borderColor = QDTheme::qd_separatorColor();
    popup.maskViewBackgroundColor = qmui_colorWithThemeProvider(
        [](QMUIThemeManager&, const std::optional<std::string>& identifier, const QMUITheme&) {
            const auto& config = QMUIConfiguration::sharedInstance();
            return isDarkIdentifier(identifier) ? configured(config.maskDarkColor, UIColor(0, 0, 0, 0.35))
                                                : configured(config.maskLightColor, UIColor(1, 1, 1, 0.5));
        });
    auto& menu = QMUIPopupMenuView::appearance();
    menu.itemSeparatorColor = QDTheme::qd_separatorColor();
    menu.sectionSeparatorColor = QDTheme::qd_separatorColor();
    menu.itemTitleColor = QDTheme::qd_tintColor();
}

std::shared_ptr<UITabBarItem> QDUIHelper::tabBarItemWithTitle(
    std::string title, std::optional<UIImage> image, std::optional<UIImage> selectedImage, int tag)
{
    auto item = std::make_shared<UITabBarItem>(std::move(title), std::move(image), tag);
    item->setSelectedImage(std::move(selectedImage));
    return item;
}

std::shared_ptr<QMUIButton> QDUIHelper::generateDarkFilledButton()
{
    const auto& config = QMUIConfiguration::sharedInstance();
    auto button = UIView::create<QMUIButton>(CGRect { 0, 0, 200, 40 });
    button->setAdjustsButtonWhenHighlighted(true);
    button->setFont(UIFont::boldSystemFont(14));
    button->setTitleColor(configured(config.whiteColor, UIColor::white()));
    button->setBackgroundColor(QDTheme::qd_tintColor());
    const UIColor black = configured(config.blackColor, UIColor::black());
    button->setHighlightedBackgroundColor(qmui_transitionToColor(QDTheme::qd_tintColor(), black, 0.15));
    button->setCornerRadius(4);
    return button;
}

std::shared_ptr<QMUIButton> QDUIHelper::generateLightBorderedButton()
{
    auto button = UIView::create<QMUIButton>(CGRect { 0, 0, 200, 40 });
    button->setFont(UIFont::boldSystemFont(14));
    button->setTintColorAdjustsTitleAndImage(QDTheme::qd_tintColor());
    auto towardsBackground = [](CGFloat progress) {
        return qmui_colorWithThemeProvider([progress](QMUIThemeManager&, const auto&, const QMUITheme&) {
            return qmui_transitionToColor(QDTheme::qd_tintColor(), QDTheme::qd_backgroundColor(), progress);
        });
    };
    UIColor background = towardsBackground(0.9);
    button->setBackgroundColor(background);
    button->setHighlightedBackgroundColor(towardsBackground(0.75));
    // Fixed when built; the highlighted border follows the theme.
    button->layer()->setBorderColor(qmui_transitionToColor(background, QDTheme::qd_tintColor(), 0.5));
    button->layer()->setBorderWidth(1);
    button->setCornerRadius(4);
    button->setHighlightedBorderColor(qmui_colorWithThemeProvider(
        [background](QMUIThemeManager&, const std::optional<std::string>&, const QMUITheme&) {
            return qmui_transitionToColor(background, QDTheme::qd_tintColor(), 0.9);
        }));
    return button;
}

std::shared_ptr<QMUIButton> QDUIHelper::generateGhostButtonWithColor(const UIColor& color)
{
    auto button = UIView::create<QMUIButton>();
    button->setTitleColor(color);
    button->layer()->setBorderColor(color);
    button->layer()->setBorderWidth(1);
    button->setCornerRadius(QMUIButtonCornerRadiusAdjustsBounds);
    return button;
}

const QDUIHelper::Emotions& QDUIHelper::qmuiEmotions()
{
    static const Emotions emotions = [] {
        // Entries "number-[name]": the picture is "emotion_<number>", the text the name.
        constexpr std::string_view text
            = "01-[微笑];02-[开心];03-[生气];04-[委屈];05-[亲亲];06-[坏笑];07-[鄙视];08-[啊]";
        Emotions list;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = std::min(text.find(';', start), text.size());
            std::string_view entry = text.substr(start, end - start);
            std::size_t dash = entry.find('-');
            list.push_back(QMUIEmotion::emotionWithIdentifier("emotion_" + std::string(entry.substr(0, dash)),
                std::string(entry.substr(entry.rfind('-') + 1))));
            start = end + 1;
        }
        return list;
    }();
    static bool loading = [] {
        asyncLoadImages(emotions);
        return true;
    }();
    (void)loading;
    return emotions;
}

void QDUIHelper::asyncLoadImages(const Emotions& emotions)
{
    // The tint is worked out here: the theme belongs to the main thread.
    const auto rgba = QDTheme::qd_tintColor().rgba();
    const UIColor tint(rgba.red, rgba.green, rgba.blue, rgba.alpha);
    std::vector<std::weak_ptr<QMUIEmotion>> targets;
    std::vector<std::string> names;
    for (const auto& emotion : emotions) {
        if (!emotion)
            continue;
        targets.push_back(emotion);
        names.push_back(emotion->identifier());
    }
    // Loads run side by side; only the latest one's pictures are kept, so an older tint that
    // finishes late does not win.
    static unsigned latestLoad = 0;
    const unsigned load = ++latestLoad;
    DispatchQueue::global().async([targets = std::move(targets), names = std::move(names), tint, load] {
        std::vector<std::optional<UIImage>> images;
        for (const auto& name : names) {
            auto image = UIImage::named(name);
            images.push_back(image ? std::optional(image->withTintColor(tint)) : std::nullopt);
        }
        DispatchQueue::main().async([targets, images = std::move(images), load] {
            if (load != latestLoad)
                return;
            for (std::size_t i = 0; i < targets.size(); ++i) {
                if (auto emotion = targets[i].lock())
                    emotion->setImage(images[i]);
            }
        });
    });
}

void QDUIHelper::updateEmotionImages()
{
    asyncLoadImages(qmuiEmotions());
}

void QDUIHelper::showAlertWhenSavedPhotoFailureByPermissionDenied()
{
    const auto& bundle = Bundle::main();
    std::string appName = bundle.infoString("CFBundleDisplayName").value_or("");
    if (appName.empty())
        appName = bundle.infoString("CFBundleName").value_or("");
    auto alert = UIAlertController::make("无法保存",
        "请在设备的\"设置-隐私-照片\"选项中，允许" + appName + "访问你的手机相册",
        UIAlertControllerStyle::alert);
    alert->addAction(UIAlertAction::make("我知道了", UIAlertActionStyle::cancel));
    if (auto top = topPresentedController())
        top->present(alert, true);
}

std::string QDUIHelper::humanReadableFileSize(std::int64_t bytes)
{
    // Single precision on purpose: the texts match the phone's rounding.
    const float value = static_cast<float>(bytes);
    if (bytes >= 1024 * 1024)
        return formatted("%.2fM", value / 1048576.0f);
    if (bytes < 1024)
        return formatted("%.2fB", value);
    return formatted("%.2fK", value / 1024.0f);
}

UIImage QDUIHelper::navigationBarBackgroundImageWithThemeColor(const std::optional<UIColor>& color)
{
    const auto& config = QMUIConfiguration::sharedInstance();
    const UIColor top = color ? *color : configured(config.clearColor, UIColor(1, 1, 1, 0));
    const UIColor bottom = qmui_colorWithAlphaAddedToWhite(top, 0.86);
    const CGSize size { 4, 88 };
    UIGraphicsImageRendererFormat format;
    format.opaque = true;
    return UIGraphicsImageRenderer(size, format).image([&](CGContext& context) {
        context.drawLinearGradient({ top, bottom }, {}, { 0, 0 }, { 0, size.height });
    });
}

void QDUIHelper::enumerateCodeString(std::string_view text, const CodeStringBlock& block)
{
    if (!block)
        return;
    static const std::regex pattern(
        R"(\[?[A-Za-z0-9_.\(]+\s?[A-Za-z0-9_:.\)]+\]?)", std::regex::ECMAScript | std::regex::icase);
    for (std::cregex_iterator it(text.data(), text.data() + text.size(), pattern), end; it != end; ++it) {
        const auto& match = *it;
        if (match.length() == 0)
            continue;
        auto offset = static_cast<std::size_t>(match.position());
        auto length = static_cast<std::size_t>(match.length());
        block(text.substr(offset, length), offset, length);
    }
}
