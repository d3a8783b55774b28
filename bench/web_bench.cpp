// Pages in the web engine, on an X server of the program's own, against the local test server:
//  - the captcha's first paint: from the overlay made to its page drawn into it at the view's full
//    size, over the engine alone drawing the same page at the same size (a page of the engine
//    module with no view around it). Goal: at most 1.25 times. The engine is started and the
//    server's certificate accepted before the rounds, so both sides time one page each.

#include "app/Core/Network/BaseURLs.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "bench/support/BenchFixtures.h"
#include "bench/support/BenchGoals.h"
#include "bench/support/BenchProcesses.h"
#include "bench/support/MainFixture.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/Log.h"
#include "platform/net/HTTPClient.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/web/DWKWebView.h"
#include "platform/ui/web/WebEngine.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

[[noreturn]] void fail(const std::string& why)
{
    std::cerr << "web bench: " << why << "\n";
    std::exit(2);
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What a page of the engine alone reports: whether the page of its load is drawn at full size.
class FirstPaintClient : public webengine::PageClient {
public:
    explicit FirstPaintClient(int pixelWidth)
        : m_pixelWidth(pixelWidth)
    { }
    void pageCommitted() override { m_committed = true; }
    void pageFinished() override { }
    void pageFailed(const webengine::Failure& failure) override
    {
        fail("the page failed: " + failure.description);
    }
    void pageTitleChanged(const std::string&) override { }
    void pageTextChanged(const std::string&) override { }
    void pagePainted(cairo_surface_t* image) override { m_lastWidth = cairo_image_surface_get_width(image); }
    void pageDrawn() override { m_painted = m_committed && m_lastWidth == m_pixelWidth; }
    std::optional<std::string> pageCalled(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    void pageAsksToClose() override { }
    void pageProcessEnded(const webengine::Failure& failure) override { fail(failure.description); }
    void pageEditingChanged(bool) override { }

    bool painted() const { return m_painted; }

private:
    int m_pixelWidth;
    bool m_committed = false;
    int m_lastWidth = 0;
    bool m_painted = false;
};

class CaptchaFirstPaint {
public:
    static CaptchaFirstPaint& shared()
    {
        static zvbench::MainFixture<CaptchaFirstPaint> bench;
        return bench.get();
    }

    // The overlay as the login page opens it, up to its page drawn.
    double overlay()
    {
        Clock::time_point start = Clock::now();
        std::shared_ptr<ZV_CaptchaView> view = ZV_CaptchaView::create(screenBounds());
        m_window->addSubview(view);
        const std::shared_ptr<DWKWebView>& web = view->zv_webView();
        if (!RunLoop::main().runUntil([&] { return web->hasPainted(); }, 60))
            fail("the captcha page was not drawn: "
                + (web->lastError() ? web->lastError()->localizedDescription() : std::string("no failure")));
        double seconds = secondsSince(start);
        view->removeFromSuperview();
        return seconds;
    }

    // The engine's own page at the same size and scale, up to its page drawn.
    double engineAlone()
    {
        CGFloat scale = UIScreen::main().scale();
        FirstPaintClient client(static_cast<int>(ZV_CaptchaView::webViewSide * scale));
        Clock::time_point start = Clock::now();
        std::unique_ptr<webengine::Page> page = m_engine->makePage(client, { .bridge = true });
        page->resize(ZV_CaptchaView::webViewSide, ZV_CaptchaView::webViewSide, scale);
        page->load(m_url, HTTPClient::shared().trustedCAFile());
        if (!RunLoop::main().runUntil([&] { return client.painted(); }, 60))
            fail("the engine alone did not draw the captcha page");
        return secondsSince(start);
    }

    CaptchaFirstPaint()
    {
        zvbench::VirtualDisplay::shared("1280x1024x24");
        Log::setSink([](std::string_view) {});
        HTTPClient::shared().setTrustedCAFile((zvbench::keysDir() / "ca.pem").string());
        m_url = m_server.httpsURL() + "/captcha.html";
        BaseURLs::captcha_url() = m_url;
        std::string why;
        m_engine = WebEngine::shared(&why);
        if (!m_engine)
            fail(why);
        m_window = std::make_shared<UIWindow>();
        m_window->makeKeyAndVisible();
        // Untimed: the engine's helper processes up, the test authority's certificate accepted.
        overlay();
        engineAlone();
    }

private:
    zvbench::LocalServer m_server;
    std::string m_url;
    webengine::Engine* m_engine = nullptr;
    std::shared_ptr<UIWindow> m_window;
};

const bool firstPaintGoal = zvbench::addGoal({
    .name = "web.captcha-first-paint-vs-engine-alone",
    .limit = 1.25,
    .rounds = 11,
    .setUp = [] { CaptchaFirstPaint::shared(); },
    .sample = [] { return CaptchaFirstPaint::shared().overlay(); },
    .baselineSample = [] { return CaptchaFirstPaint::shared().engineAlone(); },
});

}
