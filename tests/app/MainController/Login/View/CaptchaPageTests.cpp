// The captcha overlay with its page running in the web engine, as a person meets it: a knob
// dragged to the end of its track signs the viewer in, a short drag leaves the page waiting, and
// every other way out (a tap beside the page, the page closing itself, a page that never comes or
// whose process dies) sends nothing and leaves the app as responsive as before.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "platform/ui/web/DWKWebView.h"
#include "tests/app/support/AccountTestSupport.h"

#include <csignal>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace zvtest;

namespace {

// The sample account of the server's data.
constexpr const char* kCaptchaUser = "xiaoyu2023";
constexpr const char* kCaptchaPassword = "rain-over-2023";
constexpr const char* kCaptchaToken = "tk-301877-first";

// The process ids of the program's descendants whose command is `name` (as the kernel cuts it).
std::vector<pid_t> captchaTestDescendants(const std::string& name)
{
    std::map<pid_t, pid_t> parents;
    std::map<pid_t, std::string> names;
    DIR* proc = opendir("/proc");
    if (!proc)
        return {};
    while (dirent* entry = readdir(proc)) {
        pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (pid <= 0 || !std::getline(stat, line))
            continue;
        auto open = line.find('(');
        auto close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        rest >> state >> parents[pid];
        names[pid] = line.substr(open + 1, close - open - 1);
    }
    closedir(proc);
    std::vector<pid_t> found;
    for (const auto& [pid, command] : names) {
        for (pid_t up = parents[pid]; command == name.substr(0, 15) && up > 1; up = parents[up]) {
            if (up == getpid()) {
                found.push_back(pid);
                break;
            }
        }
    }
    return found;
}

class CaptchaPageTest : public AccountScreenTest {
protected:
    // The login page with the fields filled and its button tapped: the captcha overlay's page up.
    std::shared_ptr<ZV_CaptchaView> openCaptchaFromLogin()
    {
        login = std::make_shared<ZV_LoginViewVC>();
        auto stack = std::make_shared<ZVNavigationController>(login);
        stack->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        root->present(stack, true);
        settle();
        type(*login->zv_accountField(), kCaptchaUser);
        type(*login->zv_passwdField(), kCaptchaPassword);
        if (!tap(*login->zv_loginBtn()))
            return nullptr;
        return shown(captcha());
    }

    // Waits until the overlay's page is loaded and drawn.
    std::shared_ptr<ZV_CaptchaView> shown(std::shared_ptr<ZV_CaptchaView> overlay)
    {
        if (!overlay)
            return nullptr;
        const auto& web = overlay->zv_webView();
        if (!waitFor([&] { return web->hasPage() && web->hasPainted() && !web->pageText().empty(); }))
            return nullptr;
        return overlay;
    }

    // A finger from the knob's centre along the track to x (page points), as a person drags.
    bool dragKnob(ZV_CaptchaView& overlay, CGFloat x)
    {
        overlay.layoutIfNeeded();
        const auto& web = overlay.zv_webView();
        CGPoint origin = web->convert(CGPoint { 0, 0 }, nullptr);
        return finger.drag({ origin.x + 43, origin.y + 200 }, { origin.x + x, origin.y + 200 }, 0.5);
    }

    // Whether the page's script finds `expression` true within a few seconds of real time.
    bool waitForPage(ZV_CaptchaView& overlay, const std::string& expression)
    {
        return waitFor([&] {
            // Shared with the completion, which may come after this wait has given up.
            auto value = std::make_shared<std::optional<std::string>>();
            overlay.zv_webView()->evaluateJavaScript(
                expression, [value](std::optional<std::string> json, std::optional<NSError>) {
                    *value = json.value_or("error");
                });
            return waitFor([&] { return value->has_value(); }) && **value == "true";
        });
    }

    std::size_t loginRequests() const { return api().recordsTo("v1/user/login").size(); }

    // Real time passes with each step of a gesture, for the page's process to follow it.
    TouchDriver finger { [](double seconds) {
        advance(seconds);
        runUntil([] { return false; }, seconds);
    } };
    std::shared_ptr<ZV_LoginViewVC> login;
};

}

