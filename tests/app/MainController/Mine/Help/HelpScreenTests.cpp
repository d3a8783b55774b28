// The help page: the help address as it is when the page loads, nothing for one that is no
// absolute web address, and the page drawn as the engine lays it out, pictures and all.

#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Mine/Help/ZV_HelpVC.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/web/WKWebView.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>

using namespace zvtest;

namespace {

// The page's value of the script as JSON text (empty when it failed), waited for.
std::string evaluate(WKWebView& web, const std::string& script)
{
    std::optional<std::string> value;
    web.evaluateJavaScript(
        script, [&](std::optional<std::string> json, std::optional<NSError>) { value = json.value_or(""); });
    RunLoop::main().runUntil([&] { return value.has_value(); });
    return value.value_or("");
}

// How many colours the picture has in an area given in points (a photo has many, a plain
// background one or two).
std::size_t coloursIn(const UIImage& image, CGRect area)
{
    cairo_surface_t* surface = image.cairoSurface();
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    CGFloat scale = image.scale();
    std::set<std::uint32_t> colours;
    for (int y = std::max(0, int(area.minY() * scale)); y < std::min(height, int(area.maxY() * scale)); ++y) {
        const auto* row
            = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = std::max(0, int(area.minX() * scale)); x < std::min(width, int(area.maxX() * scale));
             ++x)
            colours.insert(row[x]);
    }
    return colours.size();
}

}

TEST_F(MineScreenTest, HelpLoadsTheCurrentHelpAddressOnly)
{
    struct Case {
        std::string address;
        bool loads;
    };
    for (const Case& c : { Case { serverURL() + "/help.html", true }, Case { "", false },
             Case { "help.html", false }, Case { "file:///etc/passwd", false } }) {
        BaseURLs::help_url() = c.address;
        auto page = std::make_shared<ZV_HelpVC>();
        push(page);
        EXPECT_EQ(page->title(), "帮助中心");
        EXPECT_EQ(page->webView()->url(), c.loads ? c.address : "") << c.address;
        if (c.loads) {
            ASSERT_TRUE(waitFor([&] { return !page->webView()->pageText().empty(); }));
            EXPECT_NE(page->webView()->pageText().find("视频无法播放怎么办"), std::string::npos);
        }
        navigation->popToViewController(root, false);
    }
}

TEST_F(MineScreenTest, AHelpPageThatNeverComesFailsAfterSixtySeconds)
{
    testserver::Reply never = testserver::Reply::text(200, "<p>late</p>", "text/html");
    never.delay = std::chrono::milliseconds(60000);
    server().script("/never.html", never);
    BaseURLs::help_url() = serverURL() + "/never.html";
    auto page = std::make_shared<ZV_HelpVC>();
    double opened = now();
    push(page);
    ASSERT_TRUE(waitFor([&] { return !server().requestsTo("/never.html").empty(); }));
    // The main loop's clock goes on meanwhile.
    WKWebView& web = *page->webView();
    advance(opened + 59 - now());
    EXPECT_TRUE(web.isLoading());
    EXPECT_FALSE(web.lastError());
    advance(1);
    EXPECT_FALSE(web.isLoading());
    ASSERT_TRUE(web.lastError());
    EXPECT_EQ(web.lastError()->code, WKWebView::timedOut);
}

TEST_F(MineScreenTest, HelpShowsThePageLaidOutWithItsPictures)
{
    BaseURLs::help_url() = serverURL() + "/help.html";
    auto page = std::make_shared<ZV_HelpVC>();
    push(page);
    WKWebView& web = *page->webView();
    ASSERT_TRUE(waitFor([&] { return web.hasPage() && web.hasPainted() && !web.pageText().empty(); }));
    // Every picture of the page has come from the server and is drawn where the page put it.
    ASSERT_TRUE(waitFor([&] {
        return evaluate(web, "[...document.images].every((i) => i.complete && i.naturalWidth > 0)") == "true";
    }));
    std::string boxes = evaluate(web,
        "JSON.stringify([...document.images].map((i) => { const r = i.getBoundingClientRect();"
        " return [r.left, r.top, r.width, r.height]; }))");
    // The decoded pictures are drawn at the next paint.
    ASSERT_TRUE(waitFor([&] { return web.hasPainted(); }));
    runUntil([] { return false; }, 0.3);
    UIImage picture = Renderer::render(web);
    JSON rects = JSON::parse(JSON::parse(boxes).stringValue());
    for (std::size_t i = 0; i < rects.count(); ++i) {
        const JSON& rect = rects[i];
        // Not the page's background: the picture's pixels are there.
        CGRect area { rect[0].doubleValue(), rect[1].doubleValue(), rect[2].doubleValue(),
            rect[3].doubleValue() };
        EXPECT_GT(area.width(), 0) << boxes;
        EXPECT_GT(coloursIn(picture, area), 16u) << boxes;
    }
    EXPECT_TRUE(Renderer::writePNG(Renderer::renderScreen(), screenshotPath("help-page.png")));
}
