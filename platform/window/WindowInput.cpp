#include "platform/window/WindowInput.h"

#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIDevice.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyInput.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/web/WKWebView.h"

#include <algorithm>

namespace {

UIKeyInput* keyInput(const std::shared_ptr<UIResponder>& responder)
{
    return dynamic_cast<UIKeyInput*>(responder.get());
}

bool isShown(const UIView& view)
{
    for (const UIView* v = &view; v; v = v->superview().get()) {
        if (v->isHidden() || v->alpha() < 0.01)
            return false;
    }
    return view.window() != nullptr;
}

// The navigation controller that a back gesture pops within what `controller` shows: the
// deepest one with more than its root, following the shown children.
std::shared_ptr<UINavigationController> poppable(const std::shared_ptr<UIViewController>& controller)
{
    if (!controller)
        return nullptr;
    if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller)) {
        if (auto inner = poppable(navigation->topViewController()))
            return inner;
        return navigation->viewControllers().size() > 1 ? navigation : nullptr;
    }
    if (auto tabs = std::dynamic_pointer_cast<UITabBarController>(controller))
        return poppable(tabs->selectedViewController());
    const auto& children = controller->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const auto& view = (*it)->viewIfLoaded();
        if (!view || !isShown(*view))
            continue;
        if (auto found = poppable(*it))
            return found;
    }
    return nullptr;
}

CGFloat clampedTo(CGFloat value, CGFloat low, CGFloat high)
{
    return std::clamp(value, low, std::max(low, high));
}

// The flick that stands for a wheel's motion on a paging view: along its main direction, fast
// enough to turn one page.
CGPoint pageFlick(CGVector delta)
{
    constexpr CGFloat speed = UIScrollView::pagingVelocityThreshold * 2;
    if (std::abs(delta.dy) >= std::abs(delta.dx))
        return { 0, delta.dy > 0 ? speed : delta.dy < 0 ? -speed : 0 };
    return { delta.dx > 0 ? speed : -speed, 0 };
}

}

std::shared_ptr<UIWindow> WindowInput::targetWindow()
{
    if (auto key = UIApplication::shared().keyWindow(); key && !key->isHidden())
        return key;
    auto windows = TouchDriver::windowsFrontToBack();
    return windows.empty() ? nullptr : windows.front();
}

CGPoint WindowInput::mirrored(CGPoint point)
{
    CGPoint centre = UIScreen::main().bounds().center();
    return { 2 * centre.x - point.x, 2 * centre.y - point.y };
}

// ---- Pointer ----

void WindowInput::pointerDown(CGPoint point, bool pinch)
{
    auto& dispatcher = UIEventDispatcher::shared();
    if (m_pressed)
        pointerCancel();
    auto window = targetWindow();
    if (!window)
        return;
    window->layoutIfNeeded();
    if (!dispatcher.touchDown(window, point))
        return;
    m_pressed = true;
    m_pinching = pinch && dispatcher.secondTouchDown(mirrored(point));
}

void WindowInput::pointerMove(CGPoint point)
{
    if (!m_pressed)
        return;
    auto& dispatcher = UIEventDispatcher::shared();
    if (!dispatcher.isTouching()) {
        // The touch was cancelled under the pointer (a recogniser or a screen took it away).
        m_pressed = m_pinching = false;
        return;
    }
    if (m_pinching && dispatcher.hasSecondTouch())
        dispatcher.touchesMove(point, mirrored(point));
    else
        dispatcher.touchMove(point);
}

void WindowInput::pointerUp(CGPoint point)
{
    if (!m_pressed)
        return;
    auto& dispatcher = UIEventDispatcher::shared();
    if (m_pinching)
        dispatcher.secondTouchUp(mirrored(point));
    dispatcher.touchUp(point);
    m_pressed = m_pinching = false;
}

void WindowInput::pointerCancel()
{
    if (!m_pressed)
        return;
    UIEventDispatcher::shared().touchCancel();
    m_pressed = m_pinching = false;
}

// ---- Wheel ----

std::shared_ptr<UIScrollView> WindowInput::wheelTarget(CGPoint point, CGVector delta)
{
    auto window = targetWindow();
    if (!window)
        return nullptr;
    window->layoutIfNeeded();
    for (auto view = window->hitTest(point); view; view = view->superview()) {
        auto scroll = std::dynamic_pointer_cast<UIScrollView>(view);
        if (!scroll || !scroll->isScrollEnabled())
            continue;
        if (scroll->isPagingEnabled()) {
            // A page at a time, along the wheel's main direction only: a touchpad's stray
            // sideways motion must not turn a carousel under a list. While it turns, what
            // follows that way is its own.
            CGPoint flick = pageFlick(delta);
            bool alongItsAxis = (flick.y != 0 && scroll->canScrollVertically())
                || (flick.x != 0 && scroll->canScrollHorizontally());
            if (alongItsAxis
                && (scroll->isDecelerating() || scroll->flickTarget(flick) != scroll->contentOffset()))
                return scroll;
            continue;
        }
        CGPoint offset = scroll->contentOffset();
        CGPoint low = scroll->minimumContentOffset();
        CGPoint high = scroll->maximumContentOffset();
        CGPoint target = offset;
        if (delta.dx != 0 && scroll->canScrollHorizontally())
            target.x = clampedTo(offset.x + delta.dx, low.x, high.x);
        if (delta.dy != 0 && scroll->canScrollVertically())
            target.y = clampedTo(offset.y + delta.dy, low.y, high.y);
        if (target != offset)
            return scroll;
    }
    return nullptr;
}

