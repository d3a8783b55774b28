#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIScreen.h"

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class UIApplication;
class UIWindow;

// Names of the application's life-cycle notifications (posted on the default centre with the
// application as object).
namespace UIApplicationNotification {
inline constexpr const char* DidFinishLaunching = "UIApplicationDidFinishLaunchingNotification";
inline constexpr const char* DidEnterBackground = "UIApplicationDidEnterBackgroundNotification";
inline constexpr const char* WillEnterForeground = "UIApplicationWillEnterForegroundNotification";
inline constexpr const char* DidBecomeActive = "UIApplicationDidBecomeActiveNotification";
inline constexpr const char* WillResignActive = "UIApplicationWillResignActiveNotification";
inline constexpr const char* WillTerminate = "UIApplicationWillTerminateNotification";
}

using UIApplicationLaunchOptions = std::map<std::string, std::any>;

// What the application tells its delegate. Every method has a harmless default.
class UIApplicationDelegate {
public:
    virtual ~UIApplicationDelegate() = default;

    virtual bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) { return true; }
    virtual void didBecomeActive(UIApplication&) { }
    virtual void willResignActive(UIApplication&) { }
    virtual void didEnterBackground(UIApplication&) { }
    virtual void willEnterForeground(UIApplication&) { }
    virtual void willTerminate(UIApplication&) { }
    virtual unsigned supportedInterfaceOrientations(UIApplication&, UIWindow*)
    {
        return UIInterfaceOrientationMaskAllButUpsideDown;
    }
    // The delegate's main window, for delegates that keep one.
    virtual std::shared_ptr<UIWindow> window() const { return nullptr; }
    // The application hands a delegate without a window the main window (covering the screen,
    // not yet visible) before launching finishes; delegates that keep none ignore it.
    virtual void setWindow(std::shared_ptr<UIWindow>) { }
};

enum class UIApplicationState { active, inactive, background };

// A piece of work that the application asked to finish even if it leaves the front meanwhile.
using UIBackgroundTaskIdentifier = std::uint64_t;

// The process-wide application object (main thread).
template<typename T> class NoDestructor;

class UIApplication {
public:
    static UIApplication& shared();

    const std::shared_ptr<UIApplicationDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<UIApplicationDelegate> delegate) { m_delegate = std::move(delegate); }

    // Starts the application with the delegate: the main window when the delegate has none
    // (setWindow), didFinishLaunching, the launch notification, then the application becomes
    // active. Returns the delegate's answer.
    bool launch(
        std::shared_ptr<UIApplicationDelegate> delegate, const UIApplicationLaunchOptions& options = {});

    UIApplicationState applicationState() const { return m_state; }
    // Moves to the background: will-resign-active, then did-enter-background.
    void enterBackground();
    // Back to the front: will-enter-foreground, then did-become-active.
    void enterForeground();
    void terminate();

    // Work under way that should not be lost when the application leaves the front and is
    // ended soon after (a request whose reply has not come). A phone lets such work finish
    // for a few seconds; whoever ends the application asks finishBackgroundTasks() for that
    // time. Ending an identifier that is not under way (ended, given up) does nothing.
    UIBackgroundTaskIdentifier beginBackgroundTask(std::string name);
    void endBackgroundTask(UIBackgroundTaskIdentifier task);
    std::size_t backgroundTaskCount() const { return m_backgroundTasks.size(); }
    // Runs the main run loop until no background task is under way or `realSeconds` have
    // passed; the tasks still under way then are given up, each named on the log. True when
    // every task ended in time. With none under way it returns at once and runs nothing.
    bool finishBackgroundTasks(double realSeconds);

    // Visible windows in the order they were first shown (held weakly).
    std::vector<std::shared_ptr<UIWindow>> windows() const;
    std::shared_ptr<UIWindow> keyWindow() const { return m_keyWindow.lock(); }
    CGRect statusBarFrame() const;

    // Hands the address to the system to open outside the application: it is kept in
    // openedURLs() and given to the URL opener (the desktop's, in a window); without one, there
    // is no other application on this device and the address is logged. Empty text is refused
    // (false); otherwise the opener's answer.
    bool openURL(const std::string& url);
    const std::vector<std::string>& openedURLs() const { return m_openedURLs; }
    using URLOpener = std::function<bool(const std::string& url)>;
    void setURLOpener(URLOpener opener) { m_urlOpener = std::move(opener); }

    bool isIdleTimerDisabled() const { return m_idleTimerDisabled; }
    void setIdleTimerDisabled(bool disabled) { m_idleTimerDisabled = disabled; }

    // For windows: visibility and key status.
    void windowDidBecomeVisible(const std::shared_ptr<UIWindow>& window);
    void windowDidBecomeHidden(const UIWindow* window);
    void makeKeyWindow(const std::shared_ptr<UIWindow>& window);

    // Windows that covered the old screen bounds follow the screen to its new bounds.
    void screenBoundsDidChange(const CGRect& oldBounds, const CGRect& newBounds);

    // Tests: forget the delegate, windows and state.
    void resetForTesting();

private:
    friend class NoDestructor<UIApplication>;
    UIApplication() = default;
    void becomeActive();
    void post(const char* name);

    std::shared_ptr<UIApplicationDelegate> m_delegate;
    std::vector<std::weak_ptr<UIWindow>> m_windows;
    std::weak_ptr<UIWindow> m_keyWindow;
    UIApplicationState m_state = UIApplicationState::inactive;
    bool m_idleTimerDisabled = false;
    std::vector<std::string> m_openedURLs;
    URLOpener m_urlOpener;
    std::map<UIBackgroundTaskIdentifier, std::string> m_backgroundTasks; // with their names
    UIBackgroundTaskIdentifier m_lastBackgroundTask = 0;
};
