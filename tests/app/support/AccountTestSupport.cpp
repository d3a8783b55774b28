#include "tests/app/support/AccountTestSupport.h"

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "platform/ui/web/DWKWebView.h"
#include "tests/display/XvfbDisplay.h"

#include <atomic>
#include <chrono>
#include <utility>
#include <variant>

namespace zvtest {

namespace {

class WindowDelegate : public UIApplicationDelegate {
public:
    std::shared_ptr<UIWindow> window() const override { return m_window; }
    std::shared_ptr<UIWindow> m_window;
};

std::shared_ptr<UIWindow>& sharedWindow()
{
    static std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>();
    return window;
}

// Unique within the run and across runs of the program against one server.
std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> serial {
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) % 10'000'000
    };
    return ++serial;
}

}

void AccountScreenTest::SetUp()
{
    ApiServerTest::SetUp();
    if (HasFatalFailure())
        return;
    // The captcha's page runs in the web engine, which draws on a display.
    std::string why;
    if (!XvfbDisplay::shared(&why))
        GTEST_SKIP() << why;
    ZV_Network::shared().setUI(nullptr);
    UIApplication::shared().resetForTesting();
    auto delegate = std::make_shared<WindowDelegate>();
    window = sharedWindow();
    delegate->m_window = window;
    UIApplication::shared().setDelegate(delegate);
    root = UIViewController::create();
    navigation = std::make_shared<ZVNavigationController>(root);
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    drain();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    m_loginToken = center.addObserver("loginSuccess", [this](const Notification&) { ++logins; });
    m_logoutToken = center.addObserver("logoutSuccess", [this](const Notification&) { ++logouts; });
}

void AccountScreenTest::TearDown()
{
    if (!root)
        return ApiServerTest::TearDown();
    NotificationCenter::defaultCenter().removeObserver(m_loginToken);
    NotificationCenter::defaultCenter().removeObserver(m_logoutToken);
    if (root->presentedViewController())
        root->dismiss(false);
    for (const auto& subview : std::vector<std::shared_ptr<UIView>>(window->subviews())) {
        if (std::dynamic_pointer_cast<ZV_CaptchaView>(subview))
            subview->removeFromSuperview();
    }
    window->setRootViewController(nullptr);
    drain();
    // The same window comes back for the next test; meanwhile it is not on screen.
    window->setHidden(true);
    QMUITips::hideAllTips();
    UIApplication::shared().resetForTesting();
    ApiServerTest::TearDown();
}

void AccountScreenTest::push(const std::shared_ptr<UIViewController>& screen)
{
    navigation->pushViewController(screen, false);
    drain();
    settle();
}

void AccountScreenTest::type(QMUITextField& field, const std::string& text)
{
    field.clear();
    field.insertText(text);
}

std::shared_ptr<ZV_CaptchaView> AccountScreenTest::captcha() const
{
    const auto& subviews = window->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (auto overlay = std::dynamic_pointer_cast<ZV_CaptchaView>(*it))
            return overlay;
    }
    return nullptr;
}

bool AccountScreenTest::passCaptcha()
{
    std::string result = captchaResult();
    return !result.empty() && answerCaptcha(result);
}

bool AccountScreenTest::answerCaptcha(const std::string& result)
{
    std::shared_ptr<ZV_CaptchaView> overlay = captcha();
    if (!overlay || !waitFor([&] { return overlay->zv_webView()->hasPage(); }))
        return false;
    return overlay->zv_webView()->callFromPage("jsIOS", result).has_value();
}

std::optional<std::string> AccountScreenTest::awaitErrorTip()
{
    auto lastError = [] {
        std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
        return !tips.empty() && tips.back().kind == QMUITips::Kind::error;
    };
    if (!waitFor(lastError))
        return std::nullopt;
    return QMUITips::visibleTips().back().text;
}

std::string AccountScreenTest::spentCaptchaResult()
{
    std::string result = captchaResult();
    auto answered = std::make_shared<bool>(false);
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::getCode,
        JSON::object(
            { { "to", JSON(freshPhone()) }, { "send_type", JSON("phone") }, { "captcha", JSON(result) } }),
        false, [answered](std::optional<JSON>, std::optional<NSError>) { *answered = true; });
    runUntil([&] { return *answered; });
    return result;
}

std::string AccountScreenTest::forgedCaptchaResult()
{
    return R"({"ticket":"t-forged-by-hand","randstr":"@forged"})";
}

testserver::SampleAccounts& AccountScreenTest::accounts()
{
    static std::shared_ptr<testserver::SampleAccounts> accounts;
    accounts = testserver::SampleAccounts::of(api());
    return *accounts;
}

std::string AccountScreenTest::freshPhone()
{
    std::string digits = std::to_string(nextSerial() % 100'000'000);
    return "139" + std::string(8 - digits.size(), '0') + digits;
}

std::string AccountScreenTest::freshEmail()
{
    return "viewer" + std::to_string(nextSerial()) + "@mail.example";
}

std::optional<std::string> AccountScreenTest::registerByPhone(
    const std::string& phone, const std::string& password)
{
    return registerBy(true, phone, password);
}

std::optional<std::string> AccountScreenTest::registerByEmail(
    const std::string& email, const std::string& password)
{
    return registerBy(false, email, password);
}

std::optional<std::string> AccountScreenTest::registerBy(
    bool phone, const std::string& to, const std::string& password)
{
    auto ask = [](HTTPMethod method, std::variant<ZV_API, std::string> endpoint, JSON parameters) {
        auto got = std::make_shared<std::optional<Reply>>();
        auto completion = [got](std::optional<JSON> json, std::optional<NSError> error) {
            *got = Reply { json, error };
        };
        if (auto* api = std::get_if<ZV_API>(&endpoint))
            ZV_Network::shared().request(method, BaseURLs::main_url(), *api, parameters, false, completion);
        else
            ZV_Network::shared().request(
                method, BaseURLs::main_url(), std::get<std::string>(endpoint), parameters, completion);
        runUntil([&] { return got->has_value(); });
        return *got;
    };
    ask(HTTPMethod::GET, ZV_API::getCode,
        JSON::object({ { "to", JSON(to) }, { "send_type", JSON(phone ? "phone" : "email") },
            { "captcha", JSON(captchaResult()) } }));
    std::optional<std::string> code = accounts().lastCode(to);
    if (!code)
        return std::nullopt;
    std::optional<Reply> reply
        = ask(HTTPMethod::POST, std::string(phone ? "v1/user/register/phone" : "v1/user/register/email"),
            JSON::object({ { phone ? "phone" : "email", JSON(to) }, { "password", JSON(password) },
                { phone ? "sms_code" : "email_code", JSON(*code) } }));
    if (!reply || !reply->json)
        return std::nullopt;
    std::string token = std::as_const(*reply->json)["access_token"].stringValue();
    return token.empty() ? std::nullopt : std::optional(token);
}

}
