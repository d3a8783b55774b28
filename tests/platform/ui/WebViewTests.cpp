// The web views on the engine, against pages of a local server, on an X server of the test's own:
// the bridge as a page's script sees it, a drag as the page's handlers see it, the page's pixels
// in the view, typing and scrolling, and every way a load or a page can fail.

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/device/DeviceShell.h"
#include "platform/ui/device/DeviceShellPageCommands.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/web/DWKWebView.h"
#include "tests/display/XvfbDisplay.h"
#include "tests/platform/net/NetTestFixture.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using testserver::Reply;

extern char** environ;

namespace {

class NavigationRecorder : public WKNavigationDelegate {
public:
    void didFinishNavigation(WKWebView& view) override
    {
        ++finished;
        finishedTitles.push_back(view.title());
    }
    void didFailNavigation(WKWebView&, const NSError& error) override { failures.push_back(error); }
    void webContentProcessDidTerminate(WKWebView&) override { ++terminated; }

    int finished = 0;
    // The view's title as each load was told finished: the page it took for that load's.
    std::vector<std::string> finishedTitles;
    int terminated = 0;
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
            onMainThread = onMainThread && DispatchQueue::isMainThread();
            return std::string("[Swift sync call:jsIOS]");
        });
    }
    std::vector<std::string> received;
    bool onMainThread = true;
};

Reply page(const std::string& html)
{
    return Reply::text(200, "<!doctype html><meta charset=\"utf-8\">" + html, "text/html; charset=utf-8");
}

// The log's lines while it lives (any thread may write one).
class LogCapture {
public:
    LogCapture()
    {
        Log::setSink([this](std::string_view line) {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(line);
        });
    }
    ~LogCapture() { Log::setSink({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Lines that hold the words.
    std::size_t count(std::string_view words)
    {
        std::lock_guard lock(m_mutex);
        return std::count_if(m_lines.begin(), m_lines.end(),
            [&](const std::string& line) { return line.find(words) != std::string::npos; });
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// The page that a load of its own brings, held back by the server.
Reply latePage(int milliseconds)
{
    Reply reply = page("<title>新页</title><p>新页</p>");
    reply.delay = std::chrono::milliseconds(milliseconds);
    return reply;
}

// A page that stops the frame's next loads (as many as `stops` says, a number or Infinity) as
// soon as they leave it, as the engine itself now and then drops a load nobody stopped.
std::string stoppingPage(const std::string& stops)
{
    return R"(<title>旧页</title><p>旧页</p><script>
let left = )"
        + stops + R"(;
addEventListener("beforeunload", () => { if (left-- > 0) setTimeout(() => window.stop(), 0); });
</script>)";
}

// A slider as a challenge page lays one out for a 326 x 326 view: the knob's centre starts at
// (43, 200) and passes from x = 279 on; a pass reports through the bridge and closes the window,
// a short drag says so and springs back.
const char* const sliderPage = R"(<title>滑块</title>
<style>body{margin:0;width:326px;height:326px;font:16px sans-serif}
#track{position:absolute;left:23px;top:180px;width:280px;height:40px;background:#ddd;border-radius:20px}
#knob{position:absolute;left:23px;top:180px;width:40px;height:40px;background:#1a8;border-radius:20px;touch-action:none}</style>
<div id="track"></div><div id="knob"></div><p id="status">拖动滑块</p><p id="answer"></p>
<script>
const knob = document.getElementById("knob");
let start = null;
knob.addEventListener("pointerdown", (e) => { start = e.clientX; knob.setPointerCapture(e.pointerId); });
knob.addEventListener("pointermove", (e) => {
  if (start !== null) knob.style.left = Math.max(23, Math.min(263, 23 + e.clientX - start)) + "px";
});
knob.addEventListener("pointerup", (e) => {
  if (start === null) return;
  const centre = Math.max(23, Math.min(263, 23 + e.clientX - start)) + 20;
  start = null;
  if (centre >= 279) {
    document.getElementById("answer").textContent = appBridge.call("jsIOS", JSON.stringify({ ticket: "drag-1" }));
    window.close();
  } else {
    document.getElementById("status").textContent = "验证失败";
    knob.style.left = "23px";
  }
});
</script>)";

// The process ids of the program's descendants whose command is `name` (as the kernel cuts it).
std::vector<pid_t> descendantsNamed(const std::string& name)
{
    std::map<pid_t, pid_t> parents;
    std::map<pid_t, std::string> names;
    DIR* proc = opendir("/proc");
    if (!proc)
        return {};
    while (dirent* entry = readdir(proc)) {
        pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0)
            continue;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        auto open = line.find('(');
        auto close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        parents[pid] = parent;
        names[pid] = line.substr(open + 1, close - open - 1);
    }
    closedir(proc);
    std::vector<pid_t> found;
    for (const auto& [pid, command] : names) {
        if (command != name.substr(0, 15))
            continue;
        for (pid_t up = parents[pid]; up > 1; up = parents[up]) {
            if (up == getpid()) {
                found.push_back(pid);
                break;
            }
        }
    }
    return found;
}

// The colour of a pixel of an image (0xRRGGBB).
std::uint32_t pixelAt(const UIImage& image, int x, int y)
{
    cairo_surface_t* surface = image.cairoSurface();
    if (!surface || x >= cairo_image_surface_get_width(surface)
        || y >= cairo_image_surface_get_height(surface))
        return 0xFFFFFFFF;
    cairo_surface_flush(surface);
    auto* row = cairo_image_surface_get_data(surface)
        + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

class WebView : public zvtest::NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        std::string why;
        if (!zvtest::XvfbDisplay::shared(&why))
            GTEST_SKIP() << why;
        HTTPClient::shared().setTrustedCAFile((zvtest::testKeysDir() / "ca.pem").string());
        UIApplication::shared().resetForTesting();
        window = std::make_shared<UIWindow>();
        web = std::make_shared<DWKWebView>(CGRect { 32, 259, 326, 326 });
        web->setNavigationDelegate(recorder);
        web->addJavascriptObject(bridge, std::nullopt);
        web->setJavascriptCloseWindowListener([this] { ++closes; });
        window->addSubview(web);
        window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        if (web)
            web->removeFromSuperview();
        if (window)
            window->setHidden(true);
        window.reset();
        UIApplication::shared().resetForTesting();
        UIKeyboard::shared().resetForTesting();
        HTTPClient::shared().setTrustedCAFile("");
        NetTest::TearDown();
    }

