#include "platform/ui/UIWindow.h"

// Placeholder until the view controller layer exists: that layer replaces this file with the
// version that installs the controller's view in the window.
void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller)
{
    m_rootViewController = std::move(controller);
}