TEST_F(CaptchaPageTest, DraggingTheKnobToTheEndSignsInAndAShortDragLeavesThePage)
{
    std::shared_ptr<ZV_CaptchaView> overlay = openCaptchaFromLogin();
    ASSERT_TRUE(overlay);
    EXPECT_TRUE(Renderer::writePNG(Renderer::renderScreen(), screenshotPath("captcha-page.png")));

    ASSERT_TRUE(dragKnob(*overlay, 150));
    const auto& web = overlay->zv_webView();
    ASSERT_TRUE(waitFor([&] { return web->pageText().find("验证失败") != std::string::npos; }));
    // The knob springs back to the start, as a person waits to see it before trying again.
    ASSERT_TRUE(waitForPage(*overlay,
        "document.body.className === '' && "
        "getComputedStyle(document.getElementById('knob')).left === '23px'"));
    settle(1);
    EXPECT_EQ(overlay->superview(), window);
    EXPECT_EQ(loginRequests(), 0u);
    EXPECT_TRUE(server().requestsTo("/captcha/ticket").empty());

    ASSERT_TRUE(dragKnob(*overlay, 300));
    ASSERT_TRUE(waitFor([&] { return loginRequests() == 1; })) << web->pageText();
    // The ticket that the server's page got, whole, as the login request's captcha; the server
    // signs in only with a ticket it issued.
    EXPECT_EQ(server().requestsTo("/captcha/ticket").size(), 1u);
    std::optional<nlohmann::json> sent = api().recordsTo("v1/user/login").back().parameters;
    ASSERT_TRUE(sent);
    std::string captchaText = sent->value("captcha", "");
    nlohmann::json result = nlohmann::json::parse(captchaText, nullptr, false);
    ASSERT_TRUE(result.is_object()) << captchaText;
    EXPECT_FALSE(result.value("ticket", "").empty()) << captchaText;
    EXPECT_FALSE(result.value("randstr", "").empty()) << captchaText;
    EXPECT_NE(captchaText.find("\n"), std::string::npos) << "sent pretty-printed: " << captchaText;
    ASSERT_TRUE(waitFor([&] { return storedToken() == kCaptchaToken; }));
    EXPECT_EQ(logins, 1);
    // The page saw the bridge's answer to its synchronous call.
    std::optional<std::string> answer;
    web->evaluateJavaScript("document.getElementById('answer').textContent",
        [&](std::optional<std::string> json, std::optional<NSError>) { answer = json.value_or("error"); });
    ASSERT_TRUE(waitFor([&] { return answer.has_value(); }));
    EXPECT_EQ(*answer, "\"[Swift sync call:jsIOS]\"");
    settle(ZV_CaptchaView::fadeDuration + UIViewController::transitionDuration + 0.1);
    EXPECT_FALSE(overlay->superview());
    EXPECT_FALSE(captcha());
}

TEST_F(CaptchaPageTest, ATapBesideThePageOrItsCloseRequestEndsTheAttemptWithNothingSent)
{
    std::shared_ptr<ZV_CaptchaView> overlay = openCaptchaFromLogin();
    ASSERT_TRUE(overlay);
    // Inside the page a tap is the page's; beside it the attempt ends.
    ASSERT_TRUE(driver.tap({ screenBounds().size.width / 2, screenBounds().size.height / 2 }));
    settle();
    EXPECT_EQ(overlay->superview(), window);
    ASSERT_TRUE(driver.tap({ 5, 5 }));
    settle();
    EXPECT_FALSE(overlay->superview());

    ASSERT_TRUE(tap(*login->zv_loginBtn()));
    overlay = shown(captcha());
    ASSERT_TRUE(overlay);
    bool ran = false;
    overlay->zv_webView()->evaluateJavaScript(
        "window.close()", [&](std::optional<std::string>, std::optional<NSError>) { ran = true; });
    ASSERT_TRUE(waitFor([&] { return ran; }));
    settle();
    EXPECT_FALSE(overlay->superview());
    EXPECT_EQ(loginRequests(), 0u);
    EXPECT_EQ(logins, 0);
}

TEST_F(CaptchaPageTest, APageThatNeverComesOrWhoseProcessDiesLeavesTheOverlayToBeClosed)
{
    server().script("/never.html", [] {
        testserver::Reply reply = testserver::Reply::text(200, "<p>late</p>", "text/html");
        reply.delay = std::chrono::milliseconds(60000);
        return reply;
    }());
    BaseURLs::captcha_url() = serverURL() + "/never.html";
    std::shared_ptr<ZV_CaptchaView> overlay = ZV_CaptchaView::present([](const JSON&) { ADD_FAILURE(); });
    ASSERT_TRUE(overlay);
    ASSERT_TRUE(waitFor([&] { return !server().requestsTo("/never.html").empty(); }));
    // The page has 60 s on the main loop's clock, which goes on meanwhile.
    settle(59);
    const auto& web = overlay->zv_webView();
    EXPECT_TRUE(web->isLoading());
    EXPECT_FALSE(web->lastError());
    settle(1);
    EXPECT_FALSE(web->isLoading());
    ASSERT_TRUE(web->lastError());
    EXPECT_EQ(web->lastError()->code, WKWebView::timedOut);
    EXPECT_TRUE(TouchDriver::findText("无法打开网页"));
    ASSERT_TRUE(driver.tap({ 5, 5 }));
    settle();
    EXPECT_FALSE(overlay->superview());

    BaseURLs::captcha_url() = serverURL() + "/captcha.html";
    overlay = shown(ZV_CaptchaView::present([](const JSON&) { ADD_FAILURE(); }));
    ASSERT_TRUE(overlay);
    std::vector<pid_t> pages = captchaTestDescendants("WebKitWebProcess");
    ASSERT_FALSE(pages.empty());
    for (pid_t pid : pages)
        kill(pid, SIGKILL);
    ASSERT_TRUE(waitFor([&] { return overlay->zv_webView()->lastError().has_value(); }));
    EXPECT_EQ(overlay->zv_webView()->lastError()->code, WKWebView::webContentProcessTerminated);
    EXPECT_TRUE(TouchDriver::findText("无法打开网页"));
    ASSERT_TRUE(driver.tap({ 5, 5 }));
    settle();
    EXPECT_FALSE(overlay->superview());
    EXPECT_TRUE(server().requestsTo("/captcha/ticket").empty());
}
