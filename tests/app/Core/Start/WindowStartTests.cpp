// The app in a real window, as `zentavo --window` runs it, on an X server of the test's own
// (Xvfb) against the local server: xdotool clicks through the launch screen and the tabs, types a
// search and closes the window; what the window shows is what the headless device draws.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Helpers/ChosenStyle.h"
#include "app/Core/Start/AppDelegate.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "app/MainController/Launch/ZV_LaunchVC.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/MainController/Search/View/ZV_SearchNavView.h"
#include "app/MainController/Short/Controller/ZV_ShortPageVC.h"
#include "app/MainController/Short/Controller/ZV_ShortVideoViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/keyboard/IQKeyboardManager.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/qmui/QMUIConsole.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "platform/ui/segmented/JXSegmentedView.h"
#include "platform/ui/web/DWKWebView.h"
#include "platform/window/WindowShell.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tests/display/XvfbDisplay.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class AppInWindow : public zvtest::ApiServerTest {
protected:
    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        std::string whyNot;
        display = zvtest::XvfbDisplay::shared(&whyNot);
        if (!display)
            GTEST_SKIP() << whyNot;
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIDevice::current().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        QMUIConsole::resetForTesting();
        // The captcha finds the key window once; each test's app has a window of its own.
        resetCachedKeyWindowForTesting();

        // The desktop's opener: a script that writes down the address it was given.
        std::filesystem::path opener = home / "opener.sh";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" << (home / "opened").string()
                              << "'\n";
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);

        WindowShellOptions options;
        options.window.title = "zentavo-app-test";
        options.window.scale = 1;
        options.device.outputFolder = home / "out";
        options.urlOpener = opener.string();
        // As the program hands it over.
        options.styleChooser = &ChosenStyle::swap;
        std::string error;
        shell = WindowShell::open(options, &error);
        ASSERT_TRUE(shell) << error;
        delegate = std::make_shared<AppDelegate>();
        shell->launch(delegate);
        xid = shell->window().nativeWindow();
        ASSERT_NE(xid, 0u);
    }

    void TearDown() override
    {
        // It would keep this app's window, and all it shows, alive.
        resetCachedKeyWindowForTesting();
        shell.reset();
        delegate.reset();
        if (auto responder = UIResponder::currentFirstResponder())
            responder->resignFirstResponder();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        IQKeyboardManager::shared().resetForTesting();
        ApiServerTest::TearDown();
    }

    bool waitFor(const std::function<bool()>& condition, double seconds = 10)
    {
        return shell->runUntil(condition, seconds);
    }
    void settle(double seconds)
    {
        shell->runUntil([] { return false; }, seconds);
    }

    // A click in the middle of a view where it shows (the window's scale is 1).
    bool click(const UIView& view)
    {
        CGPoint centre = view.convert(view.bounds(), nullptr).center();
        return display->click(xid, static_cast<int>(centre.x), static_cast<int>(centre.y));
    }

    std::shared_ptr<ZVRootViewController> rootScreen() const
    {
        auto window = delegate->window();
        auto stack = window ? std::dynamic_pointer_cast<ZVNavigationController>(window->rootViewController())
                            : nullptr;
        return stack ? std::dynamic_pointer_cast<ZVRootViewController>(stack->viewControllers().front())
                     : nullptr;
    }

    // A start prompt's button clicked once it shows, and the prompt gone.
    void answerPrompt(const std::string& identifier)
    {
        std::shared_ptr<UIView> button;
        ASSERT_TRUE(waitFor([&] { return (button = TouchDriver::findIdentifier(identifier)) != nullptr; }))
            << identifier;
        settle(0.5);
        ASSERT_TRUE(click(*button));
        ASSERT_TRUE(waitFor([&] { return !TouchDriver::findIdentifier(identifier); }))
            << identifier << " stays";
    }

    // Past the launch screen by its skip button, as a person.
    void skipTheLaunchScreen()
    {
        auto window = delegate->window();
        ASSERT_TRUE(window);
        auto launch = std::dynamic_pointer_cast<ZV_LaunchVC>(window->rootViewController());
        ASSERT_TRUE(launch);
        ASSERT_TRUE(waitFor([&] { return !launch->skipBtn()->isHidden(); })) << "the countdown";
        ASSERT_TRUE(click(*launch->skipBtn()));
        ASSERT_TRUE(waitFor([&] { return rootScreen() != nullptr; })) << "skipped to the root";
    }

    // Past the launch screen and past the home tab's start prompts (the update offer over the
    // pop-up advert over the teen-mode question), as a person.
    void reachTheRoot()
    {
        skipTheLaunchScreen();
        if (HasFatalFailure())
            return;
        for (const char* prompt : { "update.close", "advert.close", "pure.know" }) {
            answerPrompt(prompt);
            if (HasFatalFailure())
                return;
        }
    }

    // Clicked into and typed as a person does (keys of the keyboard's own layout).
    void typeInto(UITextField& field, const std::string& text)
    {
        ASSERT_TRUE(click(field));
        ASSERT_TRUE(waitFor([&] { return field.isFirstResponder(); }));
        ASSERT_TRUE(display->type(xid, text));
        ASSERT_TRUE(waitFor([&] { return field.text() == text; })) << field.text();
    }

    // The front-most captcha overlay on the app's window, if any.
    std::shared_ptr<ZV_CaptchaView> captcha() const
    {
        const auto& subviews = delegate->window()->subviews();
        for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
            if (auto overlay = std::dynamic_pointer_cast<ZV_CaptchaView>(*it))
                return overlay;
        }
        return nullptr;
    }

    // The captcha that a click on the button brings up, its page shown, then Esc: the overlay
    // goes as a tap beside its page would take it.
    void escapeTheCaptchaOf(const UIView& button)
    {
        ASSERT_TRUE(click(button));
        std::shared_ptr<ZV_CaptchaView> overlay;
        ASSERT_TRUE(waitFor([&] { return (overlay = captcha()) != nullptr; })) << "no captcha";
        ASSERT_TRUE(waitFor([&] { return overlay->zv_webView()->hasPage(); }, 20)) << "its page";
        settle(0.3);
        ASSERT_TRUE(display->key(xid, "Escape"));
        ASSERT_TRUE(waitFor([&] { return !overlay->superview(); })) << "the captcha stays";
        settle(0.5);
    }

    zvtest::XvfbDisplay* display = nullptr;
    std::unique_ptr<WindowShell> shell;
    std::shared_ptr<AppDelegate> delegate;
    std::uint64_t xid = 0;
};

