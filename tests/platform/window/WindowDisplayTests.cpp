// The device in a real window on an X server of the test's own (Xvfb), driven by xdotool as a
// person would drive it: clicks, drags, the wheel, typing, keys and the close button.

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ProcessExit.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/gestures/UIPinchGestureRecognizer.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/web/WKWebView.h"
#include "platform/window/WindowShell.h"
#include "tests/display/XvfbDisplay.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using Log = std::vector<std::string>;

// One screen of everything a person touches: a title that counts taps of a button, a text field,
// a list, a marquee and a surface to pinch.
class ScreenDelegate : public UIApplicationDelegate {
public:
    explicit ScreenDelegate(std::shared_ptr<Log> log)
        : m_log(std::move(log))
    { }

    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        m_window->setBackgroundColor(UIColor::white());
        title = add<UILabel>({ 20, 60, 350, 40 });
        title->setText("Zentavo");
        button = add<UIButton>({ 100, 120, 190, 44 });
        button->setTitle("点我 Tap me");
        button->setBackgroundColor(UIColor(0.01, 1, 0.88, 1));
        button->addAction(UIControlEventTouchUpInside,
            [this](UIControl&) { title->setText("Tapped " + std::to_string(++taps) + " time"); });
        field = add<UITextField>({ 20, 190, 350, 44 });
        field->setPlaceholder("手机号/用户名");
        field->setAccessibilityIdentifier("demo.field");
        list = add<UIScrollView>({ 0, 250, 390, 140 });
        list->setContentSize({ 390, 1500 });
        for (int i = 0; i < 15; ++i) {
            auto row = std::make_shared<UIView>(CGRect { 0, i * 100.0, 390, 90 });
            row->setBackgroundColor(UIColor(0.1 * (i % 10), 0.4, 1 - 0.06 * i, 1));
            list->addSubview(row);
        }
        marquee = add<MarqueeLabel>({ 20, 480, 200, 30 });
        marquee->setText("Short");
        // Across the screen's centre (195, 422), about which two fingers are mirrored.
        auto canvas = add<UIView>({ 0, 400, 390, 60 });
        canvas->setBackgroundColor(UIColor(0.9, 0.9, 0.95, 1));
        canvas->addGestureRecognizer(
            std::make_shared<UIPinchGestureRecognizer>([this](UIGestureRecognizer& r) {
                pinchScale = static_cast<UIPinchGestureRecognizer&>(r).scale();
            }));
        m_window->makeKeyAndVisible();
        return true;
    }
    void willResignActive(UIApplication&) override { m_log->push_back("resign active"); }
    void didEnterBackground(UIApplication&) override { m_log->push_back("background"); }
    void willTerminate(UIApplication&) override { m_log->push_back("terminate"); }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

    std::shared_ptr<UILabel> title;
    std::shared_ptr<UIButton> button;
    std::shared_ptr<UITextField> field;
    std::shared_ptr<UIScrollView> list;
    std::shared_ptr<MarqueeLabel> marquee;
    CGFloat pinchScale = 1;
    int taps = 0;

private:
    template<typename T> std::shared_ptr<T> add(CGRect frame)
    {
        auto view = std::make_shared<T>();
        view->setFrame(frame);
        m_window->addSubview(view);
        return view;
    }

    std::shared_ptr<Log> m_log;
    std::shared_ptr<UIWindow> m_window;
};

class WindowOnDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string whyNot;
        display = zvtest::XvfbDisplay::shared(&whyNot);
        if (!display)
            GTEST_SKIP() << whyNot;
        resetPlatform();
        openWindow({});
    }

    void openWindow(const std::filesystem::path& levelsFile)
    {
        WindowShellOptions options;
        options.window.title = "zentavo-window-test";
        options.window.scale = 1;
        options.device.outputFolder = dir / "out";
        options.levelsFile = levelsFile;
        std::string error;
        shell = WindowShell::open(options, &error);
        ASSERT_TRUE(shell) << error;
        delegate = std::make_shared<ScreenDelegate>(log);
        shell->launch(delegate);
        xid = shell->window().nativeWindow();
        ASSERT_NE(xid, 0u);
        // The window is mapped and shows its first frame.
        settle(0.3);
    }

    void TearDown() override
    {
        shell.reset();
        delegate.reset();
        resetPlatform();
        RunLoop::main().reset();
    }

    static void resetPlatform()
    {
        if (auto responder = UIResponder::currentFirstResponder())
            responder->resignFirstResponder();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIDevice::current().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        SJDeviceVolumeAndBrightnessController::shared().resetForTesting();
    }

    void settle(double seconds)
    {
        shell->runUntil([] { return false; }, seconds);
    }
    bool waitFor(const std::function<bool()>& condition, double seconds = 3)
    {
        return shell->runUntil(condition, seconds);
    }
    // The pixel at the centre of a view (the window's scale is 1).
    std::pair<int, int> pixelOf(const UIView& view) const
    {
        CGPoint centre = view.convert(view.bounds(), nullptr).center();
        return { static_cast<int>(centre.x), static_cast<int>(centre.y) };
    }
    bool click(const UIView& view)
    {
        auto [x, y] = pixelOf(view);
        return display->click(xid, x, y);
    }

    zvtest::XvfbDisplay* display = nullptr;
    zvtest::TempDir dir;
    std::shared_ptr<Log> log = std::make_shared<Log>();
    std::unique_ptr<WindowShell> shell;
    std::shared_ptr<ScreenDelegate> delegate;
    std::uint64_t xid = 0;
};

TEST_F(WindowOnDisplay, ShowsTheScreenAtItsSizeTimesTheScaleAsTheHeadlessRendererDrawsIt)
{
    shell->window().drawIfNeeded();
    auto shown = display->capture(xid);
    ASSERT_TRUE(shown);
    Renderer::writePNG(*shown, zvtest::screenshotPath("window-screen.png"));
    EXPECT_EQ(shown->pixelWidth(), 390);
    EXPECT_EQ(shown->pixelHeight(), 844);
    // The screenshot the headless device writes, at the device's own scale of 3.
    auto written = shell->shell().screenshot("screen");
    ASSERT_TRUE(written);
    auto headless = UIImage::fromFile(*written);
    ASSERT_TRUE(headless);
    EXPECT_EQ(headless->pixelWidth(), 1170);
    EXPECT_TRUE(zvtest::picturesMatch(*shown, *headless));
    // A picture of something else does not pass for it.
    delegate->window()->setBackgroundColor(UIColor::black());
    EXPECT_FALSE(zvtest::picturesMatch(*shown, Renderer::renderScreen(3)));
}

TEST_F(WindowOnDisplay, TheBrightnessDimsWhatTheWindowShowsToADimScreenWhileScreenshotsStayAsDrawn)
{
    UIImage drawn = Renderer::renderScreen(1);
    // The white page, the button's teal beside its title, a blue row of the list.
    const std::pair<int, int> places[] { { 380, 160 }, { 115, 142 }, { 20, 270 } };
    // The lowest still gives a quarter of the light: dim, not dark.
    for (auto [brightness, share] : { std::pair { 0.5f, 0.625 }, { 0.0f, 0.25 }, { 1.0f, 1.0 } }) {
        SJDeviceVolumeAndBrightnessController::shared().setBrightness(brightness);
        EXPECT_TRUE(shell->window().drawIfNeeded()) << brightness << ": shown at once";
        auto shown = display->capture(xid);
        ASSERT_TRUE(shown) << brightness;
        for (auto [x, y] : places) {
            UIColor::RGBA want = drawn.pixel(x, y);
            UIColor::RGBA seen = shown->pixel(x, y);
            for (auto [got, full] :
                { std::pair { seen.red, want.red }, { seen.green, want.green }, { seen.blue, want.blue } })
                EXPECT_NEAR(got * 255, full * share * 255, 2) << brightness << " at " << x << "," << y;
        }
    }
    // What the device writes is the screen as drawn, the backlight at its lowest.
    SJDeviceVolumeAndBrightnessController::shared().setBrightness(0);
    auto written = UIImage::fromFile(shell->shell().screenshot("dim").value_or(""));
    ASSERT_TRUE(written);
    EXPECT_TRUE(zvtest::picturesMatch(drawn, *written));
}

