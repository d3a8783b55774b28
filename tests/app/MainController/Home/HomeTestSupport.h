#pragma once

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Network/ZV_Network.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tests/app/support/SentOrder.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zvtest {

// The home tab's screens against the local test server: a key window, the process-wide client
// with a fake screen side (it counts the replies through hideAllTips), and the screen under test
// as the root of a navigation stack.
class HomeScreenTest : public ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        ZV_Network::shared().setUI(ui);
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        if (window)
            window->setRootViewController(nullptr);
        // Transitions end after their animations; the controllers go with them.
        advance(1);
        drain();
        // Replies to requests still on their way (a reload started by the last appearance) must
        // not reach the next test's screen side.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        runUntil([&] { return ui->hides >= static_cast<int>(api().records().size()); }, 2);
        drain();
        // Last, so that an update offer that came in meanwhile goes too.
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        advance(1);
        drain();
        navigation.reset();
        window.reset();
        QMUITips::hideAllTips();
        ZV_Network::shared().setUI(nullptr);
        UIEventDispatcher::shared().resetForTesting();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        ApiServerTest::TearDown();
    }

    // Puts the screen in the window inside a navigation stack and lays it out; the pull-to-refresh
    // headers start their first load once their animation is over.
    void show(std::shared_ptr<UIViewController> screen)
    {
        navigation = std::make_shared<ZVNavigationController>(std::move(screen));
        window->setRootViewController(navigation);
        layout();
        advance(0.5);
        layout();
    }

    void layout()
    {
        drain();
        window->layoutIfNeeded();
    }

    // Waits until the client has handled `count` replies more than `before`, then lays out.
    bool waitForReplies(int before, int count = 1)
    {
        bool arrived = runUntil([&] { return ui->hides >= before + count; });
        layout();
        return arrived;
    }

    // Paths of the API calls the server saw, in the order the app sent them.
    std::vector<std::string> calledPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& record : sent.records(api()))
            paths.push_back(record.path);
        return paths;
    }

    SentOrder sent;
    std::shared_ptr<FakeNetworkUI> ui = std::make_shared<FakeNetworkUI>();
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<ZVNavigationController> navigation;
};

}
