#include "platform/ui/keyboard/IQKeyboardManager.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/NoDestructor.h"
#include "platform/ui/UIResponder.h"
#include "platform/ui/UIView.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyboard.h"

#include <algorithm>

namespace {

CGRect keyboardFrame(const Notification& note)
{
    auto it = note.userInfo.find(UIKeyboardNotification::FrameEndKey);
    if (it != note.userInfo.end()) {
        if (const auto* rect = std::any_cast<CGRect>(&it->second))
            return *rect;
    }
    return UIKeyboard::shared().shownFrame();
}

double duration(const Notification& note)
{
    auto it = note.userInfo.find(UIKeyboardNotification::AnimationDurationKey);
    if (it != note.userInfo.end()) {
        if (const auto* seconds = std::any_cast<double>(&it->second))
            return *seconds;
    }
    return UIKeyboard::animationDuration;
}

// The top-level view of the window that holds `view`: the screen to move.
std::shared_ptr<UIView> screenViewOf(const std::shared_ptr<UIView>& view, const UIWindow& window)
{
    std::shared_ptr<UIView> current = view;
    while (current) {
        auto parent = current->superview();
        if (parent.get() == &window)
            return current;
        current = parent;
    }
    return nullptr;
}

void setVerticalShift(UIView& view, CGFloat shift)
{
    CGRect bounds = view.bounds();
    view.setBounds({ { bounds.origin.x, shift }, bounds.size });
}

}

IQKeyboardManager& IQKeyboardManager::shared()
{
    static NoDestructor<IQKeyboardManager> manager;
    return *manager;
}

void IQKeyboardManager::setEnable(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    auto& center = NotificationCenter::defaultCenter();
    ++m_generation;
    if (!enabled) {
        center.removeObserver(m_showToken);
        center.removeObserver(m_hideToken);
        m_showToken = {};
        m_hideToken = {};
        restore(0);
        return;
    }
    m_showToken = center.addObserver(UIKeyboardNotification::WillShow,
        [this](const Notification& note) { keyboardWillShow(keyboardFrame(note), duration(note)); });
    m_hideToken = center.addObserver(UIKeyboardNotification::WillHide, [this](const Notification& note) {
        ++m_generation;
        restore(duration(note));
    });
}

void IQKeyboardManager::keyboardWillShow(const CGRect& frame, double seconds)
{
    std::uint64_t generation = ++m_generation;
    DispatchQueue::main().async([this, generation, frame, seconds] {
        if (generation == m_generation && m_enabled)
            adjust(frame, seconds);
    });
}

void IQKeyboardManager::adjust(const CGRect& frame, double seconds)
{
    auto field = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
    auto window = field ? field->window() : nullptr;
    auto screen = window ? screenViewOf(field, *window) : nullptr;
    // Measure from where the screen stands when not moved.
    auto previous = m_moved.lock();
    CGFloat previousShift = m_shift;
    if (previous)
        setVerticalShift(*previous, 0);
    m_moved.reset();
    m_shift = 0;

    CGFloat shift = 0;
    if (screen) {
        CGRect fieldFrame = field->convert(field->bounds(), nullptr);
        CGFloat covered = fieldFrame.maxY() + keyboardDistanceFromTextField - frame.minY();
        // Never further than the top of the field: a field taller than the free space keeps its top.
        shift = std::clamp<CGFloat>(covered, 0, std::max<CGFloat>(0, fieldFrame.minY()));
    }
    if (shift <= 0) {
        if (previous && previousShift != 0) {
            setVerticalShift(*previous, previousShift);
            UIView::animate(seconds, [&] { setVerticalShift(*previous, 0); });
        }
        return;
    }
    m_moved = screen;
    m_shift = shift;
    CGFloat from = previous == screen ? previousShift : 0;
    setVerticalShift(*screen, from);
    UIView::animate(seconds, [&] { setVerticalShift(*screen, shift); });
}

void IQKeyboardManager::restore(double seconds)
{
    auto moved = m_moved.lock();
    m_moved.reset();
    m_shift = 0;
    if (!moved)
        return;
    if (seconds > 0)
        UIView::animate(seconds, [&] { setVerticalShift(*moved, 0); });
    else
        setVerticalShift(*moved, 0);
}

void IQKeyboardManager::resetForTesting()
{
    setEnable(false);
    m_moved.reset();
    m_shift = 0;
}
