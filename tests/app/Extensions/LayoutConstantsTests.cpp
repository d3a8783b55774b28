#include "app/Extensions/LayoutConstants.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

// The constants are computed once per process, so every case runs in a fresh process of its
// own (a death test in the thread-safe style re-runs the program for just that case).

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

#define CHECK_IN_CHILD(condition) check((condition), #condition)

void finish()
{
    std::exit(failures == 0 ? 0 : 1);
}

void landscapeFirstValues()
{
    UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    CHECK_IN_CHILD(screenWidth() == 844);
    CHECK_IN_CHILD(screenHeight() == 390);
    CHECK_IN_CHILD(!isFullScreen());
    CHECK_IN_CHILD(bottomSafeAreaHeight() == 0);
    // The phone hides the status bar in landscape.
    CHECK_IN_CHILD(statusBarHeight() == 0);
    CHECK_IN_CHILD(navigationBarHeight() == 44);
    UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::portrait);
    CHECK_IN_CHILD(screenWidth() == 844);
    CHECK_IN_CHILD(screenShortSide() == 390);
    CHECK_IN_CHILD(screenLongSide() == 844);
    finish();
}

void height812Values()
{
    UIDeviceProfile profile;
    profile.portraitSize = { 375, 812 };
    UIScreen::main().setProfile(profile);
    CHECK_IN_CHILD(isFullScreen());
    CHECK_IN_CHILD(bottomSafeAreaHeight() == 34);
    finish();
}

void height811Values()
{
    UIDeviceProfile profile;
    profile.portraitSize = { 375, 811.5 };
    profile.statusBarHeight = 20;
    UIScreen::main().setProfile(profile);
    CHECK_IN_CHILD(!isFullScreen());
    CHECK_IN_CHILD(bottomSafeAreaHeight() == 0);
    CHECK_IN_CHILD(navigationBarHeight() == 64);
    finish();
}

void noKeyWindowYet()
{
    CHECK_IN_CHILD(!cachedKeyWindow());
    auto window = std::make_shared<UIWindow>();
    window->makeKeyAndVisible();
    CHECK_IN_CHILD(!cachedKeyWindow());
    finish();
}

void keyWindowCached()
{
    auto other = std::make_shared<UIWindow>();
    other->setHidden(false);
    auto window = std::make_shared<UIWindow>();
    window->makeKeyAndVisible();
    CHECK_IN_CHILD(cachedKeyWindow() == window);
    finish();
}

class LayoutConstants : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(LayoutConstants, FirstReadInLandscapeKeepsLandscapeValues)
{
    EXPECT_EXIT(landscapeFirstValues(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LayoutConstants, FullScreenStartsAtExactly812Points)
{
    EXPECT_EXIT(height812Values(), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(height811Values(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LayoutConstants, KeyWindowTakenBeforeAnyIsKeyStaysNil)
{
    EXPECT_EXIT(noKeyWindowYet(), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(keyWindowCached(), ::testing::ExitedWithCode(0), "");
}

}