TEST_F(WindowOnDisplay, TheLevelsMovedInTheWindowAreThereAtItsNextStart)
{
    auto& levels = SJDeviceVolumeAndBrightnessController::shared();
    std::filesystem::path file = dir / "device.json";
    shell.reset();
    resetPlatform();
    openWindow(file);
    levels.setVolume(0.3f);
    levels.setBrightness(0.4f);
    ASSERT_TRUE(display->requestClose(xid));
    ASSERT_TRUE(waitFor([&] { return shell->isClosed(); }));
    shell->run();
    shell.reset();

    // The next start, before the app comes up.
    resetPlatform();
    openWindow(file);
    EXPECT_EQ(levels.volume(), 0.3f);
    EXPECT_EQ(levels.brightness(), 0.4f);
}

TEST_F(WindowOnDisplay, ClicksTapTypingFillsTheFocusedFieldAndKeysAct)
{
    ASSERT_TRUE(click(*delegate->button));
    EXPECT_TRUE(waitFor([&] { return delegate->taps == 1; }));
    EXPECT_EQ(delegate->title->text(), "Tapped 1 time");

    ASSERT_TRUE(click(*delegate->field));
    ASSERT_TRUE(waitFor([&] { return delegate->field->isFirstResponder(); }));
    ASSERT_TRUE(display->type(xid, "Zentavo 42"));
    EXPECT_TRUE(waitFor([&] { return delegate->field->text() == "Zentavo 42"; })) << delegate->field->text();
    ASSERT_TRUE(display->key(xid, "BackSpace"));
    EXPECT_TRUE(waitFor([&] { return delegate->field->text() == "Zentavo 4"; })) << delegate->field->text();
    // Escape is back: the keyboard goes first.
    ASSERT_TRUE(display->key(xid, "Escape"));
    EXPECT_TRUE(waitFor([&] { return !delegate->field->isFirstResponder(); }));

    // Ctrl+R turns the phone where the screen turns with it (as a player does).
    auto& centre = NotificationCenter::defaultCenter();
    auto turning = centre.addObserver(UIDeviceOrientationDidChangeNotification, [](const Notification&) {
        bool landscape = UIDevice::current().orientation() == UIDeviceOrientation::landscapeLeft;
        UIScreen::main().setInterfaceOrientation(
            landscape ? UIInterfaceOrientation::landscapeRight : UIInterfaceOrientation::portrait);
    });
    ASSERT_TRUE(display->key(xid, "ctrl+r"));
    EXPECT_TRUE(
        waitFor([] { return UIDevice::current().orientation() == UIDeviceOrientation::landscapeLeft; }));
    centre.removeObserver(turning);
    ASSERT_TRUE(display->key(xid, "ctrl+d"));
    EXPECT_TRUE(waitFor([&] {
        return delegate->window()->traitCollection().userInterfaceStyle == UIUserInterfaceStyle::dark;
    }));
}

