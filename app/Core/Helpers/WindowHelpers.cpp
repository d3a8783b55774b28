#include "app/Core/Helpers/WindowHelpers.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"

namespace {

std::shared_ptr<UIWindow> delegateWindow(const UIApplication& application)
{
    const auto& delegate = application.delegate();
    return delegate ? delegate->window() : nullptr;
}

std::shared_ptr<UIWindow> startingWindow(const UIApplication& application)
{
    std::shared_ptr<UIWindow> window = delegateWindow(application);
    if (window && window->windowLevel() == UIWindowLevelNormal)
        return window;
    for (const auto& candidate : application.windows()) {
        if (candidate->windowLevel() == UIWindowLevelNormal)
            return candidate;
    }
    return window;
}

}

std::shared_ptr<UIWindow> activeKeyWindow(const UIApplication& application)
{
    if (application.applicationState() == UIApplicationState::active) {
        for (const auto& window : application.windows()) {
            if (window->isKeyWindow())
                return window;
        }
    }
    return delegateWindow(application);
}

std::shared_ptr<UIWindow> activeKeyWindow()
{
    return activeKeyWindow(UIApplication::shared());
}

std::shared_ptr<UIViewController> topViewController()
{
    std::shared_ptr<UIWindow> window = startingWindow(UIApplication::shared());
    return topViewController(window ? window->rootViewController() : nullptr);
}

std::shared_ptr<UIViewController> topViewController(std::shared_ptr<UIViewController> from)
{
    // A loop rather than recursion: each step moves strictly up the presentation or down into a
    // container, so it ends.
    std::shared_ptr<UIViewController> controller = std::move(from);
    while (true) {
        if (!controller) {
            Log::write("🌶： 找不到顶层控制器");
            return nullptr;
        }
        if (auto presented = controller->presentedViewController()) {
            controller = std::move(presented);
            continue;
        }
        if (auto tabs = std::dynamic_pointer_cast<UITabBarController>(controller)) {
            controller = tabs->selectedViewController();
            if (!controller)
                return nullptr;
            continue;
        }
        if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller)) {
            controller = navigation->visibleViewController();
            continue;
        }
        return controller;
    }
}

void dismissKeyboard(UIViewController& controller)
{
    controller.view()->endEditing(true);
}

UIEdgeInsets keyWindowSafeAreaInsets()
{
    std::shared_ptr<UIWindow> window = delegateWindow(UIApplication::shared());
    return window ? window->safeAreaInsets() : UIEdgeInsets::zero();
}
