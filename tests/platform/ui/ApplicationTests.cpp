#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"

#include <gtest/gtest.h>

namespace {

class Application : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
    }
    void TearDown() override
    {
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
    }
};

struct Delegate : UIApplicationDelegate {
    std::vector<std::string>* log;
    std::shared_ptr<UIWindow> mainWindow;
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        log->push_back("launch");
        mainWindow = std::make_shared<UIWindow>();
        mainWindow->makeKeyAndVisible();
        return true;
    }
    void didBecomeActive(UIApplication&) override { log->push_back("active"); }
    void willResignActive(UIApplication&) override { log->push_back("resign"); }
    void didEnterBackground(UIApplication&) override { log->push_back("background"); }
    void willEnterForeground(UIApplication&) override { log->push_back("foreground"); }
    std::shared_ptr<UIWindow> window() const override { return mainWindow; }
};

TEST_F(Application, LifeCycleCallsDelegateThenPostsNotifications)
{
    std::vector<std::string> log;
    std::vector<NotificationCenter::Token> tokens;
    for (const char* name :
        { UIApplicationNotification::DidFinishLaunching, UIApplicationNotification::DidBecomeActive,
            UIApplicationNotification::WillResignActive, UIApplicationNotification::DidEnterBackground,
            UIApplicationNotification::WillEnterForeground }) {
        tokens.push_back(NotificationCenter::defaultCenter().addObserver(
            name, [&log](const Notification& n) { log.push_back(n.name); }));
    }
    auto delegate = std::make_shared<Delegate>();
    delegate->log = &log;
    EXPECT_TRUE(UIApplication::shared().launch(delegate));
    EXPECT_EQ(UIApplication::shared().applicationState(), UIApplicationState::active);
    UIApplication::shared().enterBackground();
    UIApplication::shared().enterBackground();
    UIApplication::shared().enterForeground();
    EXPECT_EQ(log,
        (std::vector<std::string> { "launch", "UIApplicationDidFinishLaunchingNotification", "active",
            "UIApplicationDidBecomeActiveNotification", "resign", "UIApplicationWillResignActiveNotification",
            "background", "UIApplicationDidEnterBackgroundNotification", "foreground",
            "UIApplicationWillEnterForegroundNotification", "active",
            "UIApplicationDidBecomeActiveNotification" }));
    for (auto& token : tokens)
        NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(UIApplication::shared().keyWindow(), delegate->mainWindow);
}

TEST_F(Application, WindowsListKeyWindowAndLifetime)
{
    auto& app = UIApplication::shared();
    auto first = std::make_shared<UIWindow>();
    EXPECT_TRUE(app.windows().empty());
    first->makeKeyAndVisible();
    EXPECT_TRUE(first->isKeyWindow());
    auto alert = std::make_shared<UIWindow>();
    alert->setWindowLevel(UIWindowLevelAlert);
    alert->setHidden(false);
    EXPECT_EQ(app.windows(), (std::vector<std::shared_ptr<UIWindow>> { first, alert }));
    EXPECT_TRUE(first->isKeyWindow());
    alert->makeKey();
    EXPECT_FALSE(first->isKeyWindow());
    alert.reset();
    EXPECT_EQ(app.windows().size(), 1u);
    EXPECT_FALSE(app.keyWindow());
    first->setHidden(true);
    EXPECT_TRUE(app.windows().empty());
}

TEST_F(Application, ScreenProfileRotationAndStatusBar)
{
    auto& screen = UIScreen::main();
    EXPECT_EQ(screen.bounds(), (CGRect { 0, 0, 390, 844 }));
    EXPECT_EQ(screen.scale(), 3);
    EXPECT_EQ(UIApplication::shared().statusBarFrame(), (CGRect { 0, 0, 390, 47 }));
    auto window = std::make_shared<UIWindow>();
    window->makeKeyAndVisible();
    auto small = std::make_shared<UIWindow>(CGRect { 0, 0, 100, 100 });
    small->setHidden(false);

    screen.setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    EXPECT_EQ(screen.bounds(), (CGRect { 0, 0, 844, 390 }));
    EXPECT_EQ(screen.safeAreaInsets(), (UIEdgeInsets { 0, 47, 21, 47 }));
    EXPECT_EQ(UIApplication::shared().statusBarFrame(), CGRect::zero());
    // Full-screen windows follow the screen; others keep their frame.
    EXPECT_EQ(window->frame(), screen.bounds());
    EXPECT_EQ(window->safeAreaInsets(), (UIEdgeInsets { 0, 47, 21, 47 }));
    EXPECT_EQ(small->frame(), (CGRect { 0, 0, 100, 100 }));

    screen.setInterfaceOrientation(UIInterfaceOrientation::portrait);
    EXPECT_EQ(window->frame(), (CGRect { 0, 0, 390, 844 }));

    UIDeviceProfile old;
    old.portraitSize = { 375, 667 };
    old.scale = 2;
    old.statusBarHeight = 20;
    old.bottomInset = 0;
    screen.setProfile(old);
    EXPECT_EQ(screen.safeAreaInsets(), (UIEdgeInsets { 20, 0, 0, 0 }));
    EXPECT_EQ(window->frame(), (CGRect { 0, 0, 375, 667 }));
}

}

// A background task that never ends is given up when its time is over (waited for no more).
TEST_F(Application, ABackgroundTaskThatNeverEndsIsGivenUpWhenItsTimeIsOver)
{
    UIApplication::shared().beginBackgroundTask("never answered");
    EXPECT_FALSE(UIApplication::shared().finishBackgroundTasks(0.05));
    EXPECT_EQ(UIApplication::shared().backgroundTaskCount(), 0u);
}

// With no task under way the end waits for nothing and turns no run loop: what is due then (a
// carousel's timer) would run, at a program's exit, into statics already gone.
TEST_F(Application, WithNoBackgroundTaskTheWaitReturnsAtOnceAndRunsNothingDue)
{
    bool ran = false;
    DispatchQueue::main().async([&] { ran = true; });
    EXPECT_TRUE(UIApplication::shared().finishBackgroundTasks(5));
    EXPECT_FALSE(ran);
    RunLoop::main().reset();
}