TEST_F(WindowOnDisplay, DragAndWheelScrollAndCtrlDragPinches)
{
    auto [x, y] = pixelOf(*delegate->list);
    std::string window = std::to_string(xid);
    // Each step reaches the window before the next is sent, as a hand's would.
    auto act = [&](std::vector<std::string> words) {
        bool done = display->xdotool(words);
        settle(0.03);
        return done;
    };
    auto moveTo = [&](int px, int py) {
        return act({ "mousemove", "--window", window, std::to_string(px), std::to_string(py) });
    };
    ASSERT_TRUE(moveTo(x, y + 60));
    ASSERT_TRUE(act({ "mousedown", "1" }));
    for (int step = 1; step <= 5; ++step)
        ASSERT_TRUE(moveTo(x, y + 60 - 25 * step));
    ASSERT_TRUE(act({ "mouseup", "1" }));
    EXPECT_TRUE(waitFor([&] { return delegate->list->contentOffset().y >= 100; }))
        << delegate->list->contentOffset().y;

    double before = delegate->list->contentOffset().y;
    ASSERT_TRUE(moveTo(x, y));
    ASSERT_TRUE(act({ "click", "--repeat", "2", "5" }));
    EXPECT_TRUE(waitFor([&] {
        return delegate->list->contentOffset().y
            >= std::min(before + 96, delegate->list->maximumContentOffset().y);
    })) << before
        << " -> " << delegate->list->contentOffset().y;

    // Ctrl held: a second finger mirrored about the screen's centre (195, 422), so a drag away
    // from the centre spreads the fingers.
    ASSERT_TRUE(moveTo(245, 422));
    ASSERT_TRUE(act({ "keydown", "ctrl" }));
    ASSERT_TRUE(act({ "mousedown", "1" }));
    for (int px : { 265, 285, 305 })
        ASSERT_TRUE(moveTo(px, 422));
    ASSERT_TRUE(act({ "mouseup", "1" }));
    ASSERT_TRUE(act({ "keyup", "ctrl" }));
    EXPECT_TRUE(waitFor([&] { return delegate->pinchScale > 1.5; })) << delegate->pinchScale;
}

TEST_F(WindowOnDisplay, DrawsOnlyWhenSomethingChangedAndFrameAfterFrameWhileSomethingMoves)
{
    const FramePacer& pacer = shell->window().pacer();
    int frames = pacer.framesDrawn();
    settle(0.3);
    EXPECT_EQ(pacer.framesDrawn(), frames) << "an idle screen is not drawn again";

    delegate->title->setText("Changed");
    settle(0.2);
    EXPECT_EQ(pacer.framesDrawn(), frames + 1) << "one change, one frame";

    // Text too long for the marquee scrolls: a frame at every display frame while it is shown.
    delegate->marquee->setText("A notice far too long to fit in two hundred points, so it runs past");
    frames = pacer.framesDrawn();
    settle(0.5);
    EXPECT_GE(pacer.framesDrawn(), frames + 10);
    delegate->marquee->setHidden(true);
    settle(0.1);
    frames = pacer.framesDrawn();
    settle(0.3);
    EXPECT_EQ(pacer.framesDrawn(), frames) << "hidden, it moves no more";
}

TEST_F(WindowOnDisplay, FollowsTheScreenIntoLandscape)
{
    UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    EXPECT_TRUE(waitFor([&] {
        auto shown = display->capture(xid);
        return shown && shown->pixelWidth() == 844 && shown->pixelHeight() == 390;
    }));
    EXPECT_EQ(shell->window().pixelSize(), (WindowGeometry::PixelSize { 844, 390 }));
}

TEST_F(WindowOnDisplay, ClosingEndsTheAppAsTheAppSwitcherDoes)
{
    // What the app sends as it leaves the front has its reply, a moment later, before the app ends.
    auto& app = UIApplication::shared();
    auto leaving = NotificationCenter::defaultCenter().addObserver(
        UIApplicationNotification::WillResignActive, [&](const Notification&) {
            UIBackgroundTaskIdentifier task = app.beginBackgroundTask("report");
            DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.3, [&, task] {
                log->push_back("reply");
                app.endBackgroundTask(task);
            });
        });
    ASSERT_TRUE(display->requestClose(xid));
    EXPECT_TRUE(waitFor([&] { return shell->isClosed(); }));
    // The program's loop ends, the app goes into the background and is terminated, in that order.
    shell->run();
    NotificationCenter::defaultCenter().removeObserver(leaving);
    EXPECT_TRUE(shell->hasEnded());
    EXPECT_EQ(*log, (Log { "resign active", "background", "reply", "terminate" }));
    EXPECT_FALSE(display->capture(xid)) << "the window is gone from the screen";
}

