#include "platform/media/SJRotationManager.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UIWindow.h"

namespace {

unsigned g_mask = UIInterfaceOrientationMaskPortrait;

// Above the app's windows, below the status bar and alerts.
constexpr UIWindowLevel fullscreenWindowLevel = UIWindowLevelNormal + 1;

}

unsigned SJRotationManager::supportedInterfaceOrientationsForWindow(const UIWindow*)
{
    return g_mask;
}

void SJRotationManager::setSupportedInterfaceOrientations(unsigned mask)
{
    // An empty set would leave the window no orientation at all.
    g_mask = mask != 0 ? mask : UIInterfaceOrientationMaskPortrait;
}

void SJRotationManager::resetForTesting()
{
    g_mask = UIInterfaceOrientationMaskPortrait;
}

SJRotationManager::SJRotationManager()
{
    NotificationCenter::defaultCenter().addObserver(
        UIDeviceOrientationDidChangeNotification,
        [alive = std::weak_ptr<bool>(m_alive), this](const Notification&) {
            if (alive.lock())
                deviceOrientationDidChange();
        },
        this);
}

SJRotationManager::~SJRotationManager()
{
    NotificationCenter::defaultCenter().removeObservers(this);
    // A player that goes away in full screen leaves the app in portrait, as it found it.
    if (isFullscreen()) {
        if (m_fullscreenWindow)
            m_fullscreenWindow->setHidden(true);
        if (auto previous = m_previousKeyWindow.lock(); previous && !previous->isHidden())
            previous->makeKey();
        setSupportedInterfaceOrientations(UIInterfaceOrientationMaskPortrait);
        UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::portrait);
    }
}

void SJRotationManager::setViews(std::weak_ptr<UIView> rotatingView, std::weak_ptr<UIView> portraitSuperview)
{
    m_rotatingView = std::move(rotatingView);
    m_portraitSuperview = std::move(portraitSuperview);
}

void SJRotationManager::deviceOrientationDidChange()
{
    if (m_disabledAutorotation || m_transitioning)
        return;
    auto superview = m_portraitSuperview.lock();
    if (!superview || (!isFullscreen() && !superview->window()))
        return;
    switch (UIDevice::current().orientation()) {
    case UIDeviceOrientation::portrait:
        return rotate(UIInterfaceOrientation::portrait, true);
    case UIDeviceOrientation::landscapeLeft:
        // The device turned left stands with its interface turned right.
        return rotate(UIInterfaceOrientation::landscapeRight, true);
    case UIDeviceOrientation::landscapeRight:
        return rotate(UIInterfaceOrientation::landscapeLeft, true);
    default:
        return;
    }
}

void SJRotationManager::rotate()
{
    rotate(isFullscreen() ? UIInterfaceOrientation::portrait : UIInterfaceOrientation::landscapeRight, true);
}

void SJRotationManager::rotate(UIInterfaceOrientation orientation, bool animated, Completion completion)
{
    bool landscape = UIInterfaceOrientationIsLandscape(orientation);
    if (m_transitioning || orientation == UIInterfaceOrientation::unknown || landscape == isFullscreen()) {
        if (completion)
            completion(*this);
        return;
    }
    m_transitioning = true;
    m_orientation = landscape ? orientation : UIInterfaceOrientation::portrait;
    setSupportedInterfaceOrientations(landscape ? UIInterfaceOrientationMaskLandscape : UIInterfaceOrientationMaskPortrait);
    UIScreen::main().setInterfaceOrientation(m_orientation);
    placeRotatingView();
    if (auto handler = m_transitionHandler)
        handler(*this, true);
    if (!animated)
        return endTransition(std::move(completion));
    DispatchQueue::main().asyncAfter(DispatchTime::now() + transitionDuration,
        [alive = std::weak_ptr<bool>(m_alive), this, completion = std::move(completion)]() mutable {
            if (alive.lock())
                endTransition(std::move(completion));
        });
}

void SJRotationManager::endTransition(Completion completion)
{
    m_transitioning = false;
    if (auto handler = m_transitionHandler)
        handler(*this, false);
    if (completion)
        completion(*this);
}

void SJRotationManager::placeRotatingView()
{
    auto view = m_rotatingView.lock();
    if (!view)
        return;
    if (isFullscreen()) {
        if (!m_fullscreenWindow) {
            m_fullscreenWindow = std::make_shared<UIWindow>();
            m_fullscreenWindow->setWindowLevel(fullscreenWindowLevel);
            m_fullscreenWindow->setBackgroundColor(UIColor::black());
        }
        m_fullscreenWindow->setFrame(UIScreen::main().bounds());
        m_fullscreenWindow->addSubview(view);
        view->setFrame(m_fullscreenWindow->bounds());
        // Touches go to the key window: the player's, while it covers the app.
        if (auto key = UIApplication::shared().keyWindow(); key != m_fullscreenWindow)
            m_previousKeyWindow = key;
        m_fullscreenWindow->makeKeyAndVisible();
        return;
    }
    if (auto superview = m_portraitSuperview.lock()) {
        superview->insertSubview(view, 0);
        view->setFrame(superview->bounds());
    }
    if (m_fullscreenWindow) {
        m_fullscreenWindow->setHidden(true);
        m_fullscreenWindow.reset();
    }
    if (auto previous = m_previousKeyWindow.lock(); previous && !previous->isHidden())
        previous->makeKey();
    m_previousKeyWindow.reset();
}
