#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/DeviceShellPageCommands.h"
#include "platform/ui/web/DWKWebView.h"
#include "tests/platform/net/NetTestFixture.h"

#include <gtest/gtest.h>

using testserver::Reply;

namespace {

class NavigationRecorder : public WKNavigationDelegate {
public:
    void didFinishNavigation(WKWebView&) override { ++finished; }
    void didFailNavigation(WKWebView&, const NSError& error) override { failures.push_back(error); }

    int finished = 0;
    std::vector<NSError> failures;
    int calls() const { return finished + static_cast<int>(failures.size()); }
};

// The captcha page's result goes to the app through this object, as the account screens use it.
class CaptchaBridge : public JavascriptObject {
public:
    CaptchaBridge()
    {
        exportMethod("jsIOS", [this](const std::string& argument) {
            received.push_back(argument);
            return std::string("[Swift sync call:jsIOS]");
        });
    }
    std::vector<std::string> received;
};

class WebView : public zvtest::NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        HTTPClient::shared().setTrustedCAFile((zvtest::testKeysDir() / "ca.pem").string());
        web = std::make_shared<DWKWebView>(CGRect { 0, 0, 326, 326 });
        web->setNavigationDelegate(recorder);
    }

    // Loads and waits (real time) for the delegate to hear the end of it.
    void load(const std::string& url, double timeout = 10)
    {
        int before = recorder->calls();
        web->load({ url, URLRequestCachePolicy::useProtocolCachePolicy, timeout });
        ASSERT_TRUE(runUntil([&] { return recorder->calls() > before; }, 20)) << url;
    }

    std::shared_ptr<NavigationRecorder> recorder = std::make_shared<NavigationRecorder>();
    std::shared_ptr<DWKWebView> web;
};

}

TEST_F(WebView, CaptchaPageReachesTheBridgeAndClosesItsWindow)
{
    auto bridge = std::make_shared<CaptchaBridge>();
    web->addJavascriptObject(bridge, std::nullopt);
    int closes = 0;
    web->setJavascriptCloseWindowListener([&] { ++closes; });

    // Nothing reaches the bridge before a page is shown.
    std::string why;
    EXPECT_FALSE(web->callFromPage("jsIOS", "{}", &why));
    EXPECT_EQ(why, "no page is shown");
    EXPECT_FALSE(web->closeWindowFromPage());

    load(https("/captcha.html"));
    ASSERT_EQ(recorder->finished, 1);
    EXPECT_TRUE(web->hasPage());
    EXPECT_EQ(web->title(), "安全验证");
    EXPECT_NE(web->pageText().find("请完成安全验证"), std::string::npos);
    EXPECT_EQ(web->pageText().find("jsIOS"), std::string::npos) << "the page's script shows as text";

    const std::string result = R"({"ticket":"t-1","randstr":"@x1"})";
    EXPECT_EQ(web->callFromPage("jsIOS", result), "[Swift sync call:jsIOS]");
    EXPECT_EQ(bridge->received, std::vector<std::string> { result });

    // Names the bridge does not publish are refused; a namespace reaches its own object.
    EXPECT_FALSE(web->callFromPage("jsAndroid", "x", &why));
    EXPECT_EQ(why, "the bridge has no method \"jsAndroid\"");
    EXPECT_FALSE(web->callFromPage("account.jsIOS", "x", &why));
    auto account = std::make_shared<CaptchaBridge>();
    web->addJavascriptObject(account, "account");
    EXPECT_TRUE(web->callFromPage("account.jsIOS", "y"));
    EXPECT_EQ(account->received, std::vector<std::string> { "y" });
    EXPECT_EQ(bridge->received.size(), 1u);

    EXPECT_TRUE(web->closeWindowFromPage());
    EXPECT_EQ(closes, 1);

    // Device scripts reach the shown web view through the shell's commands.
    using Result = std::optional<std::optional<std::string>>;
    const Result success = std::optional<std::string>();
    EXPECT_EQ(
        runPageCommand("js-call", "jsIOS {\"ticket\": \"t 2\"}"), Result("no bridge web view on screen"));
    UIApplication::shared().resetForTesting();
    auto window = std::make_shared<UIWindow>();
    window->addSubview(web);
    window->makeKeyAndVisible();
    EXPECT_EQ(runPageCommand("js-call", "jsIOS {\"ticket\": \"t 2\"}"), success);
    EXPECT_EQ(bridge->received.back(), "{\"ticket\": \"t 2\"}");
    EXPECT_EQ(runPageCommand("js-call", "jsAndroid x"),
        Result("js-call jsAndroid: the bridge has no method \"jsAndroid\""));
    EXPECT_EQ(runPageCommand("js-close", ""), success);
    EXPECT_EQ(closes, 2);
    web->removeFromSuperview();
    window.reset();
    UIApplication::shared().resetForTesting();

    // The view does not keep the bridge object alive: its owner does.
    bridge.reset();
    EXPECT_FALSE(web->callFromPage("jsIOS", "z"));
}

