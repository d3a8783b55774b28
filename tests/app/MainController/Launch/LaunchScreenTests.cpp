// The launch screen's advert: the picture and link of the "start" placement, what a tap on the
// splash opens, and a start without adverts.

#include "app/MainController/Launch/ZV_LaunchContentView.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIImageView.h"
#include "tests/app/Core/Start/StartTestSupport.h"

#include <gtest/gtest.h>

namespace {

class LaunchScreenTest : public zvtest::StartTest {
protected:
    static testserver::ApiReply advertWithLink(const std::string& url)
    {
        return testserver::ApiReply::success(
            { { "start", { { "data", { { "image", "" }, { "url", url } } }, { "type", 1 } } } });
    }

    // Launches and waits for the countdown; then taps the splash.
    std::shared_ptr<ZV_LaunchVC> launchAndTapSplash()
    {
        launch();
        auto screen = launchScreen();
        if (!screen || !waitForCountdown(screen))
            return nullptr;
        window()->layoutIfNeeded();
        driver.tapIdentifier("launch.content");
        return screen;
    }
};

// Links from the server are untrusted: only absolute http and https addresses open the browser.
TEST_F(LaunchScreenTest, SplashTapOpensOnlyWebLinks)
{
    for (const char* link :
        { "javascript:alert(1)", "zentavo://promo/1", "//127.0.0.1/promo", "", "promo/1" }) {
        SCOPED_TRACE(link);
        api().script("v1/advert/config", advertWithLink(link));
        auto screen = launchAndTapSplash();
        ASSERT_TRUE(screen);
        EXPECT_FALSE(screen->presentedViewController());
        UIApplication::shared().resetForTesting();
        drain();
    }

    api().script("v1/advert/config", advertWithLink("https://127.0.0.1/promo/1"));
    auto screen = launchAndTapSplash();
    ASSERT_TRUE(screen);
    auto browser = std::dynamic_pointer_cast<SFSafariViewController>(screen->presentedViewController());
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->url(), "https://127.0.0.1/promo/1");
    // The countdown goes on under the browser and the root replaces everything at 0.
    advance(3);
    EXPECT_TRUE(rootScreen());
}

// No advert (a failed request, or the ad-free flag over a good reply): the built-in splash, the
// usual countdown, and a tap on the splash does nothing.
TEST_F(LaunchScreenTest, WithoutAdvertTheBuiltInSplashCountsDown)
{
    api().script("v1/advert/config", testserver::ApiReply::error(500, "服务器错误"));
    launch();
    auto screen = launchScreen();
    ASSERT_TRUE(screen && waitForCountdown(screen));
    EXPECT_FALSE(ConfigSingleton::shared().advertConfigModel);
    EXPECT_TRUE(screen->contentView()->imageView()->image());
    advance(3);
    EXPECT_TRUE(rootScreen());
    UIApplication::shared().resetForTesting();
    drain();

    api().clearScripts();
    UserDefaults::standard().setBool(true, "cleanAD");
    auto tapped = launchAndTapSplash();
    ASSERT_TRUE(tapped);
    EXPECT_FALSE(ConfigSingleton::shared().advertConfigModel);
    EXPECT_FALSE(tapped->presentedViewController());
}

}