    // Loads and waits (real time) for the delegate to hear the end of it.
    void load(const std::string& url, double timeout = 60)
    {
        int before = recorder->calls();
        web->load({ url, URLRequestCachePolicy::useProtocolCachePolicy, timeout });
        ASSERT_TRUE(runUntil([&] { return recorder->calls() > before; }, 30)) << url;
    }

    // Loads a page and waits until it is drawn and its text is known.
    void show(const std::string& path, const std::string& html)
    {
        server->script(path, page(html));
        load(http(path));
        ASSERT_TRUE(web->hasPage()) << web->lastError().value_or(NSError {}).localizedDescription();
        ASSERT_TRUE(runUntil([&] { return web->hasPainted() && !web->pageText().empty(); }, 30))
            << web->hasPainted() << " [" << web->pageText() << "]";
    }

    // The page's value of the script as JSON text; empty on failure.
    std::string evaluate(const std::string& script)
    {
        std::optional<std::string> value;
        bool done = false;
        web->evaluateJavaScript(script, [&](std::optional<std::string> json, std::optional<NSError> error) {
            value = json ? *json : "error: " + error->localizedDescription();
            done = true;
        });
        EXPECT_TRUE(runUntil([&] { return done; }, 30)) << script;
        return value.value_or("");
    }

    // Real time passes with each step of a gesture, as for a person's finger.
    TouchDriver driver { [](double seconds) {
        RunLoop::main().advance(seconds);
        RunLoop::main().runUntil([] { return false; }, seconds);
    } };
    CGPoint onScreen(CGPoint inView) const { return { inView.x + 32, inView.y + 259 }; }

    std::shared_ptr<NavigationRecorder> recorder = std::make_shared<NavigationRecorder>();
    std::shared_ptr<CaptchaBridge> bridge = std::make_shared<CaptchaBridge>();
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<DWKWebView> web;
    int closes = 0;
};

}

