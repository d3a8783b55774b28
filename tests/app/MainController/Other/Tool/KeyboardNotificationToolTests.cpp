#include "app/MainController/Other/Tool/KeyboardNotificationTool.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Call {
    std::string which;
    double duration;
    CGRect frame;
};

class KeyboardTool : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        window = std::make_shared<UIWindow>();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        drain();
        tool = std::make_unique<KeyboardNotificationTool>(screen);
        tool->keyboardWillShowBlock = [this](double d, CGRect f) { calls.push_back({ "show", d, f }); };
        tool->keyboardWillHiddenBlock = [this](double d, CGRect f) { calls.push_back({ "hide", d, f }); };
    }
    void TearDown() override
    {
        tool.reset();
        UIKeyboard::shared().resetForTesting();
        window->setRootViewController(nullptr);
        drain();
        window.reset();
        UIApplication::shared().resetForTesting();
        zvtest::MainLoopTest::TearDown();
    }

    NotificationCenter center;
    std::shared_ptr<UIViewController> screen = UIViewController::create();
    std::shared_ptr<UIWindow> window;
    std::unique_ptr<KeyboardNotificationTool> tool;
    std::vector<Call> calls;
};

TEST_F(KeyboardTool, PassesDurationAndEndFrameWithDefaultsForMissingOrWrongValuesUntilReleased)
{
    tool->observeKeyboard(center);
    const CGRect frame { 0, 508, 390, 336 };
    center.post(UIKeyboardNotification::WillShow, {},
        { { UIKeyboardNotification::AnimationDurationKey, std::any(0.25) },
            { UIKeyboardNotification::FrameEndKey, std::any(frame) } });
    center.post(UIKeyboardNotification::WillHide);
    center.post(UIKeyboardNotification::WillShow, {},
        { { UIKeyboardNotification::AnimationDurationKey, std::any(std::string("0.25")) },
            { UIKeyboardNotification::FrameEndKey, std::any(std::string("{0, 508}")) } });
    center.post(UIKeyboardNotification::WillHide, {},
        { { UIKeyboardNotification::AnimationDurationKey, std::any(2) } });

    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].which, "show");
    EXPECT_EQ(calls[0].duration, 0.25);
    EXPECT_EQ(calls[0].frame, frame);
    EXPECT_EQ(calls[1].which, "hide");
    EXPECT_EQ(calls[1].duration, 1.0);
    EXPECT_EQ(calls[1].frame, CGRect());
    EXPECT_EQ(calls[2].duration, 1.0); // text is not a number
    EXPECT_EQ(calls[2].frame, CGRect()); // nor a rectangle
    EXPECT_EQ(calls[3].which, "hide");
    EXPECT_EQ(calls[3].duration, 2.0);

    // A released tool leaves the centre: a post would otherwise reach freed memory.
    tool.reset();
    center.post(UIKeyboardNotification::WillShow);
    EXPECT_EQ(calls.size(), 4u);
}

TEST_F(KeyboardTool, QuietWhileTheScreenIsOffScreenUnloadedOrGone)
{
    tool->observeKeyboard(center);
    window->setRootViewController(nullptr); // the screen's view leaves the window
    drain();
    center.post(UIKeyboardNotification::WillShow);
    EXPECT_TRUE(calls.empty());

    window->setRootViewController(screen);
    drain();
    center.post(UIKeyboardNotification::WillShow);
    EXPECT_EQ(calls.size(), 1u);

    window->setRootViewController(nullptr);
    drain();
    screen.reset(); // released: the weak link is empty
    center.post(UIKeyboardNotification::WillHide);
    EXPECT_EQ(calls.size(), 1u);

    // A screen whose view never loaded counts as off screen, and asking does not load it.
    auto never = UIViewController::create();
    KeyboardNotificationTool other(never);
    int count = 0;
    other.keyboardWillShowBlock = [&](double, CGRect) { ++count; };
    other.observeKeyboard(center);
    center.post(UIKeyboardNotification::WillShow);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(never->isViewLoaded());
}

TEST_F(KeyboardTool, FollowsThePlatformKeyboard)
{
    tool->observeKeyboard(); // the default centre, where the keyboard posts
    UIKeyboard::shared().inputDidBecomeFirstResponder();
    UIKeyboard::shared().inputDidResignFirstResponder();
    advance(1);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].which, "show");
    EXPECT_EQ(calls[0].duration, UIKeyboard::animationDuration);
    EXPECT_EQ(calls[0].frame, UIKeyboard::shared().shownFrame());
    EXPECT_EQ(calls[1].which, "hide");
}

}