TEST_F(AppInWindow, OpensAndTabsSwitchByClicksShowingWhatTheHeadlessScreenshotShows)
{
    reachTheRoot();
    auto root = rootScreen();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->segmentedView()->selectedIndex(), 0);

    // The bottom bar's tabs, centred at x = 56, 126, 195, 264, 334 on its line at y = 783.
    ASSERT_TRUE(display->click(xid, 126, 783));
    ASSERT_TRUE(waitFor([&] { return root->segmentedView()->selectedIndex() == 1; })) << "the ranking tab";
    // Its covers come in; then the window and the headless screenshot show the same screen.
    settle(2);
    auto written = shell->shell().screenshot("ranking");
    ASSERT_TRUE(written);
    shell->window().drawIfNeeded();
    auto shown = display->capture(xid);
    ASSERT_TRUE(shown);
    Renderer::writePNG(*shown, zvtest::screenshotPath("app-window-ranking.png"));
    auto headless = UIImage::fromFile(*written);
    ASSERT_TRUE(headless);
    EXPECT_TRUE(zvtest::picturesMatch(*shown, *headless));

    ASSERT_TRUE(display->click(xid, 334, 783));
    EXPECT_TRUE(waitFor([&] { return root->segmentedView()->selectedIndex() == 4; })) << "the my tab";
    ASSERT_TRUE(display->click(xid, 56, 783));
    ASSERT_TRUE(waitFor([&] { return root->segmentedView()->selectedIndex() == 0; })) << "home again";
    // The home feed, whose carousel slides by itself: the window keeps up with what it draws.
    settle(3.5);
    written = shell->shell().screenshot("home");
    ASSERT_TRUE(written);
    shell->window().drawIfNeeded();
    shown = display->capture(xid);
    ASSERT_TRUE(shown);
    Renderer::writePNG(*shown, zvtest::screenshotPath("app-window-home.png"));
    headless = UIImage::fromFile(*written);
    ASSERT_TRUE(headless);
    EXPECT_TRUE(zvtest::picturesMatch(*shown, *headless));
}