TEST_F(WebView, PagesCallTheBridgeSynchronouslyAndCloseTheirWindow)
{
    auto account = std::make_shared<CaptchaBridge>();
    web->addJavascriptObject(account, "account");
    show("/bridge.html", R"(<title>桥</title><p id="out"></p><script>
const answers = [
  appBridge.call("jsIOS", JSON.stringify({ ticket: "t-1", randstr: "@x1" })),
  appBridge.call("account.jsIOS", "y"),
  appBridge.call("jsAndroid", "x"),
  appBridge.call("jsIOS", 42),
];
document.getElementById("out").textContent = JSON.stringify(answers);
</script>)");
    EXPECT_TRUE(runUntil([&] { return web->title() == "桥"; }, 30)) << web->title();
    EXPECT_EQ(evaluate("document.getElementById('out').textContent"),
        R"("[\"[Swift sync call:jsIOS]\",\"[Swift sync call:jsIOS]\",null,\"[Swift sync call:jsIOS]\"]")");
    EXPECT_EQ(bridge->received, (std::vector<std::string> { R"({"ticket":"t-1","randstr":"@x1"})", "42" }));
    EXPECT_EQ(account->received, std::vector<std::string> { "y" });
    EXPECT_TRUE(bridge->onMainThread);

    EXPECT_EQ(closes, 0);
    evaluate("window.close()");
    EXPECT_EQ(closes, 1);

    // A page that navigates on finds the bridge again at the start of its document.
    show("/again.html", R"(<p id="out"></p><script>
document.getElementById("out").textContent = appBridge.call("jsIOS", "again");</script>)");
    ASSERT_FALSE(bridge->received.empty());
    EXPECT_EQ(bridge->received.back(), "again");

    // Device scripts reach the shown web view through the shell's commands.
    using Result = std::optional<std::optional<std::string>>;
    EXPECT_EQ(runPageCommand("js-call", "jsIOS {\"ticket\": \"t 2\"}"), Result(std::optional<std::string>()));
    EXPECT_EQ(bridge->received.back(), "{\"ticket\": \"t 2\"}");
    EXPECT_EQ(runPageCommand("js-close", ""), Result(std::optional<std::string>()));
    EXPECT_EQ(closes, 2);

    // The view does not keep the bridge object alive: its owner does.
    bridge.reset();
    EXPECT_EQ(evaluate("appBridge.call('jsIOS', 'z')"), "null");
}

TEST_F(WebView, PlainWebViewsOfferNoBridge)
{
    auto plain = std::make_shared<WKWebView>(CGRect { 0, 0, 200, 200 });
    auto delegate = std::make_shared<NavigationRecorder>();
    plain->setNavigationDelegate(delegate);
    server->script("/plain.html", page("<title>平</title><p>帮助</p>"));
    plain->load({ http("/plain.html") });
    ASSERT_TRUE(runUntil([&] { return delegate->calls() > 0; }, 30));
    ASSERT_TRUE(plain->hasPage());
    std::optional<std::string> kind;
    plain->evaluateJavaScript("typeof window.appBridge",
        [&](std::optional<std::string> json, std::optional<NSError>) { kind = json.value_or("error"); });
    ASSERT_TRUE(runUntil([&] { return kind.has_value(); }, 30));
    EXPECT_EQ(*kind, "\"undefined\"");
}

TEST_F(WebView, ADragReachesThePagesHandlersAndAShortOneDoesNot)
{
    show("/slider.html", sliderPage);
    // A short drag: the page says so, the knob springs back, nothing reaches the bridge.
    ASSERT_TRUE(driver.drag(onScreen({ 43, 200 }), onScreen({ 180, 200 }), 0.4));
    ASSERT_TRUE(runUntil([&] { return web->pageText().find("验证失败") != std::string::npos; }, 30));
    EXPECT_EQ(evaluate("document.getElementById('knob').style.left"), "\"23px\"");
    EXPECT_TRUE(bridge->received.empty());
    EXPECT_EQ(closes, 0);

    // To the end of the track: the page reports and closes its window.
    ASSERT_TRUE(driver.drag(onScreen({ 43, 200 }), onScreen({ 295, 200 }), 0.4));
    ASSERT_TRUE(runUntil([&] { return closes == 1; }, 30));
    EXPECT_EQ(bridge->received, std::vector<std::string> { R"({"ticket":"drag-1"})" });
    EXPECT_EQ(evaluate("document.getElementById('answer').textContent"), "\"[Swift sync call:jsIOS]\"");
}

TEST_F(WebView, ThePageIsDrawnAtTheScreensScaleAndAgainWhenItChanges)
{
    show("/boxes.html", R"HTML(<body style="margin:0;background:#fff">
<div id="box" style="position:absolute;left:10px;top:20px;width:100px;height:50px;background:rgb(255,0,0)"></div>
<p style="position:absolute;top:200px;left:10px">图</p>)HTML");
    UIImage picture = Renderer::render(*web, 3);
    ASSERT_EQ(picture.pixelWidth(), 978);
    EXPECT_EQ(pixelAt(picture, 60 * 3, 45 * 3), 0xFF0000u);
    EXPECT_EQ(pixelAt(picture, 200 * 3, 100 * 3), 0xFFFFFFu);
    // Sharp at the device's pixels: the box's edge falls between two pixels.
    EXPECT_EQ(pixelAt(picture, 10 * 3, 45 * 3), 0xFF0000u);
    EXPECT_EQ(pixelAt(picture, 10 * 3 - 1, 45 * 3), 0xFFFFFFu);

    evaluate("document.getElementById('box').style.background = 'rgb(0,0,255)'");
    EXPECT_TRUE(
        runUntil([&] { return pixelAt(Renderer::render(*web, 3), 60 * 3, 45 * 3) == 0x0000FFu; }, 30));

    // A smaller view: the page is laid out and drawn again at its new size.
    web->setFrame({ 32, 259, 200, 150 });
    window->layoutIfNeeded();
    EXPECT_FALSE(web->hasPainted());
    ASSERT_TRUE(runUntil([&] { return web->hasPainted(); }, 30));
    EXPECT_EQ(evaluate("innerWidth"), "200");
    picture = Renderer::render(*web, 3);
    EXPECT_EQ(picture.pixelWidth(), 600);
    EXPECT_EQ(pixelAt(picture, 60 * 3, 45 * 3), 0x0000FFu);
}

TEST_F(WebView, TypingReachesTheFocusedFieldOfThePage)
{
    show("/form.html",
        R"(<input id="name" style="position:absolute;left:10px;top:10px;width:200px;height:40px">
<p id="sent"></p><script>
document.getElementById("name").addEventListener("keydown", (e) => {
  if (e.key === "Enter") document.getElementById("sent").textContent = "sent:" + e.target.value;
});</script>)");
    EXPECT_FALSE(web->isFirstResponder());
    ASSERT_TRUE(driver.tap(onScreen({ 100, 30 })));
    ASSERT_TRUE(runUntil([&] { return web->isFirstResponder(); }, 30));
    EXPECT_TRUE(UIKeyboard::shared().isVisible());

    EXPECT_TRUE(driver.type("你好ab"));
    EXPECT_TRUE(driver.deleteBackward());
    EXPECT_TRUE(driver.pressReturn());
    ASSERT_TRUE(runUntil([&] { return web->pageText().find("sent:你好a") != std::string::npos; }, 30))
        << web->pageText();

    // The keyboard goes: the field loses the page's focus.
    web->resignFirstResponder();
    EXPECT_EQ(evaluate("document.activeElement === document.getElementById('name')"), "false");
}

TEST_F(WebView, AFingerScrollsALongPageAndTheWheelToo)
{
    show("/long.html", R"(<body style="margin:0"><p>顶部</p><div style="height:3000px"></div><p>底部</p>)");
    ASSERT_EQ(evaluate("scrollY"), "0");
    ASSERT_TRUE(driver.drag(onScreen({ 160, 300 }), onScreen({ 160, 50 }), 0.3));
    std::string scrolled = evaluate("scrollY");
    EXPECT_GT(std::stoi(scrolled), 200) << scrolled;

    web->scrollByWheel({ 160, 160 }, { 0, 100 });
    EXPECT_TRUE(runUntil([&] { return std::stoi(evaluate("scrollY")) >= std::stoi(scrolled) + 97; }, 5))
        << evaluate("scrollY") << " " << scrolled;
}

TEST_F(WebView, LoadsThatFailSayWhyInThePlaceOfThePage)
{
    server->script("/download.bin", Reply::text(200, std::string(1000, 'x'), "application/octet-stream"));
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
        { https("/download.bin"), WKWebView::webKitErrorDomain, WKWebView::frameLoadInterrupted },
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
        // The view says so, with the address.
        EXPECT_TRUE(TouchDriver::findText("无法打开网页")) << c.url;
    }
    EXPECT_EQ(recorder->finished, 0);

    // An error status is a page like any other: the server's own error page shows.
    load(https("/no-such-page.html"));
    EXPECT_EQ(recorder->finished, 1);
    EXPECT_TRUE(web->hasPage());
    EXPECT_FALSE(TouchDriver::findText("无法打开网页"));
}

