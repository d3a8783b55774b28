// A whole start of the app against the local server: the services, the launch screen's countdown
// on the virtual clock, the switch to the root tab screen, and the stored dark style.

#include "app/Core/Storage/StoreData.h"
#include "platform/ui/Renderer.h"
#include "tests/app/Core/Start/StartTestSupport.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <set>

namespace {

using zvtest::StartTest;

// More than one colour: something was drawn.
bool hasContent(const UIImage& image)
{
    cairo_surface_t* surface = image.cairoSurface();
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image.pixelHeight(); ++y) {
        const auto* row
            = reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface));
        colours.insert(row, row + image.pixelWidth());
    }
    return colours.size() > 1;
}

TEST_F(StartTest, CountsDownFromTheAdvertReplyAndStandsOnTheRoot)
{
    // The reply is held back on the server, so that the wait before it can be seen.
    auto held = testserver::ApiReply::success(nlohmann::json::object());
    held.delay = std::chrono::milliseconds(1000);
    api().script("v1/advert/config", held);
    // No update offer: its prompt would take the key window from the root's.
    api().script("v1/app/check_update", testserver::ApiReply::success({ { "state", "latest" } }));
    launch();

    auto win = window();
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->isKeyWindow());
    EXPECT_EQ(win->overrideUserInterfaceStyle(), UIUserInterfaceStyle::light);
    EXPECT_TRUE(UIApplication::shared().isIdleTimerDisabled());
    EXPECT_FALSE(QMUIConsole::canShow());
    EXPECT_TRUE(IQKeyboardManager::shared().enable());

    auto screen = launchScreen();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/advert/config").empty(); }));
    advance(5);
    EXPECT_TRUE(screen->skipBtn()->isHidden()) << "no countdown before the reply";

    ASSERT_TRUE(waitForCountdown(screen));
    EXPECT_EQ(skipTitle(screen), "跳过广告 3");
    advance(1);
    EXPECT_EQ(skipTitle(screen), "跳过广告 2");
    advance(1);
    EXPECT_EQ(skipTitle(screen), "跳过广告 1");
    advance(0.9);
    EXPECT_FALSE(rootScreen());
    advance(0.1);
    EXPECT_EQ(skipTitle(screen), "跳过广告 0");
    auto root = rootScreen();
    ASSERT_TRUE(root) << "the root goes in with the tick that shows 0";
    EXPECT_TRUE(win->isKeyWindow());

    // The launch screen goes with the old root and nothing ticks any more.
    std::weak_ptr<ZV_LaunchVC> gone = screen;
    screen.reset();
    advance(2);
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(rootScreen(), root);

    win->layoutIfNeeded();
    EXPECT_TRUE(hasContent(Renderer::render(*win))) << "the root screen is drawn, not blank";
}

TEST_F(StartTest, SkipTapInstallsTheRootAtOnce)
{
    launch();
    auto screen = launchScreen();
    ASSERT_TRUE(waitForCountdown(screen));
    window()->layoutIfNeeded();
    ASSERT_TRUE(driver.tapIdentifier("launch.skip"));
    EXPECT_TRUE(rootScreen());
    EXPECT_FALSE(screen->timer());
    advance(5);
    EXPECT_EQ(screen->second(), 2) << "no tick after the skip";
}

TEST_F(StartTest, DarkFromTheStoredFlagFromTheFirstFrame)
{
    StoreData::setBool(true, StoreData::isDarkColor);
    launch();
    ASSERT_TRUE(window());
    EXPECT_EQ(launchScreen()->view()->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
}

// The profile request goes out at every launch: without a token (no Authorization, nothing
// stored), with an expired one (never the login screen) and with a good one (the profile).
TEST_F(StartTest, ProfileRequestAtEveryLaunchWithoutLoginScreen)
{
    for (std::string token : { "", "tk-expired", "tk-301877-first" }) {
        SCOPED_TRACE(token);
        if (!token.empty())
            StoreData::set(PropertyList(token), StoreData::access_token);
        launch();
        ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/user/info").empty(); }) && allRepliesIn());
        EXPECT_EQ(api().recordsTo("v1/user/info").front().request.header("Authorization").value_or(""),
            token.empty() ? "" : "Bearer " + token);
        EXPECT_EQ(ui->logins, 0);
        EXPECT_FALSE(launchScreen()->presentedViewController());
        const auto& profile = ConfigSingleton::shared().zv_userInfoModel;
        EXPECT_EQ(profile ? profile->nickname : "", token == "tk-301877-first" ? "听雨的小鱼" : "");
        UIApplication::shared().resetForTesting();
        api().clearRecords();
        ui->hides = 0;
    }
}

}