TEST_F(AppInWindow, TypedSearchIsKeptWhenTheWindowClosesTheApp)
{
    reachTheRoot();
    // The short-video tab's "play the title" leads to the search page with the clip's title.
    ASSERT_TRUE(display->click(xid, 264, 783));
    std::shared_ptr<UIView> play;
    ASSERT_TRUE(waitFor([&] { return (play = TouchDriver::findText("播放正片")) != nullptr; }));
    settle(0.3);
    ASSERT_TRUE(click(*play));
    std::shared_ptr<ZV_SearchVC> search;
    ASSERT_TRUE(waitFor([&] {
        search = std::dynamic_pointer_cast<ZV_SearchVC>(
            rootScreen()->navigationController()->topViewController());
        return search != nullptr;
    }));
    settle(0.5);

    // The field holds the clip's title: cleared with the delete key, a keyword typed, returned.
    auto field = search->zv_searchView()->zv_searchField();
    ASSERT_TRUE(click(*field));
    ASSERT_TRUE(waitFor([&] { return field->isFirstResponder(); }));
    ASSERT_TRUE(display->xdotool({ "key", "--window", std::to_string(xid), "--repeat", "30", "BackSpace" }));
    ASSERT_TRUE(waitFor([&] { return field->text().empty(); })) << field->text();
    // Keys of the keyboard's own layout (xdotool cannot type through an input method).
    ASSERT_TRUE(display->type(xid, "rain"));
    ASSERT_TRUE(waitFor([&] { return field->text() == "rain"; })) << field->text();
    ASSERT_TRUE(display->key(xid, "Return"));
    // The results of the typed keyword (the server matches Latin names whatever their case).
    auto resultNames = [&] {
        std::vector<std::string> names;
        for (const auto& movie : search->zv_searchMovieList)
            names.push_back(movie->name);
        return names;
    };
    ASSERT_TRUE(waitFor([&] { return !resultNames().empty() && resultNames().front() == "Rainy Season"; }))
        << (resultNames().empty() ? "(none)" : resultNames().front());
    EXPECT_EQ(resultNames(),
        (std::vector<std::string> { "Rainy Season", "The Rain King", "Rain (Director's Cut)" }));
    EXPECT_EQ(ZV_SearchVC::history().front(), "rain");

    // The close button: the app goes into the background, then it is terminated.
    std::vector<std::string> ends;
    auto& centre = NotificationCenter::defaultCenter();
    auto background = centre.addObserver(UIApplicationNotification::DidEnterBackground,
        [&](const Notification&) { ends.push_back("background"); });
    auto terminate = centre.addObserver(
        UIApplicationNotification::WillTerminate, [&](const Notification&) { ends.push_back("terminate"); });
    ASSERT_TRUE(display->requestClose(xid));
    ASSERT_TRUE(waitFor([&] { return shell->isClosed(); }));
    shell->run();
    centre.removeObserver(background);
    centre.removeObserver(terminate);
    EXPECT_EQ(ends, (std::vector<std::string> { "background", "terminate" }));

    // The next start reads the keyword from the app folder.
    UserDefaults::resetStandardForTesting();
    auto history = ZV_SearchVC::history();
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.front(), "rain");
}

TEST_F(AppInWindow, UpdateGoesToTheDesktopsOpenerAndEscClosesThePromptsWithACloseButton)
{
    skipTheLaunchScreen();
    std::shared_ptr<UIView> update;
    ASSERT_TRUE(waitFor([&] { return (update = TouchDriver::findText("立即升级")) != nullptr; }));
    settle(0.5);
    ASSERT_TRUE(click(*update));
    std::string opened;
    ASSERT_TRUE(waitFor([&] {
        std::ifstream file(home / "opened");
        std::stringstream text;
        text << file.rdbuf();
        opened = text.str();
        return opened.ends_with("\n") && opened.find('\n') != opened.rfind('\n');
    })) << "the opener was not started";
    // One argument: the update's download address.
    EXPECT_TRUE(opened.starts_with("1\nhttps://127.0.0.1:")) << opened;
    EXPECT_TRUE(opened.ends_with("/download.html\n")) << opened;
    EXPECT_TRUE(TouchDriver::findIdentifier("update.close")) << "the prompt stays up";

    // Esc closes the update prompt, then the pop-up advert under it, then the teen-mode question
    // (as its close button under the card does: unanswered, it comes back at the next start).
    ASSERT_TRUE(display->key(xid, "Escape"));
    // Gone once it has faded out (an Esc meanwhile is spent on it).
    ASSERT_TRUE(waitFor([&] {
        return QMUIModalPresentationViewController::visibleModalPresentationViewControllers().empty();
    })) << "the update prompt";
    EXPECT_TRUE(TouchDriver::findIdentifier("advert.close"));
    ASSERT_TRUE(display->key(xid, "Escape"));
    ASSERT_TRUE(waitFor([&] { return !TouchDriver::findIdentifier("advert.close"); })) << "the pop-up advert";
    EXPECT_TRUE(TouchDriver::findIdentifier("pure.know"));
    ASSERT_TRUE(display->key(xid, "Escape"));
    ASSERT_TRUE(waitFor([&] { return !TouchDriver::findIdentifier("pure.know"); }))
        << "the teen-mode question";
    EXPECT_FALSE(StoreData::boolValue(StoreData::pureAlert));
}