TEST_F(WebView, APageThatNeverComesTimesOutOnTheRunLoopsClock)
{
    server->script("/never.html", [] {
        Reply reply = page("<p>late</p>");
        reply.delay = std::chrono::milliseconds(60000);
        return reply;
    }());
    web->load({ http("/never.html"), URLRequestCachePolicy::useProtocolCachePolicy, 60 });
    ASSERT_TRUE(runUntil([&] { return !server->requestsTo("/never.html").empty(); }, 30));
    advance(59);
    EXPECT_TRUE(web->isLoading());
    advance(1);
    ASSERT_EQ(recorder->failures.size(), 1u);
    EXPECT_EQ(recorder->failures[0].code, WKWebView::timedOut);
    EXPECT_FALSE(web->isLoading());

    // The view goes on: the next load shows its page.
    show("/next.html", "<p>下一页</p>");
}

TEST_F(WebView, CertificatesAreCheckedAgainstTheTrustedAuthorities)
{
    show("/secure.html", "<title>安全</title><p>可信</p>");
    load(https("/secure.html"));
    EXPECT_TRUE(web->hasPage());
    // The title may follow the end of the load by a moment.
    EXPECT_TRUE(runUntil([&] { return web->title() == "安全"; }, 30)) << web->title();

    // A server whose certificate another authority signed.
    zvtest::TempDir otherKeys;
    zvtest::makeTestKeys(otherKeys / "keys");
    std::unique_ptr<testserver::TestServer> other = testserver::TestServer::start({ otherKeys / "keys", {} });
    ASSERT_TRUE(other);
    other->script("/secure.html", page("<title>别处</title>"));
    load(other->httpsURL() + "/secure.html");
    // The refusal ends the load: the page shown before is not its page.
    ASSERT_EQ(recorder->failures.size(), 1u) << web->title();
    EXPECT_EQ(recorder->failures.back().code, WKWebView::serverCertificateUntrusted);
    EXPECT_FALSE(web->hasPage());
    EXPECT_TRUE(other->requestsTo("/secure.html").empty());

    // Trusted once its authority is configured, also by a path relative to the working folder.
    std::filesystem::path relative = std::filesystem::relative(otherKeys / "keys" / "ca.pem");
    ASSERT_TRUE(relative.is_relative()) << relative;
    HTTPClient::shared().setTrustedCAFile(relative.string());
    load(other->httpsURL() + "/secure.html");
    EXPECT_TRUE(web->hasPage()) << web->lastError().value_or(NSError {}).localizedDescription();
    EXPECT_TRUE(runUntil([&] { return web->title() == "别处"; }, 30)) << web->title();
    EXPECT_EQ(other->requestsTo("/secure.html").size(), 1u);
}

