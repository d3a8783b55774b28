// The client's screen side on the UI toolkit: tips on the delegate's window, one login screen.

#include "app/Core/Network/ZV_NetworkScreenUI.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>

namespace {

class NetworkWindowDelegate : public UIApplicationDelegate {
public:
    std::shared_ptr<UIWindow> window() const override { return m_window; }
    std::shared_ptr<UIWindow> m_window = std::make_shared<UIWindow>();
};

class NetworkScreenUITest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIApplication::shared().setDelegate(delegate);
        delegate->m_window->setRootViewController(root);
        delegate->m_window->makeKeyAndVisible();
        drain();
    }
    void TearDown() override
    {
        ZV_NetworkScreenUI::setLoginScreenFactory(&ZV_NetworkScreenUI::makeDefaultLoginScreen);
        QMUITips::hideAllTips();
        UIApplication::shared().resetForTesting();
        MainLoopTest::TearDown();
    }

    std::shared_ptr<NetworkWindowDelegate> delegate = std::make_shared<NetworkWindowDelegate>();
    std::shared_ptr<UIViewController> root = UIViewController::create();
    ZV_NetworkScreenUI ui;
};

}

TEST_F(NetworkScreenUITest, TipsGoOnTheDelegatesWindowAndAllLeaveTogether)
{
    ui.showLoading();
    ui.showToast("网络错误");
    std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
    ASSERT_EQ(tips.size(), 2u);
    EXPECT_EQ(tips[0].kind, QMUITips::Kind::loading);
    EXPECT_EQ(tips[0].parentView, delegate->m_window);
    EXPECT_EQ(tips[1].kind, QMUITips::Kind::text);
    EXPECT_EQ(tips[1].text, "网络错误");
    ui.hideAllTips();
    EXPECT_TRUE(QMUITips::visibleTips().empty());

    // Without a window there is nowhere to show the loading tip.
    delegate->m_window.reset();
    ui.showLoading();
    EXPECT_TRUE(QMUITips::visibleTips().empty());
}

TEST_F(NetworkScreenUITest, LoginIsPresentedOverFullScreenOverTheTopScreenUntilDismissed)
{
    // Without a login screen nothing happens.
    ZV_NetworkScreenUI::setLoginScreenFactory({});
    ui.presentLogin();
    EXPECT_FALSE(root->presentedViewController());
    EXPECT_FALSE(ui.isLoginPresented());

    // A sheet is already up: the login goes over it.
    auto sheet = UIViewController::create();
    ASSERT_TRUE(root->present(sheet, false));
    drain();

    int made = 0;
    std::shared_ptr<UIViewController> login;
    ZV_NetworkScreenUI::setLoginScreenFactory([&] {
        ++made;
        auto navigation = std::make_shared<UINavigationController>(UIViewController::create());
        navigation->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        login = navigation;
        return navigation;
    });
    ui.presentLogin();
    EXPECT_EQ(made, 1);
    ASSERT_TRUE(login);
    EXPECT_EQ(sheet->presentedViewController(), login);
    EXPECT_EQ(login->modalPresentationStyle(), UIModalPresentationStyle::overFullScreen);
    // Counted as presented while it is still on its way.
    EXPECT_TRUE(ui.isLoginPresented());
    advance(1.0);
    EXPECT_TRUE(ui.isLoginPresented());

    login->dismiss(true);
    advance(1.0);
    EXPECT_FALSE(ui.isLoginPresented());
}
