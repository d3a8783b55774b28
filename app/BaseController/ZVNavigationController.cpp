#include "app/BaseController/ZVNavigationController.h"

#include "platform/ui/qmui/QMUIKitExtensions.h"

ZVNavigationController::ZVNavigationController() = default;

ZVNavigationController::ZVNavigationController(std::shared_ptr<UIViewController> root)
    : QMUINavigationController(std::move(root))
{ }

void ZVNavigationController::viewDidLoad()
{
    QMUINavigationController::viewDidLoad();
    setDelegate(std::static_pointer_cast<ZVNavigationController>(sharedFromThis()));
    navigationBar().setTranslucent(false);
}

void ZVNavigationController::pushViewController(
    std::shared_ptr<UIViewController> controller, bool animated, std::function<void()> completion)
{
    // The root keeps the tab bar; anything pushed above it covers it.
    if (controller)
        controller->setHidesBottomBarWhenPushed(!viewControllers().empty());
    QMUINavigationController::pushViewController(std::move(controller), animated, std::move(completion));
}

bool ZVNavigationController::shouldAutorotate() const
{
    std::shared_ptr<UIViewController> top = topViewController();
    return top ? top->shouldAutorotate() : QMUINavigationController::shouldAutorotate();
}

unsigned ZVNavigationController::supportedInterfaceOrientations() const
{
    std::shared_ptr<UIViewController> top = topViewController();
    return top ? top->supportedInterfaceOrientations()
               : QMUINavigationController::supportedInterfaceOrientations();
}

UIInterfaceOrientation ZVNavigationController::preferredInterfaceOrientationForPresentation() const
{
    std::shared_ptr<UIViewController> top = topViewController();
    return top ? top->preferredInterfaceOrientationForPresentation()
               : QMUINavigationController::preferredInterfaceOrientationForPresentation();
}

std::shared_ptr<UIViewController> ZVNavigationController::childViewControllerForStatusBarStyle() const
{
    return topViewController();
}

std::shared_ptr<UIViewController> ZVNavigationController::childViewControllerForStatusBarHidden() const
{
    return topViewController();
}

std::optional<UIImage> ZVNavigationController::qmui_navigationBarBackgroundImage() const
{
    return qmui_imageWithColor(UIColor::systemBackground());
}