TEST_F(WebView, ALoadDroppedBeforeItsPageCameIsMadeAgainAndNeverShowsThePageBefore)
{
    // The pages shown first stop the frame's next load (the first, or every one).
    server->script("/new.html", latePage(300));
    // Never before the page's stop, however slow the machine.
    server->script("/later.html", latePage(20000));

    show("/stops-once.html", stoppingPage("1"));
    load(http("/new.html"));
    EXPECT_TRUE(recorder->failures.empty());
    ASSERT_TRUE(runUntil([&] { return web->pageText().find("新页") != std::string::npos; }, 30))
        << web->pageText();
    EXPECT_EQ(web->title(), "新页");

    // A page that stops its own loading once it is shown is that page, loaded once.
    Reply picture = Reply::text(200, "", "image/png");
    picture.delay = std::chrono::milliseconds(20000);
    server->script("/slow.png", picture);
    show("/stops-itself.html", R"(<title>自停</title><p>自停</p><img src="/slow.png">
<script>setTimeout(() => window.stop(), 0);</script>)");
    EXPECT_EQ(web->title(), "自停");
    EXPECT_EQ(server->requestsTo("/stops-itself.html").size(), 1u);

    // A load dropped every time it is made ends as cancelled, not as the page before.
    show("/stops-always.html", stoppingPage("Infinity"));
    load(http("/later.html"));
    ASSERT_EQ(recorder->failures.size(), 1u) << web->title();
    EXPECT_EQ(recorder->failures[0].code, WKWebView::cancelled);
    EXPECT_FALSE(web->hasPage());
    EXPECT_EQ(web->title(), "");
    EXPECT_TRUE(TouchDriver::findText("无法打开网页"));

    // A secure load dropped so is judged by its server's certificate, which no authority trusts
    // here: refused, as the engine refuses it.
    zvtest::TempDir otherKeys;
    zvtest::makeTestKeys(otherKeys / "keys");
    std::unique_ptr<testserver::TestServer> other = testserver::TestServer::start({ otherKeys / "keys", {} });
    ASSERT_TRUE(other);
    load(other->httpsURL() + "/secure.html");
    ASSERT_EQ(recorder->failures.size(), 2u);
    EXPECT_EQ(recorder->failures.back().code, WKWebView::serverCertificateUntrusted);
}

