#include "platform/ui/qmui/QMUINavigationController.h"

#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

#include <functional>

QMUINavigationController::QMUINavigationController() = default;

QMUINavigationController::QMUINavigationController(std::shared_ptr<UIViewController> root)
    : UINavigationController(std::move(root))
{ }

void QMUINavigationController::updateNavigationBarAppearance(bool animated)
{
    applyAppearance(topViewController().get(), animated);
}

void QMUINavigationController::viewWillAppear(bool animated)
{
    UINavigationController::viewWillAppear(animated);
    updateNavigationBarAppearance(false);
}

void QMUINavigationController::willShowViewController(UIViewController& controller, bool animated)
{
    UINavigationController::willShowViewController(controller, animated);
    applyAppearance(&controller, animated);
}

void QMUINavigationController::applyAppearance(const UIViewController* top, bool animated)
{
    const auto* screen = dynamic_cast<const QMUINavigationControllerAppearanceDelegate*>(top);
    const QMUINavigationControllerAppearanceDelegate& self = *this;
    // The first answer of the screen, then of this controller.
    auto answer = [&](auto hook) {
        auto value = screen ? std::invoke(hook, *screen) : decltype(std::invoke(hook, self)) {};
        return value ? value : std::invoke(hook, self);
    };
    using D = QMUINavigationControllerAppearanceDelegate;
    auto& config = QMUIConfiguration::sharedInstance();
    UINavigationBar& bar = navigationBar();

    bool hidden = answer(&D::preferredNavigationBarHidden).value_or(config.navigationBarHiddenInitially);
    if (hidden != isNavigationBarHidden())
        setNavigationBarHidden(hidden, animated);

    bar.setBarStyle(config.navBarStyle);

    auto background = answer(&D::qmui_navigationBarBackgroundImage);
    bar.setBackgroundImage(background ? background : config.navBarBackgroundImage);

    auto shadow = answer(&D::qmui_navigationBarShadowImage);
    if (!shadow)
        shadow = config.navBarShadowImage;
    if (!shadow && config.navBarShadowImageColor)
        shadow = qmui_imageWithColor(*config.navBarShadowImageColor, { 4, 1 });
    bar.setShadowImage(shadow);

    auto barTint = answer(&D::qmui_navigationBarBarTintColor);
    bar.setBarTintColor(barTint ? barTint : config.navBarBarTintColor);

    auto tint = answer(&D::qmui_navigationBarTintColor);
    bar.setTintColor(tint ? tint : config.navBarTintColor);

    UINavigationBarTitleTextAttributes title = bar.titleTextAttributes();
    auto titleColor = answer(&D::qmui_titleViewTintColor);
    title.foregroundColor = titleColor ? titleColor : config.navBarTitleColor;
    if (config.navBarTitleFont)
        title.font = config.navBarTitleFont;
    bar.setTitleTextAttributes(title);

    if (config.navBarBackIndicatorImage)
        bar.setBackIndicatorImage(config.navBarBackIndicatorImage);
}
