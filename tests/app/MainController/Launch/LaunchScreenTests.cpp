// The launch screen's advert: what a tap on the splash opens, a start without adverts, and a
// launch that ends whatever the advert reply.

#include "platform/foundation/UserDefaults.h"
#include "app/MainController/Launch/ZV_LaunchContentView.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/SFSafariViewController.h"
#include "tests/app/Core/Start/StartTestSupport.h"

#include <gtest/gtest.h>

namespace {

class LaunchScreenTest : public zvtest::StartTest {
protected:
    // Launches with this advert reply, waits for the countdown and taps the splash.
    std::shared_ptr<ZV_LaunchVC> launchAndTapSplash(const testserver::ApiReply& reply)
    {
        UIApplication::shared().resetForTesting();
        api().script("v1/advert/config", reply);
        launch();
        auto screen = launchScreen();
        if (!waitForCountdown(screen))
            return nullptr;
        window()->layoutIfNeeded();
        driver.tapIdentifier("launch.content");
        return screen;
    }
    static testserver::ApiReply advertLinking(const std::string& url)
    {
        return testserver::ApiReply::success(
            { { "start", { { "data", { { "image", "" }, { "url", url } } } } } });
    }
};

// The sample's start advert is drawn over the built-in splash once it has come: the screen shows
// the advert's picture where the two differ.
TEST_F(LaunchScreenTest, SplashShowsTheStartAdvertPicture)
{
    auto advert = UIImage::fromFile(zvtest::sourceDir() / "tools/testserver/data/images/advert-start.jpg");
    auto builtIn = UIImage::named("launch");
    ASSERT_TRUE(advert && builtIn);
    launch();
    auto screen = launchScreen();
    ASSERT_TRUE(waitForCountdown(screen));
    const auto& imageView = screen->contentView()->imageView();
    ASSERT_TRUE(runUntil([&] { return imageView->image() && !(*imageView->image() == *builtIn); }));
    window()->layoutIfNeeded();
    UIImage shown = Renderer::render(*window(), 1);

    // Both pictures have the screen's shape, so each point of the screen is the same point of either.
    auto at = [](const UIImage& image, double x, double y) {
        return image.pixel(int(x * (image.pixelWidth() - 1)), int(y * (image.pixelHeight() - 1)));
    };
    auto distance = [](UIColor::RGBA a, UIColor::RGBA b) {
        return std::max({ std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue) });
    };
    int telling = 0;
    for (double y : { 0.2, 0.5, 0.8 }) {
        for (double x : { 0.25, 0.5, 0.75 }) {
            if (distance(at(*advert, x, y), at(*builtIn, x, y)) < 0.2)
                continue;
            ++telling;
            EXPECT_LT(distance(at(shown, x, y), at(*advert, x, y)), 0.1) << x << "," << y;
        }
    }
    EXPECT_GE(telling, 3) << "the two pictures must differ to tell them apart";
}

// Links from the server are untrusted: only absolute http and https addresses open the browser,
// and the countdown goes on under it.
TEST_F(LaunchScreenTest, SplashTapOpensOnlyWebLinks)
{
    for (const char* link :
        { "javascript:alert(1)", "zentavo://promo/1", "//127.0.0.1/promo", "", "promo/1" }) {
        auto screen = launchAndTapSplash(advertLinking(link));
        ASSERT_TRUE(screen) << link;
        EXPECT_FALSE(screen->presentedViewController()) << link;
    }

    auto screen = launchAndTapSplash(advertLinking("https://127.0.0.1/promo/1"));
    ASSERT_TRUE(screen);
    auto browser = std::dynamic_pointer_cast<SFSafariViewController>(screen->presentedViewController());
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->url(), "https://127.0.0.1/promo/1");
    advance(3);
    EXPECT_TRUE(rootScreen());
}

// No advert (a failed request, or the ad-free flag over a good reply): the usual countdown, and a
// tap on the splash does nothing.
TEST_F(LaunchScreenTest, WithoutAdvertTheSplashStillCountsDown)
{
    auto failed = launchAndTapSplash(testserver::ApiReply::error(500, "服务器错误"));
    ASSERT_TRUE(failed);
    EXPECT_FALSE(failed->presentedViewController());
    advance(3);
    EXPECT_TRUE(rootScreen());

    UserDefaults::standard().setBool(true, "cleanAD");
    auto adFree = launchAndTapSplash(advertLinking("https://127.0.0.1/promo/1"));
    ASSERT_TRUE(adFree);
    EXPECT_FALSE(ConfigSingleton::shared().advertConfigModel);
    EXPECT_FALSE(adFree->presentedViewController());
}

// Every reply of the advert request (success and server errors are above), a lost connection and
// the sign-in codes included, starts the countdown once; one that ends the sign-in brings a single login
// screen, and the root follows when the viewer is done with it.
TEST_F(LaunchScreenTest, EveryAdvertReplyEndsTheLaunch)
{
    testserver::Reply dropped;
    dropped.action = testserver::ReplyAction::CloseWithoutReply;
    // 0 stands for a connection lost before the reply; for 2001 the sample refuses to refresh a
    // token it never gave out.
    for (int code : { 0, 2000, 2001, 2002 }) {
        SCOPED_TRACE(code);
        const bool endsSignIn = code != 0;
        UIApplication::shared().resetForTesting();
        api().clearScripts();
        server().clearScripts();
        // The root that each pass ends on asks for the update offer; its prompt could come up in
        // the next pass, after the clean-up.
        api().script("v1/app/check_update", testserver::ApiReply::success({ { "state", "latest" } }));
        setToken("tk-unknown");
        if (code == 0)
            server().script("/api/v1/advert/config", dropped);
        else
            api().script("v1/advert/config", testserver::ApiReply::error(code, "登录已失效"));
        int loginsBefore = ui->logins;
        launch();
        auto screen = launchScreen();
        ASSERT_TRUE(waitForCountdown(screen));
        EXPECT_EQ(skipTitle(screen), "跳过广告 3");
        // The refused refresh comes after the countdown has started.
        if (endsSignIn) {
            ASSERT_TRUE(runUntil([&] { return ui->logins > loginsBefore; }));
        }
        ASSERT_TRUE(allRepliesIn());
        drain();
        EXPECT_EQ(ui->logins - loginsBefore, endsSignIn ? 1 : 0);
        EXPECT_EQ(storedToken().has_value(), !endsSignIn);

        advance(3);
        EXPECT_EQ(skipTitle(screen), "跳过广告 0");
        if (endsSignIn) {
            // The login stays over the splash until it is closed; then the root comes.
            EXPECT_FALSE(rootScreen());
            ASSERT_TRUE(screen->presentedViewController());
            screen->presentedViewController()->dismiss(false);
            advance(1);
        }
        EXPECT_TRUE(rootScreen());
        EXPECT_EQ(ui->logins - loginsBefore, endsSignIn ? 1 : 0);
    }
}

}