TEST_F(AppInWindow, TheWheelTurnsShortVideosAndCtrlRTurnsOnlyAPlayerThatEscTurnsBack)
{
    reachTheRoot();
    auto root = rootScreen();
    ASSERT_TRUE(root);
    ASSERT_TRUE(display->click(xid, 264, 783));
    auto feed = root->shortPageVC()->zv_shortVideoViewController();
    ASSERT_TRUE(waitFor([&] { return feed->list.size() >= 3 && feed->curPlayer(); })) << "the clips";
    settle(0.5);
    auto& clips = *feed->collectionView();
    CGFloat page = clips.bounds().height();
    ASSERT_GT(page, 0);

    // Down the wheel: the next clip plays; once more, the one after; up, back to the second.
    struct Turn {
        const char* button; // xdotool's: 5 down the wheel, 4 up
        int clip;
    };
    for (const Turn turn : { Turn { "5", 1 }, Turn { "5", 2 }, Turn { "4", 1 } }) {
        ASSERT_TRUE(display->xdotool(
            { "mousemove", "--window", std::to_string(xid), "195", "400", "click", turn.button }));
        EXPECT_TRUE(waitFor([&] { return feed->currentIndex() == turn.clip && !clips.isDecelerating(); }))
            << "clip " << turn.clip << " plays, not " << feed->currentIndex();
        EXPECT_EQ(clips.contentOffset().y, turn.clip * page);
        settle(0.3);
    }

    // The feed stands upright only: Ctrl+R does nothing, and leaves nothing for later.
    ASSERT_TRUE(display->key(xid, "ctrl+r"));
    settle(0.5);
    EXPECT_EQ(UIScreen::main().interfaceOrientation(), UIInterfaceOrientation::portrait);
    EXPECT_EQ(UIDevice::current().orientation(), UIDeviceOrientation::portrait);

    // A title page: its player turns into full screen at the first Ctrl+R, while it plays and
    // on its error layer; Esc leaves full screen, then the page.
    auto detail = std::make_shared<ZV_DetailVC>();
    detail->vod_id = "40618";
    root->navigationController()->pushViewController(detail, true);
    ASSERT_TRUE(waitFor([&] { return detail->episode_id.has_value(); })) << "the title's episodes";
    settle(1);
    auto player = detail->zv_playerView()->player();
    for (bool failed : { false, true }) {
        if (failed) {
            detail->switchEpisode("2180004"); // the broken stream
            ASSERT_TRUE(waitFor(
                [&] { return player->currentControlLayerIdentifier() == SJControlLayer_LoadFailed; }, 20))
                << "the error layer";
        }
        ASSERT_TRUE(display->key(xid, "ctrl+r"));
        EXPECT_TRUE(waitFor([&] {
            return player->isFullscreen() && !player->rotationManager().isTransitioning();
        })) << (failed ? "on the error layer" : "playing");
        ASSERT_TRUE(display->key(xid, "Escape"));
        EXPECT_TRUE(waitFor([&] {
            return !player->isFullscreen() && !player->rotationManager().isTransitioning();
        })) << (failed ? "on the error layer" : "playing");
        EXPECT_EQ(UIScreen::main().interfaceOrientation(), UIInterfaceOrientation::portrait);
        EXPECT_EQ(root->navigationController()->topViewController(), detail);
    }
    ASSERT_TRUE(display->key(xid, "Escape"));
    EXPECT_TRUE(waitFor([&] { return root->navigationController()->topViewController() == root; }));
}

