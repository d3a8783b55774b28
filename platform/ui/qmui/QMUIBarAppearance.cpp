#include "platform/ui/qmui/QMUIBarAppearance.h"

#include "platform/ui/UIApplication.h"
#include "platform/ui/UITabBar.h"
#include "platform/ui/UIToolbar.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "platform/ui/qmui/QMUINavigationController.h"

#include <algorithm>

namespace {

// Whether the bar's controller (the first up its responder chain) is one the list names; an
// empty list names every controller.
bool follows(const UIView& bar, const std::vector<std::string>& containerClasses)
{
    if (containerClasses.empty())
        return true;
    for (auto responder = bar.nextResponder(); responder; responder = responder->nextResponder()) {
        if (auto controller = std::dynamic_pointer_cast<UIViewController>(responder))
            return std::find(containerClasses.begin(), containerClasses.end(), controller->className())
                != containerClasses.end();
    }
    return false;
}

std::optional<UIImage> lineImage(const std::optional<UIColor>& color)
{
    if (!color)
        return std::nullopt;
    return qmui_imageWithColor(*color, { 4, 1 });
}

void visit(UIView& view)
{
    if (auto* tabBar = dynamic_cast<UITabBar*>(&view))
        QMUIBarAppearance::apply(*tabBar);
    else if (auto* toolbar = dynamic_cast<UIToolbar*>(&view))
        QMUIBarAppearance::apply(*toolbar);
    if (auto navigation = std::dynamic_pointer_cast<QMUINavigationController>(view.owningController()))
        navigation->updateNavigationBarAppearance();
    // A copy: applying may rebuild subviews.
    auto subviews = view.subviews();
    for (const auto& subview : subviews)
        visit(*subview);
}

}

void QMUIBarAppearance::install()
{
    UITabBar::setAppearanceRule([](UITabBar& bar) { apply(bar); });
    UIToolbar::setAppearanceRule([](UIToolbar& bar) { apply(bar); });
}

void QMUIBarAppearance::apply(UITabBar& bar)
{
    const auto& c = QMUIConfiguration::sharedInstance();
    if (!follows(bar, c.tabBarContainerClasses))
        return;
    bar.setBarStyle(c.tabBarStyle);
    bar.setBarTintColor(c.tabBarBarTintColor);
    bar.setBackgroundImage(c.tabBarBackgroundImage);
    bar.setShadowImage(lineImage(c.tabBarShadowImageColor));
    bar.setItemAppearance({ c.tabBarItemTitleFont, c.tabBarItemTitleColor, c.tabBarItemImageColor },
        { c.tabBarItemTitleFontSelected, c.tabBarItemTitleColorSelected, c.tabBarItemImageColorSelected });
}

void QMUIBarAppearance::apply(UIToolbar& bar)
{
    const auto& c = QMUIConfiguration::sharedInstance();
    if (!follows(bar, c.toolBarContainerClasses))
        return;
    bar.setBarStyle(c.toolBarStyle);
    bar.setBarTintColor(c.toolBarBarTintColor);
    bar.setBackgroundImage(c.toolBarBackgroundImage);
    bar.setShadowImage(lineImage(c.toolBarShadowImageColor));
    bar.setTintColor(c.toolBarTintColor);
    bar.setButtonFont(c.toolBarButtonFont);
    bar.setButtonStateColors(c.toolBarTintColorHighlighted, c.toolBarTintColorDisabled);
}

void QMUIBarAppearance::updateVisibleBars()
{
    for (const auto& window : UIApplication::shared().windows())
        visit(*window);
}
