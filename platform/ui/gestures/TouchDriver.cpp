#include "platform/ui/gestures/TouchDriver.h"

#include "platform/dispatch/RunLoop.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIKeyInput.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/controls/UITextView.h"
#include "platform/ui/gestures/UIEventDispatcher.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

bool isVisibleItself(const UIView& view)
{
    return !view.isHidden() && view.alpha() >= 0.01;
}

// Depth first, front-most (last subview) first; hidden subtrees are skipped.
std::shared_ptr<UIView> search(
    const std::shared_ptr<UIView>& view, const std::function<bool(const UIView&)>& match)
{
    if (!isVisibleItself(*view))
        return nullptr;
    const auto& subviews = view->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (auto found = search(*it, match))
            return found;
    }
    return match(*view) ? view : nullptr;
}

std::shared_ptr<UIView> searchWindows(const std::function<bool(const UIView&)>& match)
{
    for (const auto& window : TouchDriver::windowsFrontToBack()) {
        window->layoutIfNeeded();
        if (auto found = search(window, match))
            return found;
    }
    return nullptr;
}

}

TouchDriver::TouchDriver(std::function<void(double)> advance)
    : m_advance(std::move(advance))
{
    if (!m_advance)
        m_advance = [](double seconds) { RunLoop::main().advance(seconds); };
}

void TouchDriver::wait(double seconds)
{
    m_advance(seconds);
}

std::shared_ptr<UIWindow> TouchDriver::targetWindow() const
{
    if (m_window)
        return m_window;
    return UIApplication::shared().keyWindow();
}

bool TouchDriver::touchDown(const std::shared_ptr<UIWindow>& window, CGPoint point)
{
    if (!window)
        return false;
    window->layoutIfNeeded();
    return UIEventDispatcher::shared().touchDown(window, point);
}

bool TouchDriver::tap(CGPoint point)
{
    if (!touchDown(targetWindow(), point))
        return false;
    wait(tapDuration);
    UIEventDispatcher::shared().touchUp(point);
    wait(0);
    return true;
}

bool TouchDriver::doubleTap(CGPoint point)
{
    if (!tap(point))
        return false;
    wait(doubleTapGap);
    return tap(point);
}

bool TouchDriver::longPress(CGPoint point, double seconds)
{
    if (!touchDown(targetWindow(), point))
        return false;
    wait(seconds);
    UIEventDispatcher::shared().touchUp(point);
    wait(0);
    return true;
}

bool TouchDriver::drag(const std::vector<CGPoint>& path, double seconds)
{
    if (path.empty() || !touchDown(targetWindow(), path.front()))
        return false;
    std::vector<CGFloat> lengths { 0 };
    for (std::size_t i = 1; i < path.size(); ++i)
        lengths.push_back(lengths.back() + std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y));
    CGFloat total = lengths.back();
    int steps = std::max(1, static_cast<int>(std::lround(seconds / frameInterval)));
    auto pointAt = [&](CGFloat distance) {
        for (std::size_t i = 1; i < path.size(); ++i) {
            if (distance <= lengths[i] || i + 1 == path.size()) {
                CGFloat segment = lengths[i] - lengths[i - 1];
                CGFloat t = segment > 0 ? std::clamp((distance - lengths[i - 1]) / segment, 0.0, 1.0) : 1.0;
                return CGPoint { path[i - 1].x + (path[i].x - path[i - 1].x) * t,
                    path[i - 1].y + (path[i].y - path[i - 1].y) * t };
            }
        }
        return path.back();
    };
    for (int step = 1; step <= steps; ++step) {
        wait(seconds / steps);
        if (!UIEventDispatcher::shared().isTouching())
            return true; // the touch was cancelled under us
        UIEventDispatcher::shared().touchMove(pointAt(total * step / steps));
    }
    UIEventDispatcher::shared().touchUp(path.back());
    wait(0);
    return true;
}

