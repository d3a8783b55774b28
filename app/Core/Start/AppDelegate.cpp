#include "app/Core/Start/AppDelegate.h"

#include "app/Core/Helpers/ChosenStyle.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/appLink.h"
#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"
#include "app/MainController/Launch/ZV_LaunchVC.h"
#include "platform/media/SJRotationManager.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/keyboard/IQKeyboardManager.h"
#include "platform/ui/qmui/QMUIConsole.h"

bool AppDelegate::didFinishLaunching(UIApplication& application, const UIApplicationLaunchOptions&)
{
    // The probe's reply keeps the object alive until it has reported.
    appLink::create()->allLinkInAppDoH();
    IQKeyboardManager::shared().setEnable(true);
    QMUIConsole::setCanShow(false);
    // The bottom sheet shows the chat's mute picker without knowing the chat.
    ZV_ChatMushinAlertView::registerInBottomSheet();

    ZV_Network& network = ZV_Network::shared();
    // Restores the cached addresses at once, so the profile request below already uses them.
    network.loadDomainConfig();
    network.request(
        HTTPMethod::GET, BaseURLs::main_url(), "v1/user/info", JSON::object(), &ZV_Network::userInfoHandler);

    setupWindow();
    application.setIdleTimerDisabled(true);
    return true;
}

unsigned AppDelegate::supportedInterfaceOrientations(UIApplication&, UIWindow* window)
{
    return SJRotationManager::supportedInterfaceOrientationsForWindow(window);
}

void AppDelegate::setupWindow()
{
    if (!m_window)
        return;
    m_window->setRootViewController(std::make_shared<ZV_LaunchVC>());
    m_window->setBackgroundColor(UIColor::systemBackground());
    m_window->setOverrideUserInterfaceStyle(ChosenStyle::chosen());
    m_window->makeKeyAndVisible();
}
