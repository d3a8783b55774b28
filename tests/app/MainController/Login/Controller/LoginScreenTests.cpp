// The login screen against the sample API: how it comes up, its button, the captcha it passes
// and the order of what a sign-in does, and what refusals and failures show; a new account signing
// in while the chat tab listens.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Login/Controller/ZV_ForgotViewVC.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "platform/ui/web/DWKWebView.h"
#include "tests/app/MainController/Chat/LoadedChatPage.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

// The sample account of the server's data.
constexpr const char* kUser = "xiaoyu2023";
constexpr const char* kPassword = "rain-over-2023";
constexpr const char* kToken = "tk-301877-first";

class LoginScreenTest : public AccountScreenTest {
protected:
    // The login stack as any screen presents it.
    std::shared_ptr<ZV_LoginViewVC> presentLogin()
    {
        auto login = std::make_shared<ZV_LoginViewVC>();
        auto stack = std::make_shared<ZVNavigationController>(login);
        stack->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        root->present(stack, true);
        settle();
        return login;
    }

    // Types, taps the button, passes the captcha and waits for the reply.
    void signIn(ZV_LoginViewVC& login, const std::string& user, const std::string& password)
    {
        type(*login.zv_accountField(), user);
        type(*login.zv_passwdField(), password);
        std::size_t before = api().recordsTo("v1/user/login").size();
        ASSERT_TRUE(tap(*login.zv_loginBtn()));
        ASSERT_TRUE(passCaptcha());
        ASSERT_TRUE(waitFor([&] { return api().recordsTo("v1/user/login").size() == before + 1; }));
        ASSERT_TRUE(waitFor([&] {
            std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
            return storedToken() || (!tips.empty() && tips.back().kind == QMUITips::Kind::error);
        }));
    }

    static std::string lastTip()
    {
        std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
        return tips.empty() ? std::string() : tips.back().text;
    }
};

}

TEST_F(LoginScreenTest, RefusedSignInPresentsOneLoginStackOverFullScreen)
{
    setToken("tk-expired");
    api().script("v1/movie/index_recommend", testserver::ApiReply::error(2000, "登录已过期"));
    for (int i = 0; i < 2; ++i) {
        ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/index_recommend",
            JSON::object(),
            [](std::optional<JSON>, std::optional<NSError>) { ADD_FAILURE() << "completion called"; });
    }
    ASSERT_TRUE(waitFor([] { return !storedToken(); }));
    settle();
    auto stack = std::dynamic_pointer_cast<ZVNavigationController>(navigation->presentedViewController());
    ASSERT_TRUE(stack);
    EXPECT_EQ(stack->modalPresentationStyle(), UIModalPresentationStyle::overFullScreen);
    auto login = std::dynamic_pointer_cast<ZV_LoginViewVC>(stack->topViewController());
    ASSERT_TRUE(login);
    EXPECT_FALSE(stack->presentedViewController());
    EXPECT_TRUE(Renderer::writePNG(Renderer::renderScreen(), screenshotPath("login-screen.png")));
}

TEST_F(LoginScreenTest, TheButtonWantsBothFieldsAndNothingMore)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentLogin();
    struct Case {
        const char* account;
        const char* password;
        bool enabled;
    };
    for (const Case& c : { Case { "", "", false }, Case { "a", "", false }, Case { "", "p", false },
             Case { "a", "p", true }, Case { "someone@mail.example", "1", true },
             Case { "13800005621", "x", true }, Case { "", "x", false } }) {
        type(*login->zv_accountField(), c.account);
        type(*login->zv_passwdField(), c.password);
        EXPECT_EQ(login->zv_loginBtn()->isEnabled(), c.enabled) << c.account << "/" << c.password;
        EXPECT_EQ(login->zv_loginBtn()->isSelected(), c.enabled) << c.account << "/" << c.password;
    }
}

TEST_F(LoginScreenTest, SigningInStoresTheTokenAnnouncesItLeavesAndThenSaysSo)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentLogin();
    bool presentedAtPost = false;
    bool tokenAtPost = false;
    auto observer = NotificationCenter::defaultCenter().addObserver("loginSuccess", [&](const Notification&) {
        presentedAtPost = navigation->presentedViewController() != nullptr;
        tokenAtPost = storedToken() == kToken;
    });
    signIn(*login, kUser, kPassword);
    NotificationCenter::defaultCenter().removeObserver(observer);

    EXPECT_EQ(storedToken(), kToken);
    EXPECT_EQ(logins, 1);
    EXPECT_TRUE(tokenAtPost);
    EXPECT_TRUE(presentedAtPost);
    // The captcha's result goes whole, as pretty-printed JSON text.
    std::optional<nlohmann::json> sent = api().recordsTo("v1/user/login").back().parameters;
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->value("username", ""), kUser);
    std::string captcha = sent->value("captcha", "");
    EXPECT_NE(captcha.find("{\n  \"randstr\" : \"@"), std::string::npos) << captcha;
    EXPECT_NE(captcha.find(",\n  \"ticket\" : \"t"), std::string::npos) << captcha;

    // The success tip waits for the end of the dismissal.
    for (const QMUITips::Info& tip : QMUITips::visibleTips())
        EXPECT_NE(tip.kind, QMUITips::Kind::success);
    settle(UIViewController::transitionDuration + 0.01);
    EXPECT_FALSE(navigation->presentedViewController());
    std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].kind, QMUITips::Kind::success);
    EXPECT_EQ(tips[0].text, "登录成功！");
}

