#include "app/Core/Helpers/WindowHelpers.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class WindowDelegate : public UIApplicationDelegate {
public:
    std::shared_ptr<UIWindow> mainWindow;
    std::shared_ptr<UIWindow> window() const override { return mainWindow; }
};

class WindowHelpers : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        Log::setSink([this](std::string_view line) { logLines.emplace_back(line); });
    }
    void TearDown() override
    {
        Log::setSink({});
        for (auto& window : windows)
            window->setRootViewController(nullptr);
        drain();
        windows.clear();
        UIApplication::shared().resetForTesting();
        zvtest::MainLoopTest::TearDown();
    }

    std::shared_ptr<UIWindow> showWindow(
        std::shared_ptr<UIViewController> root, UIWindowLevel level = UIWindowLevelNormal)
    {
        auto window = std::make_shared<UIWindow>();
        window->setWindowLevel(level);
        window->setRootViewController(std::move(root));
        window->makeKeyAndVisible();
        windows.push_back(window);
        drain();
        return window;
    }

    std::shared_ptr<WindowDelegate> installDelegate(std::shared_ptr<UIWindow> window)
    {
        auto delegate = std::make_shared<WindowDelegate>();
        delegate->mainWindow = std::move(window);
        UIApplication::shared().setDelegate(delegate);
        return delegate;
    }

    std::vector<std::shared_ptr<UIWindow>> windows;
    std::vector<std::string> logLines;
};

TEST_F(WindowHelpers, TopControllerWalksPresentationsTabsAndStacks)
{
    auto home = UIViewController::create();
    auto mine = UIViewController::create();
    auto tabs = UIViewController::create<UITabBarController>();
    tabs->setViewControllers({ home, mine });
    tabs->setSelectedIndex(1);
    installDelegate(showWindow(tabs));
    EXPECT_EQ(topViewController(), mine);

    // A sheet over the tab bar controller, holding a navigation stack: its top screen.
    auto sheetRoot = UIViewController::create();
    auto pushed = UIViewController::create();
    auto sheet = UIViewController::create<UINavigationController>(sheetRoot);
    ASSERT_TRUE(tabs->present(sheet, false));
    drain();
    EXPECT_EQ(topViewController(), sheetRoot);
    sheet->pushViewController(pushed, false);
    drain();
    EXPECT_EQ(topViewController(), pushed);

    // A plain controller presented over the sheet is the top.
    auto alert = UIViewController::create();
    ASSERT_TRUE(sheet->present(alert, false));
    drain();
    EXPECT_EQ(topViewController(), alert);
    EXPECT_TRUE(logLines.empty());
}

TEST_F(WindowHelpers, MissingControllerIsReportedButAnEmptyTabBarIsNot)
{
    auto tabs = UIViewController::create<UITabBarController>();
    EXPECT_EQ(topViewController(tabs), nullptr);
    EXPECT_TRUE(logLines.empty());

    EXPECT_EQ(topViewController(nullptr), nullptr);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_EQ(logLines[0], "🌶： 找不到顶层控制器");

    // No window at all: nothing to walk from.
    logLines.clear();
    EXPECT_EQ(topViewController(), nullptr);
    EXPECT_EQ(logLines.size(), 1u);
}

TEST_F(WindowHelpers, TopControllerStartsFromAWindowOfNormalLevel)
{
    auto overlayRoot = UIViewController::create();
    auto mainRoot = UIViewController::create();
    auto overlay = showWindow(overlayRoot, UIWindowLevelAlert);
    // The delegate's window is above the normal level: the first normal window is used.
    installDelegate(overlay);
    auto main = showWindow(mainRoot);
    EXPECT_EQ(topViewController(), mainRoot);

    // With no normal window, the delegate's window whatever its level.
    main->setHidden(true);
    EXPECT_EQ(topViewController(), overlayRoot);

    // Without a delegate window, the first visible normal window.
    installDelegate(nullptr);
    main->setHidden(false);
    EXPECT_EQ(topViewController(), mainRoot);
}

TEST_F(WindowHelpers, ActiveKeyWindowNeedsAnActiveApplication)
{
    auto delegateWindow = std::make_shared<UIWindow>();
    auto delegate = std::make_shared<WindowDelegate>();
    delegate->mainWindow = delegateWindow;
    auto key = showWindow(UIViewController::create());

    // Not launched yet: not foreground-active, so the delegate's window.
    UIApplication::shared().setDelegate(delegate);
    EXPECT_EQ(activeKeyWindow(), delegateWindow);

    UIApplication::shared().launch(delegate);
    EXPECT_EQ(activeKeyWindow(), key);

    UIApplication::shared().enterBackground();
    EXPECT_EQ(activeKeyWindow(), delegateWindow);

    UIApplication::shared().setDelegate(nullptr);
    EXPECT_EQ(activeKeyWindow(), nullptr);
}

TEST_F(WindowHelpers, SafeAreaInsetsOfTheDelegatesWindow)
{
    EXPECT_EQ(keyWindowSafeAreaInsets(), UIEdgeInsets::zero());
    installDelegate(nullptr);
    EXPECT_EQ(keyWindowSafeAreaInsets(), UIEdgeInsets::zero());

    auto window = showWindow(UIViewController::create());
    installDelegate(window);
    const UIDeviceProfile& device = UIScreen::main().profile();
    EXPECT_EQ(keyWindowSafeAreaInsets(), (UIEdgeInsets { device.statusBarHeight, 0, device.bottomInset, 0 }));
}

}