TEST_F(WindowOnDisplay, TheAppEndingItselfEndsTheLoopAndTheWindow)
{
    // The app ends the process (its ad-free restart): the window's loop ends instead, as closing
    // it would; a stop long after stands in for a loop that would never end.
    DispatchQueue::main().async([] { ProcessExit::exit(0); });
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 20, [] { RunLoop::main().stop(); });
    auto start = std::chrono::steady_clock::now();
    shell->run();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10);
    EXPECT_TRUE(shell->isClosed());
    EXPECT_TRUE(shell->hasEnded());
    EXPECT_EQ(shell->shell().exitStatus(), 0);
}

TEST_F(WindowOnDisplay, ScriptsDriveTheWindowInRealTimeUntilItCloses)
{
    const FramePacer& pacer = shell->window().pacer();
    int frames = pacer.framesDrawn();
    std::istringstream script(
        "tap-text 点我 Tap me\nwait 0.3\ntap-id demo.field\ntype 42\nscreenshot typed\n");
    std::ostringstream errors;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(shell->runScript(script, "demo.txt", errors), 0) << errors.str();
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.3)
        << "a wait lasts as long as it says";
    EXPECT_EQ(delegate->title->text(), "Tapped 1 time");
    EXPECT_EQ(delegate->field->text(), "42");
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "typed.png"));
    EXPECT_GT(pacer.framesDrawn(), frames) << "the window showed it";

    // Closed meanwhile, the window ends the wait at once and the script after it.
    ASSERT_TRUE(display->requestClose(xid));
    std::istringstream longer("wait 30\ntap-text 点我 Tap me\n");
    start = std::chrono::steady_clock::now();
    shell->runScript(longer, "long.txt", errors);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10);
    EXPECT_TRUE(shell->isClosed());
    EXPECT_EQ(delegate->taps, 1) << "no line after the close";
}

}

TEST_F(WindowOnDisplay, AWebPageRunsInTheWindowAndAClickReachesItsScript)
{
    std::string error;
    auto server = testserver::TestServer::start({ zvtest::testKeysDir(), {} }, &error);
    ASSERT_TRUE(server) << error;
    server->script("/page.html",
        testserver::Reply::text(200,
            "<meta charset=\"utf-8\"><body style=\"margin:0;background:rgb(255,255,255)\">"
            "<button style=\"position:absolute;left:0;top:0;width:300px;height:100px\" "
            "onclick=\"document.body.style.background='rgb(0,0,255)'\">变色</button>",
            "text/html; charset=utf-8"));
    auto web = std::make_shared<WKWebView>(CGRect { 40, 560, 300, 200 });
    delegate->window()->addSubview(web);
    web->load({ server->httpURL() + "/page.html" });
    // The engine's work comes in through the window's own wait for events, on the real clock.
    ASSERT_TRUE(waitFor([&] { return web->hasPainted(); }, 30));

    // The page's button, then its body under it, as the window shows them.
    auto shownColour = [&](int x, int y) -> std::uint32_t {
        shell->window().drawIfNeeded();
        auto shown = display->capture(xid);
        if (!shown)
            return 0;
        cairo_surface_t* surface = shown->cairoSurface();
        cairo_surface_flush(surface);
        const unsigned char* row = cairo_image_surface_get_data(surface)
            + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    };
    EXPECT_EQ(shownColour(190, 720), 0xFFFFFFu);
    ASSERT_TRUE(display->click(xid, 190, 610));
    EXPECT_TRUE(waitFor([&] { return shownColour(190, 720) == 0x0000FFu; }, 10));
    web->removeFromSuperview();
}