TEST_F(LoginScreenTest, RefusalsAndFailuresShowTheirTextAndKeepThePage)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentLogin();
    signIn(*login, kUser, "wrong");
    EXPECT_EQ(lastTip(), "用户名或密码错误");

    // A "success" without a token signs nobody in.
    api().script("v1/user/login", testserver::ApiReply::success({ { "access_token", "" } }, "ok"));
    QMUITips::hideAllTips();
    signIn(*login, kUser, kPassword);
    EXPECT_EQ(lastTip(), "网络异常");
    api().clearScripts();

    // No transfer at all: the client's own words, not the HTTP layer's.
    BaseURLs::main_url() = deadURL() + "/api/";
    QMUITips::hideAllTips();
    type(*login->zv_accountField(), kUser);
    ASSERT_TRUE(tap(*login->zv_loginBtn()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([] {
        return !QMUITips::visibleTips().empty()
            && QMUITips::visibleTips().back().kind == QMUITips::Kind::error;
    }));
    EXPECT_EQ(lastTip(), "网络错误");

    EXPECT_FALSE(storedToken());
    EXPECT_EQ(logins, 0);
    settle();
    EXPECT_TRUE(navigation->presentedViewController());
    EXPECT_EQ(login->zv_accountField()->text(), kUser);
    EXPECT_TRUE(login->zv_loginBtn()->isEnabled());
}

TEST_F(LoginScreenTest, AnAbandonedCaptchaSendsNothing)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentLogin();
    type(*login->zv_accountField(), kUser);
    type(*login->zv_passwdField(), kPassword);
    ASSERT_TRUE(tap(*login->zv_loginBtn()));
    std::shared_ptr<ZV_CaptchaView> first = captcha();
    ASSERT_TRUE(first);
    // Outside the web view: the dimmed background.
    ASSERT_TRUE(driver.tap({ 10, 10 }));
    settle();
    EXPECT_FALSE(captcha());

    // Each attempt gets a fresh overlay; the page may also ask to close it.
    ASSERT_TRUE(tap(*login->zv_loginBtn()));
    std::shared_ptr<ZV_CaptchaView> second = captcha();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    ASSERT_TRUE(waitFor([&] { return second->zv_webView()->hasPage(); }));
    EXPECT_TRUE(second->zv_webView()->closeWindowFromPage());
    settle();
    EXPECT_FALSE(captcha());
    EXPECT_TRUE(api().recordsTo("v1/user/login").empty());
}

TEST_F(LoginScreenTest, TheCloseButtonTakesTheWholeStackAway)
{
    std::shared_ptr<ZV_LoginViewVC> login = presentLogin();
    ASSERT_TRUE(tap(*login->zv_registerBtn()));
    settle();
    auto stack = login->navigationController();
    ASSERT_TRUE(std::dynamic_pointer_cast<ZV_RegisterViewVC>(stack->topViewController()));
    stack->popViewController(false);
    ASSERT_TRUE(tap(*login->zv_forgetBtn()));
    settle();
    ASSERT_TRUE(std::dynamic_pointer_cast<ZV_ForgotViewVC>(stack->topViewController()));

    login->zv_closeBtn()->sendActions(UIControlEventTouchUpInside);
    settle();
    EXPECT_FALSE(navigation->presentedViewController());
}

// An account registered earlier signs in after the chat tab has loaded: the room answers the
// member's state as that account (its restriction replaces the input bar) and nothing ends the
// sign-in.
TEST_F(LoginScreenTest, ANewlyRegisteredAccountSignsInUnderALoadedChatPageAsItself)
{
    std::string phone = freshPhone();
    std::optional<std::string> registered = registerByPhone(phone, "second pass");
    ASSERT_TRUE(registered);
    std::int64_t id = accounts().profileForToken(*registered)->value("id", std::int64_t(0));
    chatRoom().block(id, 1, 3600);
    LoadedChatPage chat(api());
    ASSERT_TRUE(waitFor([&] { return chat.loaded(); }));
    ASSERT_TRUE(api().recordsTo("v1/room/user").empty());

    std::shared_ptr<ZV_LoginViewVC> login = presentLogin();
    signIn(*login, phone, "second pass");
    ASSERT_TRUE(storedToken());
    std::string token = *storedToken();
    EXPECT_NE(token, *registered);
    ASSERT_TRUE(waitFor([&] { return chat.answered("v1/room/user", 1); }));
    EXPECT_EQ(chat.page->zv_currentModel()->is_block, 1);
    EXPECT_TRUE(chat.page->zv_inputView()->isHidden());
    EXPECT_EQ(storedToken(), token);
    EXPECT_EQ(chat.ui->logins, 0);
    settle();
    EXPECT_FALSE(root->presentedViewController());
    EXPECT_FALSE(navigation->presentedViewController());
}
