// The login screen end to end: the client's refusal of a request opens it (once), and signing
// in through it against the local test server's sample API.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkScreenUI.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tools/testserver/ApiServer.h"

#include <gtest/gtest.h>

namespace {

// The sample account of the server's data.
constexpr const char* kUser = "xiaoyu2023";
constexpr const char* kPassword = "rain-over-2023";
constexpr const char* kToken = "tk-301877-first";

class WindowDelegate : public UIApplicationDelegate {
public:
    std::shared_ptr<UIWindow> window() const override { return m_window; }
    std::shared_ptr<UIWindow> m_window = std::make_shared<UIWindow>();
};

// The process-wide client against the sample API, a key window over a plain root screen.
class LoginScreenTest : public zvtest::ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        ZV_Network::shared().setUI(nullptr);

        UIApplication::shared().resetForTesting();
        UIApplication::shared().setDelegate(delegate);
        delegate->m_window->setRootViewController(root);
        delegate->m_window->makeKeyAndVisible();
        drain();
        logins = NotificationCenter::defaultCenter().addObserver("loginSuccess", [this](const Notification&) {
            ++posted;
            postedWhilePresented = root->presentedViewController() != nullptr;
        });
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(logins);
        if (root->presentedViewController())
            root->dismiss(false);
        drain();
        QMUITips::hideAllTips();
        UIApplication::shared().resetForTesting();
        ApiServerTest::TearDown();
    }

    // A request that the server answers with `code`; returns once the client has ended the sign-in.
    void refusedRequest(int code)
    {
        setToken("tk-expired");
        api().script("v1/movie/index_recommend", testserver::ApiReply::error(code, "登录已过期"));
        ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/index_recommend",
            JSON::object(),
            [](std::optional<JSON>, std::optional<NSError>) { ADD_FAILURE() << "completion called"; });
        ASSERT_TRUE(runUntil([] { return !storedToken(); }));
    }

    // The login screen presented over the root, after the refusal and the transition.
    std::shared_ptr<ZV_LoginViewVC> presentedLogin()
    {
        refusedRequest(2000);
        advance(1.0);
        auto navigation = std::dynamic_pointer_cast<ZVNavigationController>(root->presentedViewController());
        return navigation ? std::dynamic_pointer_cast<ZV_LoginViewVC>(navigation->topViewController())
                          : nullptr;
    }

    // Types, taps the login button and waits for the reply.
    void signIn(ZV_LoginViewVC& login, const std::string& user, const std::string& password)
    {
        login.accountField()->setText(user);
        login.passwordField()->setText(password);
        std::size_t before = api().recordsTo("v1/user/login").size();
        login.loginButton()->sendActions(UIControlEventTouchUpInside);
        ASSERT_TRUE(runUntil([&] {
            return storedToken()
                || (!QMUITips::visibleTips().empty()
                    && QMUITips::visibleTips().back().kind == QMUITips::Kind::error);
        }));
        EXPECT_EQ(api().recordsTo("v1/user/login").size(), before + 1);
    }

    std::shared_ptr<WindowDelegate> delegate = std::make_shared<WindowDelegate>();
    std::shared_ptr<UIViewController> root = UIViewController::create();
    NotificationCenter::Token logins;
    int posted = 0;
    bool postedWhilePresented = false;
};

TEST_F(LoginScreenTest, RefusedSignInPresentsOneLoginStackFullScreen)
{
    for (int code : { 2000, 2002 }) {
        refusedRequest(code);
        auto navigation = std::dynamic_pointer_cast<ZVNavigationController>(root->presentedViewController());
        ASSERT_TRUE(navigation) << code;
        EXPECT_EQ(navigation->modalPresentationStyle(), UIModalPresentationStyle::fullScreen);
        auto login = std::dynamic_pointer_cast<ZV_LoginViewVC>(navigation->topViewController());
        ASSERT_TRUE(login);
        EXPECT_EQ(navigation->viewControllers().size(), 1u);
        EXPECT_EQ(login->title(), "登录");

        // Refused again while it is still coming up, and once it is up: nothing more.
        refusedRequest(code);
        advance(1.0);
        refusedRequest(code);
        EXPECT_EQ(root->presentedViewController(), navigation);
        EXPECT_FALSE(navigation->presentedViewController());
        advance(1.0);

        if (code == 2000) {
            EXPECT_TRUE(
                Renderer::writePNG(Renderer::renderScreen(), zvtest::screenshotPath("login-screen.png")));
        }
        navigation->dismiss(false);
        drain();
        ASSERT_FALSE(root->presentedViewController());
    }
}

TEST_F(LoginScreenTest, SigningInStoresTheTokenAnnouncesItAndLeaves)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentedLogin();
    ASSERT_TRUE(login);
    login->setCaptcha(R"({"ticket":"t-1","randstr":"r"})");
    signIn(*login, kUser, kPassword);
    EXPECT_EQ(storedToken(), kToken);
    EXPECT_EQ(posted, 1);
    EXPECT_TRUE(postedWhilePresented);
    std::optional<nlohmann::json> sent = api().recordsTo("v1/user/login").back().parameters;
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->value("username", ""), kUser);
    EXPECT_EQ(sent->value("captcha", ""), R"({"ticket":"t-1","randstr":"r"})");

    // The success tip waits for the end of the dismissal.
    for (const QMUITips::Info& tip : QMUITips::visibleTips())
        EXPECT_NE(tip.kind, QMUITips::Kind::success);
    advance(UIViewController::transitionDuration + 0.01);
    EXPECT_FALSE(root->presentedViewController());
    std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].kind, QMUITips::Kind::success);
    EXPECT_EQ(tips[0].text, "登录成功！");
}

TEST_F(LoginScreenTest, RefusedLoginShowsTheServersTextAndStays)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentedLogin();
    ASSERT_TRUE(login);
    // No captcha passed yet.
    signIn(*login, kUser, kPassword);
    ASSERT_FALSE(QMUITips::visibleTips().empty());
    EXPECT_EQ(QMUITips::visibleTips().back().text, "请完成验证");

    login->setCaptcha("{}");
    QMUITips::hideAllTips();
    signIn(*login, kUser, "wrong");
    ASSERT_FALSE(QMUITips::visibleTips().empty());
    EXPECT_EQ(QMUITips::visibleTips().back().text, "用户名或密码错误");

    // A "success" without a token signs nobody in.
    api().script("v1/user/login", testserver::ApiReply::success(nlohmann::json::object(), "ok"));
    QMUITips::hideAllTips();
    signIn(*login, kUser, kPassword);
    EXPECT_EQ(QMUITips::visibleTips().back().text, "网络异常");

    EXPECT_FALSE(storedToken());
    EXPECT_EQ(posted, 0);
    advance(1.0);
    EXPECT_TRUE(root->presentedViewController());
    EXPECT_EQ(login->accountField()->text(), kUser);
}

}
