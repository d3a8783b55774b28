#include "app/BaseController/ZV_BaseNavigationController.h"

#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UIImage.h"

ZV_BaseNavigationController::ZV_BaseNavigationController() = default;

ZV_BaseNavigationController::ZV_BaseNavigationController(std::shared_ptr<UIViewController> root)
    : UINavigationController(std::move(root))
{ }

void ZV_BaseNavigationController::viewDidLoad()
{
    UINavigationController::viewDidLoad();
    setDelegate(std::static_pointer_cast<ZV_BaseNavigationController>(sharedFromThis()));
    navigationBar().setTranslucent(false);
}

void ZV_BaseNavigationController::containerViewDidLoad()
{
    // The gesture gets its default gatekeeper here, right after viewDidLoad.
    UINavigationController::containerViewDidLoad();
    m_popDelegate = interactivePopGestureRecognizer()->shouldBegin;
}

void ZV_BaseNavigationController::pushViewController(
    std::shared_ptr<UIViewController> controller, bool animated, std::function<void()> completion)
{
    if (!controller)
        return;
    controller->setHidesBottomBarWhenPushed(true);
    if (!viewControllers().empty()) {
        UIImage image = UIImage::named("back").value_or(UIImage()).withRenderingMode(
            UIImageRenderingMode::alwaysOriginal);
        std::weak_ptr<UIViewController> weakSelf = weakFromThis();
        controller->navigationItem().setLeftBarButtonItem(
            UIBarButtonItem::withImage(image, UIBarButtonItemStyle::plain, [weakSelf](UIBarButtonItem&) {
                if (auto self = std::static_pointer_cast<ZV_BaseNavigationController>(weakSelf.lock()))
                    self->backToPreviousVC();
            }));
    }
    UINavigationController::pushViewController(std::move(controller), animated, std::move(completion));
}

void ZV_BaseNavigationController::backToPreviousVC()
{
    popViewController(true);
}

void ZV_BaseNavigationController::didShow(UINavigationController&, UIViewController& shown, bool)
{
    std::vector<std::shared_ptr<UIViewController>> stack = viewControllers();
    bool atRoot = !stack.empty() && stack.front().get() == &shown;
    // Unset lets the swipe begin on every pushed screen despite the custom back item.
    interactivePopGestureRecognizer()->shouldBegin = atRoot ? m_popDelegate : nullptr;
}
