#include "platform/ui/UIApplication.h"

#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NoDestructor.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIWindow.h"

#include <algorithm>

UIApplication& UIApplication::shared()
{
    // Never destroyed: windows released late in exit still report to it.
    static NoDestructor<UIApplication> application;
    return *application;
}

void UIApplication::post(const char* name)
{
    NotificationCenter::defaultCenter().post(name, std::any(this));
}

bool UIApplication::launch(
    std::shared_ptr<UIApplicationDelegate> delegate, const UIApplicationLaunchOptions& options)
{
    m_delegate = std::move(delegate);
    bool result = true;
    // Hold the delegate for the call, in case it replaces itself.
    if (auto d = m_delegate) {
        // What the phone's main interface file does: the window exists before launching ends.
        if (!d->window())
            d->setWindow(std::make_shared<UIWindow>());
        result = d->didFinishLaunching(*this, options);
    }
    post(UIApplicationNotification::DidFinishLaunching);
    becomeActive();
    return result;
}

void UIApplication::becomeActive()
{
    m_state = UIApplicationState::active;
    if (auto d = m_delegate)
        d->didBecomeActive(*this);
    post(UIApplicationNotification::DidBecomeActive);
}

void UIApplication::enterBackground()
{
    if (m_state == UIApplicationState::background)
        return;
    if (m_state == UIApplicationState::active) {
        m_state = UIApplicationState::inactive;
        if (auto d = m_delegate)
            d->willResignActive(*this);
        post(UIApplicationNotification::WillResignActive);
    }
    m_state = UIApplicationState::background;
    if (auto d = m_delegate)
        d->didEnterBackground(*this);
    post(UIApplicationNotification::DidEnterBackground);
}

void UIApplication::enterForeground()
{
    if (m_state == UIApplicationState::active)
        return;
    if (m_state == UIApplicationState::background) {
        m_state = UIApplicationState::inactive;
        if (auto d = m_delegate)
            d->willEnterForeground(*this);
        post(UIApplicationNotification::WillEnterForeground);
    }
    becomeActive();
}

void UIApplication::terminate()
{
    if (auto d = m_delegate)
        d->willTerminate(*this);
    post(UIApplicationNotification::WillTerminate);
}

UIBackgroundTaskIdentifier UIApplication::beginBackgroundTask(std::string name)
{
    UIBackgroundTaskIdentifier task = ++m_lastBackgroundTask;
    m_backgroundTasks.emplace(task, std::move(name));
    return task;
}

void UIApplication::endBackgroundTask(UIBackgroundTaskIdentifier task)
{
    m_backgroundTasks.erase(task);
}

bool UIApplication::finishBackgroundTasks(double realSeconds)
{
    // Nothing to wait for: the run loop is not turned. Whoever ends the application may do so as
    // the program ends, where the timers and posts still due would run into what is already gone.
    if (m_backgroundTasks.empty())
        return true;
    if (RunLoop::main().runUntil([this] { return m_backgroundTasks.empty(); }, realSeconds))
        return true;
    for (const auto& [task, name] : m_backgroundTasks)
        Log::write("background task given up, its time was over: " + name);
    m_backgroundTasks.clear();
    return false;
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const
{
    std::vector<std::shared_ptr<UIWindow>> list;
    for (const auto& weak : m_windows) {
        if (auto window = weak.lock())
            list.push_back(window);
    }
    return list;
}

CGRect UIApplication::statusBarFrame() const
{
    return UIScreen::main().statusBarFrame();
}

void UIApplication::windowDidBecomeVisible(const std::shared_ptr<UIWindow>& window)
{
    std::erase_if(m_windows, [](const auto& weak) { return weak.expired(); });
    bool listed
        = std::any_of(m_windows.begin(), m_windows.end(), [&](const auto& w) { return w.lock() == window; });
    if (!listed)
        m_windows.push_back(window);
}

void UIApplication::windowDidBecomeHidden(const UIWindow* window)
{
    std::erase_if(m_windows, [&](const auto& weak) {
        auto w = weak.lock();
        return !w || w.get() == window;
    });
    auto key = m_keyWindow.lock();
    if (!key || key.get() == window)
        m_keyWindow.reset();
}

void UIApplication::makeKeyWindow(const std::shared_ptr<UIWindow>& window)
{
    m_keyWindow = window;
}

void UIApplication::screenBoundsDidChange(const CGRect& oldBounds, const CGRect& newBounds)
{
    for (auto& window : windows()) {
        if (window->frame() == oldBounds)
            window->setFrame(newBounds);
    }
}

void UIApplication::resetForTesting()
{
    m_delegate.reset();
    m_windows.clear();
    m_keyWindow.reset();
    m_state = UIApplicationState::inactive;
    m_idleTimerDisabled = false;
    m_openedURLs.clear();
    m_urlOpener = nullptr;
    m_backgroundTasks.clear();
}

bool UIApplication::openURL(const std::string& url)
{
    if (url.empty())
        return false;
    // A bounded record: a script that taps a link over and over must not grow it without end.
    constexpr std::size_t maximumKept = 100;
    if (m_openedURLs.size() == maximumKept)
        m_openedURLs.erase(m_openedURLs.begin());
    m_openedURLs.push_back(url);
    if (m_urlOpener)
        return m_urlOpener(url);
    Log::write("open-url: " + url);
    return true;
}