// A dropped load is made again four times at most: dropped four times, it shows its page at the
// fifth; dropped a fifth time, it fails as cancelled.
TEST_F(WebView, ADroppedLoadIsMadeAgainFourTimesAtMost)
{
    // Held back long enough that every stop comes first, however slow the machine; only the load
    // that is left alone waits for it.
    server->script("/kept.html", latePage(2000));
    LogCapture log;
    struct Case {
        int drops;
        bool shown;
    };
    for (const Case& c : { Case { 4, true }, Case { 5, false } }) {
        SCOPED_TRACE(c.drops);
        show("/drops-" + std::to_string(c.drops) + ".html", stoppingPage(std::to_string(c.drops)));
        log.clear();
        std::size_t failures = recorder->failures.size();
        load(http("/kept.html"));
        EXPECT_EQ(log.count("the engine dropped its load; loading it again"), 4u);
        if (c.shown) {
            EXPECT_EQ(recorder->failures.size(), failures);
            EXPECT_TRUE(web->hasPage());
            EXPECT_TRUE(runUntil([&] { return web->pageText().find("新页") != std::string::npos; }, 30))
                << web->pageText();
        } else {
            ASSERT_EQ(recorder->failures.size(), failures + 1);
            EXPECT_EQ(recorder->failures.back().code, WKWebView::cancelled);
            EXPECT_FALSE(web->hasPage());
        }
    }
}

// A load that the page shown replaces by a navigation of its own (here within itself) before the
// load's reply came never committed: its end is no page, and the page before is not taken for it.
// Nothing more comes of it, and the view's time-out ends it.
TEST_F(WebView, ALoadReplacedBeforeItsReplyIsNotTakenAsThePage)
{
    server->script("/never.html", latePage(20000));
    show("/leaves.html", R"(<title>旧页</title><p>旧页</p><script>
addEventListener("beforeunload", () => setTimeout(() => { location.hash = "away"; }, 0), { once: true });
addEventListener("hashchange", () => appBridge.call("jsIOS", location.hash));
</script>)");
    int finished = recorder->finished;
    web->load({ http("/never.html"), URLRequestCachePolicy::useProtocolCachePolicy, 10 });
    // The page tells of its navigation once it is over, after the engine has said what it had to
    // of the load it replaced.
    ASSERT_TRUE(runUntil([&] { return !bridge->received.empty(); }, 30));
    EXPECT_EQ(bridge->received, std::vector<std::string> { "#away" });
    runUntil([] { return false; }, 0.5);
    EXPECT_EQ(recorder->finished, finished) << recorder->finishedTitles.back();
    EXPECT_TRUE(recorder->failures.empty());
    EXPECT_FALSE(web->hasPage());

    advance(10);
    drain();
    ASSERT_EQ(recorder->failures.size(), 1u);
    EXPECT_EQ(recorder->failures[0].code, WKWebView::timedOut);
    EXPECT_EQ(recorder->finished, finished);
    EXPECT_FALSE(web->hasPage());
}