TEST_F(WebView, PagesThatFailToLoadSayWhy)
{
    server->script(
        "/huge.html", Reply::text(200, std::string(WKWebView::maxPageBytes + 1, 'x'), "text/html"));
    server->script("/picture.png", Reply::text(200, "\x89PNG", "image/png"));
    server->script("/slow.html", [] {
        Reply reply = Reply::text(200, "<title>slow</title>", "text/html");
        reply.delay = std::chrono::milliseconds(3000);
        return reply;
    }());
    std::unique_ptr<testserver::TestServer> gone
        = testserver::TestServer::start({ zvtest::testKeysDir(), {} });
    ASSERT_TRUE(gone);
    std::string refused = gone->httpURL() + "/captcha.html";
    gone->stop();

    struct Case {
        std::string url;
        const char* domain;
        long code;
    };
    const std::vector<Case> cases = {
        { refused, WKWebView::urlErrorDomain, WKWebView::cannotConnectToHost },
        { "captcha.html", WKWebView::urlErrorDomain, WKWebView::unsupportedURL },
        { "ftp://127.0.0.1/captcha.html", WKWebView::urlErrorDomain, WKWebView::unsupportedURL },
        { https("/huge.html"), WKWebView::urlErrorDomain, WKWebView::dataLengthExceedsMaximum },
        { https("/picture.png"), WKWebView::webKitErrorDomain, WKWebView::frameLoadInterrupted },
    };
    for (const auto& c : cases) {
        load(c.url);
        ASSERT_EQ(recorder->failures.size(), static_cast<std::size_t>(&c - cases.data() + 1)) << c.url;
        const NSError& error = recorder->failures.back();
        EXPECT_EQ(error.domain, c.domain) << c.url;
        EXPECT_EQ(error.code, c.code) << c.url;
        EXPECT_FALSE(web->hasPage()) << c.url;
        EXPECT_FALSE(web->isLoading()) << c.url;
        EXPECT_EQ(web->lastError(), error) << c.url;
        EXPECT_FALSE(web->callFromPage("jsIOS", "x")) << c.url;
    }
    EXPECT_EQ(recorder->finished, 0);

    // A page that takes longer than the request's time-out.
    load(https("/slow.html"), 0.5);
    EXPECT_EQ(recorder->failures.back().code, WKWebView::timedOut);

    // An error status is a page like any other: the server's own error page shows.
    load(https("/no-such-page.html"));
    EXPECT_EQ(recorder->finished, 1);
    EXPECT_TRUE(web->hasPage());
}

TEST_F(WebView, ANewLoadReplacesOneStillRunning)
{
    server->script("/slow.html", [] {
        Reply reply = Reply::text(200, "<title>slow</title>", "text/html");
        reply.delay = std::chrono::milliseconds(300);
        return reply;
    }());
    web->load({ https("/slow.html") });
    load(https("/help.html"));
    EXPECT_EQ(web->title(), "帮助中心");
    // The first reply, arriving later, changes nothing.
    runUntil([] { return false; }, 0.6);
    EXPECT_EQ(recorder->calls(), 1);
    EXPECT_EQ(web->title(), "帮助中心");
}
