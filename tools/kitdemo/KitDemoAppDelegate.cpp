#include "tools/kitdemo/KitDemoAppDelegate.h"

#include "platform/ui/UIWindow.h"
#include "tools/kitdemo/KitDemoColors.h"
#include "tools/kitdemo/KitDemoTabsController.h"

KitDemoAppDelegate::KitDemoAppDelegate(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
    : m_loader(std::move(loader))
    , m_pictures(std::move(pictures))
{ }

bool KitDemoAppDelegate::didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&)
{
    m_window = std::make_shared<UIWindow>();
    m_window->setBackgroundColor(kitdemo::paper());
    m_window->setRootViewController(std::make_shared<KitDemoTabsController>(m_loader, m_pictures));
    m_window->makeKeyAndVisible();
    return true;
}