TEST_F(WebView, APageWhoseProcessDiesOrStopsAnsweringSaysSo)
{
    show("/first.html", R"(<button id="hang" style="position:absolute;left:0;top:0;width:326px;height:100px"
onclick="for (;;) {}">卡住</button>)");
    std::vector<pid_t> processes = descendantsNamed("WebKitWebProcess");
    ASSERT_FALSE(processes.empty());
    for (pid_t pid : processes)
        kill(pid, SIGKILL);
    ASSERT_TRUE(runUntil([&] { return recorder->terminated == 1; }, 30));
    EXPECT_FALSE(web->hasPage());
    EXPECT_EQ(web->lastError()->domain, WKWebView::wkErrorDomain);
    EXPECT_EQ(web->lastError()->code, WKWebView::webContentProcessTerminated);
    EXPECT_TRUE(TouchDriver::findText("无法打开网页"));

    // A new load starts a new process; a script that never returns has it ended, and the main
    // loop never waits for it.
    show("/first.html", R"(<button id="hang" style="position:absolute;left:0;top:0;width:326px;height:100px"
onclick="for (;;) {}">卡住</button>)");
    ASSERT_TRUE(driver.tap(onScreen({ 100, 50 })));
    ASSERT_TRUE(driver.tap(onScreen({ 100, 50 })));
    ASSERT_TRUE(runUntil([&] { return recorder->terminated == 2; }, 60));
    EXPECT_EQ(web->lastError()->code, WKWebView::webContentProcessTerminated);
    show("/after.html", "<p>之后</p>");
}

namespace {

// An app whose one screen is the slider page in a bridge web view where the captcha shows it.
class SliderAppDelegate : public UIApplicationDelegate {
public:
    SliderAppDelegate(std::string url, std::shared_ptr<JavascriptObject> bridge)
        : m_url(std::move(url))
        , m_bridge(std::move(bridge))
    { }
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        auto web = std::make_shared<DWKWebView>(CGRect { 32, 259, 326, 326 });
        web->addJavascriptObject(m_bridge, std::nullopt);
        m_window->addSubview(web);
        m_window->makeKeyAndVisible();
        web->load({ m_url });
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

private:
    std::string m_url;
    std::shared_ptr<JavascriptObject> m_bridge;
    std::shared_ptr<UIWindow> m_window;
};

}

TEST_F(WebView, DeviceScriptsWaitForThePageAndDragOnIt)
{
    server->script("/slider.html", page(sliderPage));
    web->removeFromSuperview();
    window->setHidden(true);
    zvtest::TempDir out;
    DeviceShellOptions options;
    options.outputFolder = out.path();
    DeviceShell shell(options);
    shell.launch(std::make_shared<SliderAppDelegate>(http("/slider.html"), bridge));

    EXPECT_EQ(shell.execute("wait-for-page 30"), std::nullopt);
    EXPECT_EQ(shell.execute("wait-for-page 拖动滑块 1"), std::nullopt);
    std::optional<std::string> missing = shell.execute("wait-for-page 验证失败 0.3");
    ASSERT_TRUE(missing);
    EXPECT_EQ(*missing, "\"验证失败\" did not appear in the page within 0.3 s");
    EXPECT_EQ(shell.execute("wait-for-page"),
        std::optional<std::string>("usage: wait-for-page [<text>] <timeout seconds>"));

    // The knob's centre on the screen: the view's origin and the page's (43, 200).
    EXPECT_EQ(shell.execute("drag 75 459 180 459 0.4"), std::nullopt);
    EXPECT_EQ(shell.execute("wait-for-page 验证失败 10"), std::nullopt);
    EXPECT_EQ(shell.execute("drag 75 459 330 459 0.4"), std::nullopt);
    EXPECT_EQ(shell.execute("wait 1"), std::nullopt);
    EXPECT_EQ(bridge->received, std::vector<std::string> { R"({"ticket":"drag-1"})" });
    ASSERT_TRUE(shell.screenshot("slider"));
    shell.end();
}

