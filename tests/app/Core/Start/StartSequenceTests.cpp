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

// Distinct pixel values of an image (stops counting at `enough`).
std::size_t colourCount(const UIImage& image, std::size_t enough = 16)
{
    cairo_surface_t* surface = image.cairoSurface();
    if (!surface)
        return 0;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image.pixelHeight() && colours.size() < enough; ++y) {
        const auto* row
            = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < image.pixelWidth() && colours.size() < enough; ++x)
            colours.insert(row[x]);
    }
    return colours.size();
}

TEST_F(StartTest, CountsDownFromTheAdvertReplyAndStandsOnTheRoot)
{
    // The reply is held back on the server, so that the wait before it can be seen.
    api().script("v1/advert/config", [] {
        testserver::ApiReply reply = testserver::ApiReply::success(nlohmann::json::object());
        reply.delay = std::chrono::milliseconds(1000);
        return reply;
    }());
    launch();

    auto win = window();
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->isKeyWindow());
    EXPECT_EQ(win->overrideUserInterfaceStyle(), UIUserInterfaceStyle::light);
    EXPECT_TRUE(UIApplication::shared().isIdleTimerDisabled());
    EXPECT_FALSE(QMUIConsole::canShow());
    EXPECT_TRUE(IQKeyboardManager::shared().enable());
    EXPECT_EQ(delegate->supportedInterfaceOrientations(UIApplication::shared(), win.get()),
        UIInterfaceOrientationMaskPortrait);

    auto screen = launchScreen();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/advert/config").empty(); }));
    advance(5);
    EXPECT_TRUE(screen->skipBtn()->isHidden()) << "no countdown before the reply";
    EXPECT_FALSE(screen->timer());

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
    EXPECT_FALSE(screen->timer());
    EXPECT_TRUE(win->isKeyWindow());

    // The launch screen is let go with the old root and nothing ticks any more.
    std::weak_ptr<ZV_LaunchVC> gone = screen;
    screen.reset();
    advance(2);
    drain();
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(rootScreen(), root);

    // What the viewer sees is the tab screen, not an empty window.
    win->layoutIfNeeded();
    EXPECT_GT(colourCount(Renderer::render(*win)), 1u);
}

TEST_F(StartTest, SkipTapInstallsTheRootAtOnce)
{
    launch();
    auto screen = launchScreen();
    ASSERT_TRUE(screen && waitForCountdown(screen));
    EXPECT_EQ(skipTitle(screen), "跳过广告 3");

    window()->layoutIfNeeded();
    ASSERT_TRUE(driver.tapIdentifier("launch.skip"));
    EXPECT_TRUE(rootScreen());
    EXPECT_FALSE(screen->timer());
    EXPECT_EQ(screen->second(), 2) << "no tick after the skip";
    advance(5);
    EXPECT_EQ(screen->second(), 2);
}

TEST_F(StartTest, DarkFromTheStoredFlagFromTheFirstFrame)
{
    StoreData::setBool(true, StoreData::isDarkColor);
    launch();
    ASSERT_TRUE(window());
    EXPECT_EQ(window()->overrideUserInterfaceStyle(), UIUserInterfaceStyle::dark);
    EXPECT_EQ(launchScreen()->view()->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
}

// The profile request goes out at every launch: without a token it has no Authorization and
// fills nothing; an expired token never brings up the login screen; a valid one fills the profile.
TEST_F(StartTest, ProfileRequestAtEveryLaunchWithoutLoginScreen)
{
    launch();
    ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/user/info").empty(); }));
    EXPECT_FALSE(api().recordsTo("v1/user/info").front().request.header("Authorization"));
    ASSERT_TRUE(runUntil([&] { return ui->hides >= static_cast<int>(api().records().size()); }));
    EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
    EXPECT_EQ(ui->logins, 0);
    UIApplication::shared().resetForTesting();
    api().clearRecords();
    ui->hides = 0;

    StoreData::set(PropertyList(std::string("tk-expired")), StoreData::access_token);
    launch();
    ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/user/info").empty(); }));
    EXPECT_EQ(api().recordsTo("v1/user/info").front().request.header("Authorization"), "Bearer tk-expired");
    ASSERT_TRUE(runUntil([&] { return ui->hides >= static_cast<int>(api().records().size()); }));
    EXPECT_EQ(ui->logins, 0);
    EXPECT_FALSE(launchScreen()->presentedViewController());
    UIApplication::shared().resetForTesting();
    api().clearRecords();
    ui->hides = 0;

    StoreData::set(PropertyList(std::string(sampleToken)), StoreData::access_token);
    launch();
    ASSERT_TRUE(runUntil([&] { return ConfigSingleton::shared().zv_userInfoModel != nullptr; }));
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel->nickname, "听雨的小鱼");
}

}
