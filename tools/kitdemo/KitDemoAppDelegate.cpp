#include "tools/kitdemo/KitDemoAppDelegate.h"

#include "platform/ui/UIWindow.h"
#include "tools/kitdemo/KitDemoTabsController.h"

KitDemoAppDelegate::KitDemoAppDelegate(
    std::shared_ptr<ImageLoader> loader, std::vector<std::string> imageURLs)
    : m_loader(std::move(loader))
    , m_imageURLs(std::move(imageURLs))
{ }

bool KitDemoAppDelegate::didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&)
{
    m_window = std::make_shared<UIWindow>();
    m_window->setBackgroundColor(UIColor::white());
    m_window->setRootViewController(std::make_shared<KitDemoTabsController>(m_loader, m_imageURLs));
    m_window->makeKeyAndVisible();
    return true;
}