bool TouchDriver::pinch(CGPoint center, CGFloat fromDistance, CGFloat toDistance, double seconds)
{
    auto fingers = [&](CGFloat distance) {
        return std::pair { CGPoint { center.x - distance / 2, center.y },
            CGPoint { center.x + distance / 2, center.y } };
    };
    auto [first, second] = fingers(fromDistance);
    if (!touchDown(targetWindow(), first))
        return false;
    auto& dispatcher = UIEventDispatcher::shared();
    dispatcher.secondTouchDown(second);
    int steps = std::max(1, static_cast<int>(std::lround(seconds / frameInterval)));
    for (int step = 1; step <= steps; ++step) {
        wait(seconds / steps);
        if (!dispatcher.isTouching())
            return true; // the touch was cancelled under us
        std::tie(first, second) = fingers(fromDistance + (toDistance - fromDistance) * step / steps);
        dispatcher.touchesMove(first, second);
    }
    dispatcher.secondTouchUp(second);
    wait(0);
    dispatcher.touchUp(first);
    wait(0);
    return true;
}

bool TouchDriver::tapView(const UIView& view)
{
    auto window = view.window();
    if (!window || !isVisibleItself(view))
        return false;
    window->layoutIfNeeded();
    CGRect visible = view.convert(view.bounds(), nullptr).intersection(window->bounds());
    if (visible.isNull() || visible.isEmpty())
        return false;
    m_window = window;
    bool done = tap(visible.center());
    m_window.reset();
    return done;
}

std::string TouchDriver::visibleText(const UIView& view)
{
    if (auto* label = dynamic_cast<const UILabel*>(&view))
        return label->text();
    if (auto* button = dynamic_cast<const UIButton*>(&view))
        return button->currentTitle().value_or("");
    if (auto* field = dynamic_cast<const UITextField*>(&view))
        return field->text().empty() ? field->placeholder() : field->displayedText();
    if (auto* textView = dynamic_cast<const UITextView*>(&view))
        return textView->text();
    return {};
}

std::shared_ptr<UIView> TouchDriver::findText(const std::string& text)
{
    if (text.empty())
        return nullptr;
    auto exact = searchWindows([&](const UIView& view) {
        if (auto* field = dynamic_cast<const UITextField*>(&view);
            field && (field->text() == text || field->placeholder() == text))
            return true;
        return visibleText(view) == text || view.accessibilityLabel() == text;
    });
    if (exact)
        return exact;
    return searchWindows(
        [&](const UIView& view) { return visibleText(view).find(text) != std::string::npos; });
}

std::shared_ptr<UIView> TouchDriver::findIdentifier(const std::string& identifier)
{
    if (identifier.empty())
        return nullptr;
    return searchWindows([&](const UIView& view) { return view.accessibilityIdentifier() == identifier; });
}

std::vector<std::shared_ptr<UIWindow>> TouchDriver::windowsFrontToBack()
{
    auto windows = UIApplication::shared().windows();
    std::erase_if(windows, [](const auto& w) { return w->isHidden(); });
    auto key = UIApplication::shared().keyWindow();
    // Later-shown windows are in front among equal levels; the key window leads its level.
    std::reverse(windows.begin(), windows.end());
    std::stable_sort(windows.begin(), windows.end(), [&](const auto& a, const auto& b) {
        if (a->windowLevel() != b->windowLevel())
            return a->windowLevel() > b->windowLevel();
        return a == key && b != key;
    });
    return windows;
}

bool TouchDriver::tapText(const std::string& text)
{
    auto view = findText(text);
    return view && tapView(*view);
}

bool TouchDriver::tapIdentifier(const std::string& identifier)
{
    auto view = findIdentifier(identifier);
    return view && tapView(*view);
}

bool TouchDriver::type(const std::string& text)
{
    auto responder = UIResponder::currentFirstResponder();
    auto* input = dynamic_cast<UIKeyInput*>(responder.get());
    if (!input)
        return false;
    input->insertText(text);
    wait(0);
    return true;
}

bool TouchDriver::pressReturn()
{
    return type("\n");
}

bool TouchDriver::deleteBackward(int count)
{
    auto responder = UIResponder::currentFirstResponder();
    auto* input = dynamic_cast<UIKeyInput*>(responder.get());
    if (!input)
        return false;
    for (int i = 0; i < count; ++i)
        input->deleteBackward();
    wait(0);
    return true;
}
