#pragma once

// A whole start of the app against the local test server with its sample data, on the virtual
// clock: the process-wide API client, the real AppDelegate and launch screen. Header only, so
// that the start and launch-screen test programs share it.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkScreenUI.h"
#include "app/Core/Start/AppDelegate.h"
#include "app/MainController/Launch/ZV_LaunchVC.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/keyboard/IQKeyboardManager.h"
#include "platform/ui/qmui/QMUIConsole.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tests/app/support/CountingScreenUI.h"
#include "tools/testserver/ApiServer.h"

namespace zvtest {

class StartTest : public ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        UIApplication::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        QMUIConsole::resetForTesting();
        ZV_Network::shared().setUI(ui);
    }

    void TearDown() override
    {
        // Replies still on their way would land in the next test.
        allRepliesIn();
        // The home tab's update prompt keeps itself while it is up.
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        ZV_Network::shared().setUI(nullptr);
        UIApplication::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        drain();
        ApiServerTest::TearDown();
    }

    bool allRepliesIn()
    {
        return runUntil([&] { return ui->hides >= int(api().records().size()); }, 5);
    }

    // Starts the app as the platform does.
    void launch()
    {
        delegate = std::make_shared<AppDelegate>();
        UIApplication::shared().launch(delegate);
    }
    std::shared_ptr<UIWindow> window() const { return delegate ? delegate->window() : nullptr; }
    std::shared_ptr<ZV_LaunchVC> launchScreen() const
    {
        return window() ? std::dynamic_pointer_cast<ZV_LaunchVC>(window()->rootViewController()) : nullptr;
    }
    // The root tab screen, when the window shows it inside the app's navigation stack.
    std::shared_ptr<ZVRootViewController> rootScreen() const
    {
        auto stack = window()
            ? std::dynamic_pointer_cast<ZVNavigationController>(window()->rootViewController())
            : nullptr;
        return stack ? std::dynamic_pointer_cast<ZVRootViewController>(stack->viewControllers().front())
                     : nullptr;
    }
    // Waits (real time) for the advert reply, which makes the skip button show.
    bool waitForCountdown(const std::shared_ptr<ZV_LaunchVC>& screen)
    {
        return screen && runUntil([&] { return !screen->skipBtn()->isHidden(); });
    }
    static std::string skipTitle(const std::shared_ptr<ZV_LaunchVC>& screen)
    {
        return screen->skipBtn()->title(UIControlStateNormal).value_or("");
    }

    std::shared_ptr<CountingScreenUI> ui = std::make_shared<CountingScreenUI>();
    std::shared_ptr<AppDelegate> delegate;
    TouchDriver driver;
};

}
