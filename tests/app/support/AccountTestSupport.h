#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tools/testserver/SampleAccounts.h"

#include <memory>
#include <optional>
#include <string>

class QMUITextField;
class UINavigationController;
class UIViewController;
class ZV_CaptchaView;

namespace zvtest {

// The account screens against the sample API: the process-wide client, a key window over a
// plain root screen inside the app's navigation controller, counters of "loginSuccess" and
// "logoutSuccess", and the server's accounts and codes. The window is one for the whole program
// because the captcha finds the key window once and keeps it.
class AccountScreenTest : public ApiServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Pushes the screen on the root's navigation stack and lets the push finish.
    void push(const std::shared_ptr<UIViewController>& screen);
    // Runs the main loop's clock on, past a step fade or a transition.
    static void settle(double seconds = 1.0) { advance(seconds); }

    // Types into a field as the keyboard does (the page hears every edit).
    static void type(QMUITextField& field, const std::string& text);
    // A touch on the view where it shows.
    bool tap(const UIView& view) { return driver.tapView(view); }

    // The front-most captcha overlay on the window, if any.
    std::shared_ptr<ZV_CaptchaView> captcha() const;
    // Waits for the captcha page, then passes it with a ticket of the server: the page reports
    // its result through the bridge. False when there was no overlay, its page did not load or
    // the server gave no ticket.
    bool passCaptcha();
    // The same with what the page hands the app given here (a forged or spent ticket).
    bool answerCaptcha(const std::string& result);
    // Waits in real time until the condition holds (replies come from the server's thread).
    bool waitFor(const std::function<bool()>& condition) { return runUntil(condition); }
    // Waits for an error tip in front and gives its text; none when none came.
    std::optional<std::string> awaitErrorTip();
    // A captcha result of the server's that was used up already, and one it never gave out.
    std::string spentCaptchaResult();
    static std::string forgedCaptchaResult();

    static testserver::SampleAccounts& accounts();
    // A phone number or e-mail address nobody has used on this server.
    static std::string freshPhone();
    static std::string freshEmail();
    // Registers an account by phone through the API (code request and registration) and
    // returns its token; none when the server refused.
    std::optional<std::string> registerByPhone(const std::string& phone, const std::string& password);
    // The same by e-mail: an account with no phone.
    std::optional<std::string> registerByEmail(const std::string& email, const std::string& password);

    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIViewController> root;
    std::shared_ptr<UINavigationController> navigation;
    TouchDriver driver { [](double seconds) { advance(seconds); } };
    int logins = 0;
    int logouts = 0;

private:
    NotificationCenter::Token m_loginToken;
    NotificationCenter::Token m_logoutToken;

    std::optional<std::string> registerBy(bool phone, const std::string& to, const std::string& password);
};

}
