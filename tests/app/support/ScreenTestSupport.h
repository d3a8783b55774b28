#pragma once

// A screen of the app in a navigation stack on a key window, against the local test server's
// sample API through the process-wide client. Header only.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Network/ZV_Network.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "tests/app/support/ApiTestSupport.h"

#include <string>
#include <vector>

namespace zvtest {

class ScreenTest : public ApiServerTest {
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
        // Replies still on their way would land in the next test.
        allRepliesIn();
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        if (window)
            window->setRootViewController(nullptr);
        // A sheet that was already closing (animated) is gone only once its animation is over.
        advance(1);
        drain();
        window.reset();
        QMUITips::hideAllTips();
        ZV_Network::shared().setUI(nullptr);
        UIEventDispatcher::shared().resetForTesting();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        ApiServerTest::TearDown();
    }

    // The screen as the root of a navigation stack on the window, laid out.
    void show(const std::shared_ptr<UIViewController>& screen)
    {
        window->setRootViewController(std::make_shared<ZVNavigationController>(screen));
        drain();
        window->layoutIfNeeded();
    }

    // Waits (real time) until every request the server saw has its reply handled; a request the
    // server has not recorded yet is given a moment to show up.
    bool allRepliesIn()
    {
        bool done = true;
        for (int pass = 0; pass < 2; ++pass) {
            done = runUntil([&] { return ui->hides >= int(api().records().size()); }, 5) && done;
            runUntil([] { return false; }, 0.05);
        }
        drain();
        if (window)
            window->layoutIfNeeded();
        return done;
    }

    // Waits (real time) until the client has handled `count` more replies than `before`.
    bool waitForReplies(int before, int count = 1)
    {
        bool done = runUntil([&] { return ui->hides >= before + count; });
        drain();
        if (window)
            window->layoutIfNeeded();
        return done;
    }

    // The parameters of every call of the path the server saw, oldest first.
    static std::vector<nlohmann::json> callsTo(std::string_view path)
    {
        std::vector<nlohmann::json> calls;
        for (const auto& record : api().recordsTo(path))
            calls.push_back(record.parameters.value_or(nlohmann::json()));
        return calls;
    }

    // Texts of the tips on screen, oldest first.
    static std::vector<std::string> tips()
    {
        std::vector<std::string> texts;
        for (const auto& tip : QMUITips::visibleTips())
            texts.push_back(tip.text);
        return texts;
    }

    std::shared_ptr<FakeNetworkUI> ui = std::make_shared<FakeNetworkUI>();
    std::shared_ptr<UIWindow> window;
};

}
