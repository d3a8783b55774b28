// The captcha overlay and its bridge: the page's result reaches the opener once, the overlay
// fades away, and every other way out (the escape gesture too) sends nothing.

#include "app/Core/Network/BaseURLs.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "platform/ui/web/DWKWebView.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class CaptchaViewTest : public AccountScreenTest {
protected:
    std::shared_ptr<ZV_CaptchaView> openLoaded()
    {
        std::shared_ptr<ZV_CaptchaView> overlay
            = ZV_CaptchaView::present([this](const JSON& result) { results.push_back(result); });
        if (overlay)
            waitFor([&] { return overlay->zv_webView()->hasPage(); });
        return overlay;
    }

    std::vector<JSON> results;
};

}

TEST_F(CaptchaViewTest, TheFirstResultReachesTheOpenerAndTheOverlayFadesAway)
{
    std::shared_ptr<ZV_CaptchaView> overlay = openLoaded();
    ASSERT_TRUE(overlay);
    EXPECT_EQ(overlay->superview(), window);
    EXPECT_EQ(overlay->zv_webView()->url(), BaseURLs::captcha_url());
    overlay->layoutIfNeeded();
    EXPECT_EQ(overlay->zv_webView()->frame().size, (CGSize { 326, 326 }));

    std::optional<std::string> answer
        = overlay->zv_webView()->callFromPage("jsIOS", R"({"ticket":"a","n":[1,2]})");
    EXPECT_EQ(answer, "[Swift sync call:jsIOS]");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], JSON::parse(R"({"n":[1,2],"ticket":"a"})"));

    // A second report while the overlay fades is not a second attempt.
    advance(0.1);
    EXPECT_EQ(overlay->zv_webView()->callFromPage("jsIOS", R"({"ticket":"b"})"), "[Swift sync call:jsIOS]");
    EXPECT_EQ(results.size(), 1u);
    EXPECT_LT(overlay->alpha(), 0.01);
    EXPECT_TRUE(overlay->superview());
    advance(0.3);
    EXPECT_FALSE(overlay->superview());
}

TEST_F(CaptchaViewTest, TextThatIsNotJSONStillEndsTheAttempt)
{
    std::shared_ptr<ZV_CaptchaView> overlay = openLoaded();
    ASSERT_TRUE(overlay);
    overlay->zv_webView()->callFromPage("jsIOS", "not json");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].isNull());
}

TEST_F(CaptchaViewTest, BackgroundTapsCloseRequestsAndBadAddressesSendNothing)
{
    std::shared_ptr<ZV_CaptchaView> overlay = openLoaded();
    ASSERT_TRUE(overlay);
    // Inside the web view nothing happens; outside it the attempt ends.
    ASSERT_TRUE(driver.tap({ screenBounds().size.width / 2, screenBounds().size.height / 2 }));
    advance(1);
    EXPECT_TRUE(overlay->superview());
    ASSERT_TRUE(driver.tap({ 5, 5 }));
    advance(1);
    EXPECT_FALSE(overlay->superview());

    overlay = openLoaded();
    ASSERT_TRUE(overlay->zv_webView()->closeWindowFromPage());
    advance(1);
    EXPECT_FALSE(overlay->superview());

    BaseURLs::captcha_url() = "not an address";
    overlay = ZV_CaptchaView::present([this](const JSON& result) { results.push_back(result); });
    ASSERT_TRUE(overlay);
    EXPECT_TRUE(overlay->zv_webView()->url().empty());
    EXPECT_FALSE(overlay->zv_webView()->callFromPage("jsIOS", "{}"));
    EXPECT_TRUE(results.empty());
}

// Escape is a way out like the background: the overlay fades and leaves, and a result that the
// page still reports meanwhile sends nothing.
TEST_F(CaptchaViewTest, EscapeEndsTheAttemptAsTheBackgroundDoes)
{
    std::shared_ptr<ZV_CaptchaView> overlay = openLoaded();
    ASSERT_TRUE(overlay);
    EXPECT_TRUE(overlay->accessibilityPerformEscape());
    EXPECT_FALSE(overlay->accessibilityPerformEscape()) << "it is leaving already";
    EXPECT_EQ(
        overlay->zv_webView()->callFromPage("jsIOS", R"({"ticket":"late"})"), "[Swift sync call:jsIOS]");
    EXPECT_TRUE(overlay->superview());
    advance(0.31);
    EXPECT_FALSE(overlay->superview());
    EXPECT_TRUE(results.empty());

    overlay = openLoaded();
    ASSERT_TRUE(driver.tap({ 5, 5 }));
    overlay->zv_webView()->callFromPage("jsIOS", R"({"ticket":"late"})");
    advance(1);
    EXPECT_FALSE(overlay->superview());
    EXPECT_TRUE(results.empty());
}