std::shared_ptr<WKWebView> WindowInput::webViewAt(CGPoint point)
{
    auto window = targetWindow();
    if (!window)
        return nullptr;
    window->layoutIfNeeded();
    for (auto view = window->hitTest(point); view; view = view->superview()) {
        if (auto web = std::dynamic_pointer_cast<WKWebView>(view))
            return web;
    }
    return nullptr;
}

bool WindowInput::wheel(CGPoint point, CGVector delta)
{
    if (m_pressed)
        return false; // the finger holds the content
    // A web page scrolls itself (or whatever the page's script makes of the wheel).
    if (auto web = webViewAt(point)) {
        web->scrollByWheel(web->convertFrom(point, nullptr), delta);
        return true;
    }
    auto scroll = wheelTarget(point, delta);
    if (!scroll)
        return false;
    // A paging view turns as under a flick; the notches that follow while it turns are spent
    // (one turn of a touchpad is many events).
    if (scroll->isPagingEnabled()) {
        if (!scroll->isDecelerating())
            scroll->flick(pageFlick(delta));
        return true;
    }
    CGPoint offset = scroll->contentOffset();
    CGPoint low = scroll->minimumContentOffset();
    CGPoint high = scroll->maximumContentOffset();
    if (scroll->canScrollHorizontally())
        offset.x = clampedTo(offset.x + delta.dx, low.x, high.x);
    if (scroll->canScrollVertically())
        offset.y = clampedTo(offset.y + delta.dy, low.y, high.y);
    scroll->setContentOffset(offset);
    return true;
}

// ---- Keyboard ----

bool WindowInput::text(const std::string& text)
{
    auto responder = UIResponder::currentFirstResponder();
    auto* input = keyInput(responder);
    if (!input || text.empty())
        return false;
    if (auto* field = dynamic_cast<UITextField*>(responder.get()); field && field->markedTextRange())
        field->setMarkedText("");
    input->insertText(text);
    return true;
}

bool WindowInput::composition(const std::string& text)
{
    auto responder = UIResponder::currentFirstResponder();
    auto* field = dynamic_cast<UITextField*>(responder.get());
    if (!field)
        return false;
    if (text.empty() && !field->markedTextRange())
        return true;
    field->setMarkedText(text);
    return true;
}

bool WindowInput::key(WindowKey key)
{
    switch (key) {
    case WindowKey::back:
        return back();
    case WindowKey::rotate:
        return rotate();
    case WindowKey::toggleStyle:
        toggleStyle();
        return true;
    case WindowKey::returnKey:
    case WindowKey::deleteBackward: {
        auto* input = keyInput(UIResponder::currentFirstResponder());
        if (!input)
            return false;
        if (key == WindowKey::returnKey)
            input->insertText("\n");
        else
            input->deleteBackward();
        return true;
    }
    }
    return false;
}

bool WindowInput::back()
{
    if (auto responder = UIResponder::currentFirstResponder(); keyInput(responder))
        return responder->resignFirstResponder();
    auto window = targetWindow();
    if (window && escape(window))
        return true;
    auto root = window ? window->rootViewController() : nullptr;
    if (root) {
        auto top = root;
        for (auto presented = top->presentedViewController(); presented && presented != top;
             presented = top->presentedViewController())
            top = presented;
        if (top->accessibilityPerformEscape())
            return true;
        if (auto navigation = poppable(top)) {
            navigation->popViewController(true);
            return true;
        }
        // An alert waits for one of its actions; anything else presented goes.
        if (top != root && !std::dynamic_pointer_cast<UIAlertController>(top)) {
            top->dismiss(true);
            return true;
        }
    }
    // Full screen is left as the phone leaves it: turned back upright.
    if (UIInterfaceOrientationIsLandscape(UIScreen::main().interfaceOrientation()))
        return rotate();
    return false;
}

bool WindowInput::escape(const std::shared_ptr<UIView>& view)
{
    if (view->isHidden() || view->alpha() < 0.01 || !view->isUserInteractionEnabled())
        return false;
    // The front-most first, the innermost before what holds it.
    auto subviews = view->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (escape(*it))
            return true;
    }
    return view->accessibilityPerformEscape();
}

bool WindowInput::rotate()
{
    auto& device = UIDevice::current();
    auto& screen = UIScreen::main();
    UIInterfaceOrientation shown = screen.interfaceOrientation();
    bool landscape = UIInterfaceOrientationIsLandscape(shown);
    // The phone stands as the screen does first: a screen may have turned by a button of its
    // own (the player's full-screen button) while the phone stayed upright.
    UIDeviceOrientation standing = !landscape             ? UIDeviceOrientation::portrait
        : shown == UIInterfaceOrientation::landscapeRight ? UIDeviceOrientation::landscapeLeft
                                                          : UIDeviceOrientation::landscapeRight;
    device.setOrientation(standing);
    device.setOrientation(landscape ? UIDeviceOrientation::portrait : UIDeviceOrientation::landscapeLeft);
    if (UIInterfaceOrientationIsLandscape(screen.interfaceOrientation()) != landscape)
        return true;
    // No screen turned with the phone (this screen stands upright only): it is put back, so
    // that nothing waits for a later turn.
    device.setOrientation(standing);
    return false;
}

void WindowInput::toggleStyle()
{
    if (m_styleChooser) {
        m_style = m_styleChooser();
        return;
    }
    m_style = m_style == UIUserInterfaceStyle::dark ? UIUserInterfaceStyle::light : UIUserInterfaceStyle::dark;
    for (const auto& shown : UIApplication::shared().windows())
        shown->setOverrideUserInterfaceStyle(m_style);
}

void WindowInput::applyStyle() const
{
    if (m_style != UIUserInterfaceStyle::dark)
        return;
    for (const auto& window : UIApplication::shared().windows()) {
        if (window->overrideUserInterfaceStyle() == UIUserInterfaceStyle::unspecified)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    }
}