TEST_F(AppInWindow, CtrlDIsTheViewersStoredDarkChoiceThatTheShortVideosGiveBack)
{
    reachTheRoot();
    auto root = rootScreen();
    ASSERT_TRUE(root);
    auto window = delegate->window();
    // Chosen while another window is key (as the player's full screen is), the app's own takes it too.
    auto fullScreen = std::make_shared<UIWindow>();
    fullScreen->makeKeyAndVisible();
    ASSERT_TRUE(display->key(xid, "ctrl+d"));
    ASSERT_TRUE(waitFor([&] { return fullScreen->overrideUserInterfaceStyle() == UIUserInterfaceStyle::dark; }));
    EXPECT_EQ(window->overrideUserInterfaceStyle(), UIUserInterfaceStyle::dark);
    fullScreen->setHidden(true);
    window->makeKey();
    // Stored (written through at once), the next start opens dark.
    EXPECT_TRUE(StoreData::boolValue(StoreData::isDarkColor));

    // The short videos, always dark, then 推荐 again: the page puts the stored style back.
    for (int tab : { 3, 0 }) {
        ASSERT_TRUE(display->click(xid, tab == 3 ? 264 : 56, 783));
        ASSERT_TRUE(waitFor([&] { return root->segmentedView()->selectedIndex() == tab; }));
        settle(0.5);
    }
    EXPECT_EQ(window->overrideUserInterfaceStyle(), UIUserInterfaceStyle::dark);
}

TEST_F(AppInWindow, EscOnTheCaptchaEndsTheAttemptAndLeavesThePageBeneathAsItWas)
{
    reachTheRoot();
    auto root = rootScreen();
    ASSERT_TRUE(root);
    // 我的, then its sign-in header.
    ASSERT_TRUE(display->click(xid, 334, 783));
    std::shared_ptr<UIView> signIn;
    ASSERT_TRUE(waitFor([&] { return (signIn = TouchDriver::findText("点击登录")) != nullptr; }));
    settle(0.5);
    ASSERT_TRUE(click(*signIn));
    auto stack = [&] {
        return std::dynamic_pointer_cast<UINavigationController>(
            root->navigationController()->presentedViewController());
    };
    std::shared_ptr<ZV_LoginViewVC> login;
    ASSERT_TRUE(waitFor([&] {
        login = stack() ? std::dynamic_pointer_cast<ZV_LoginViewVC>(stack()->topViewController()) : nullptr;
        return login != nullptr;
    })) << "the login page";
    settle(0.5);

    // Both fields filled, the button: the captcha. Esc ends the attempt and nothing else.
    typeInto(*login->zv_accountField(), "xiaoyu2023");
    typeInto(*login->zv_passwdField(), "rain-over-2023");
    escapeTheCaptchaOf(*login->zv_loginBtn());
    if (HasFatalFailure())
        return;
    EXPECT_EQ(stack() ? stack()->topViewController() : nullptr, login) << "the login stack went";
    EXPECT_EQ(login->zv_accountField()->text(), "xiaoyu2023");
    EXPECT_EQ(login->zv_passwdField()->text(), "rain-over-2023");
    EXPECT_TRUE(login->zv_loginBtn()->isEnabled());
    EXPECT_TRUE(api().recordsTo("v1/user/login").empty()) << "a result was sent";
    EXPECT_FALSE(storedToken());

    // Registration by phone, on its account step: the captcha before the code; Esc leaves the
    // page on that step with what was typed.
    ASSERT_TRUE(click(*login->zv_registerBtn()));
    std::shared_ptr<ZV_RegisterViewVC> registration;
    ASSERT_TRUE(waitFor([&] {
        registration = stack() ? std::dynamic_pointer_cast<ZV_RegisterViewVC>(stack()->topViewController())
                               : nullptr;
        return registration != nullptr;
    })) << "the registration page";
    settle(0.5);
    ASSERT_TRUE(click(*registration->zv_phoneTypeView()));
    ASSERT_TRUE(waitFor([&] { return registration->page() == 1; }));
    settle(0.5);
    typeInto(*registration->zv_accountField(), "13912345678");
    typeInto(*registration->zv_passwdField(), "pw");
    escapeTheCaptchaOf(*registration->zv_nextBtn());
    if (HasFatalFailure())
        return;
    EXPECT_EQ(stack() ? stack()->topViewController() : nullptr, registration) << "the page was popped";
    EXPECT_EQ(registration->page(), 1);
    EXPECT_EQ(registration->zv_accountField()->text(), "13912345678");
    EXPECT_EQ(registration->zv_passwdField()->text(), "pw");
    EXPECT_TRUE(api().recordsTo("v1/user/get_code").empty()) << "a result was sent";

    // With no captcha up, Esc goes back as ever: the registration page, then the login stack.
    ASSERT_TRUE(display->key(xid, "Escape"));
    EXPECT_TRUE(waitFor([&] { return stack() && stack()->topViewController() == login; }));
    settle(0.5);
    ASSERT_TRUE(display->key(xid, "Escape"));
    EXPECT_TRUE(waitFor([&] { return !stack(); })) << "the login stack stays";
}

}