namespace {

constexpr const char* childPageVariable = "ZV_WEBVIEW_CHILD_PAGE";
constexpr const char* childPidsVariable = "ZV_WEBVIEW_CHILD_PIDS";

// Whether the process is gone (or a zombie that nobody has reaped yet).
bool processEnded(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

}

// The program run again by the test below: shows a page, notes the engine's helper processes,
// and is killed as a crash or the app switcher would end it.
TEST(WebViewChild, ShowsAPageAndIsKilled)
{
    const char* url = std::getenv(childPageVariable);
    const char* pidsFile = std::getenv(childPidsVariable);
    if (!url || !pidsFile)
        GTEST_SKIP() << "run by WebView.TheEnginesHelperProcessesEndWithTheProgram";
    RunLoop::main().reset();
    auto web = std::make_shared<WKWebView>(CGRect { 0, 0, 200, 200 });
    web->load({ url });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return web->hasPage(); }, 30));
    std::ofstream pids(pidsFile);
    for (const char* name : { "WebKitWebProcess", "WebKitNetworkProcess" }) {
        for (pid_t pid : descendantsNamed(name))
            pids << pid << "\n";
    }
    pids.close();
    std::raise(SIGKILL);
}

namespace {

// Runs this program again on the tests of `filter` with the page's address and a file for its
// answers in the environment, its output into `log`; its wait status. The child's page is served
// by this process's server thread meanwhile.
int runChild(
    const std::string& filter, const std::string& page, const std::string& file, const std::string& log)
{
    std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filterArgument = "--gtest_filter=" + filter;
    ::setenv(childPageVariable, page.c_str(), 1);
    ::setenv(childPidsVariable, file.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(
        &actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    char* argv[] = { program.data(), filterArgument.data(), nullptr };
    pid_t child = 0;
    int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::unsetenv(childPageVariable);
    ::unsetenv(childPidsVariable);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    return status;
}

// Whether the web engine's library is mapped into this process.
bool engineLoaded()
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("libwebkit2gtk") != std::string::npos)
            return true;
    }
    return false;
}

}

// Run by the test below: a program pays for the engine only once it shows a page on a display.
TEST(WebViewChild, LoadsTheEngineWithItsFirstPageOnADisplay)
{
    const char* url = std::getenv(childPageVariable);
    if (!url || !std::getenv(childPidsVariable))
        GTEST_SKIP() << "run by WebView.TheEngineIsLoadedWithTheFirstPageOnly";
    RunLoop::main().reset();
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    auto web = std::make_shared<WKWebView>(CGRect { 0, 0, 200, 200 });
    EXPECT_FALSE(engineLoaded());
    // Without a display the page fails with the reason, and nothing of the engine is loaded.
    ::unsetenv("DISPLAY");
    web->load({ url });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !web->isLoading(); }, 30));
    ASSERT_TRUE(web->lastError());
    EXPECT_NE(web->lastError()->localizedDescription().find("no display"), std::string::npos);
    EXPECT_FALSE(engineLoaded());
    ::setenv("DISPLAY", display.c_str(), 1);
    web->load({ url });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return web->hasPage(); }, 30));
    EXPECT_TRUE(engineLoaded());
}

TEST_F(WebView, TheEngineIsLoadedWithTheFirstPageOnly)
{
    server->script("/plain.html", page("<p>一页</p>"));
    zvtest::TempDir scratch;
    std::string log = (scratch / "child.log").string();
    int status
        = runChild("WebViewChild.LoadsTheEngine*", http("/plain.html"), (scratch / "unused").string(), log);
    std::stringstream output;
    output << std::ifstream(log).rdbuf();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output.str();
    EXPECT_NE(output.str().find("[  PASSED  ] 1 test"), std::string::npos) << output.str();
}

TEST_F(WebView, TheEnginesHelperProcessesEndWithTheProgram)
{
    server->script("/plain.html", page("<p>一页</p>"));
    zvtest::TempDir scratch;
    std::string pidsFile = (scratch / "pids").string();
    std::string log = (scratch / "child.log").string();
    int status = runChild("WebViewChild.ShowsAPageAndIsKilled", http("/plain.html"), pidsFile, log);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << std::ifstream(log).rdbuf();

    std::vector<pid_t> helpers;
    std::ifstream pids(pidsFile);
    for (pid_t pid = 0; pids >> pid;)
        helpers.push_back(pid);
    ASSERT_GE(helpers.size(), 2u) << "a page process and the network process";
    EXPECT_TRUE(runUntil([&] { return std::all_of(helpers.begin(), helpers.end(), processEnded); }, 20));
    for (pid_t pid : helpers) {
        if (!processEnded(pid))
            kill(pid, SIGKILL);
    }
}
