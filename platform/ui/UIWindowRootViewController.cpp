#include "platform/ui/UIWindow.h"
#include "platform/ui/detail/ControllerHierarchy.h"

// The view controller layer installs the root: the controller's view fills the window (below
// anything else the window holds), the old root leaves with everything it presents, and both
// get their appearance calls.
void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller)
{
    detail::ControllerHierarchy::replaceRoot(*this, m_rootViewController, std::move(controller));
}
