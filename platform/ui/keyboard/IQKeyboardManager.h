#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CGGeometry.h"

#include <cstdint>
#include <memory>

class UIView;
template<typename T> class NoDestructor;

// Keyboard avoidance for every text input of the application, so that no screen has to move its
// own fields. While enabled, when the keyboard shows (or moves to another input) and covers the
// first responder, the screen holding it (the window's top-level view that contains it) is
// scrolled up by the covered height plus a small gap; when the keyboard hides it goes back.
//
// The check runs one main-queue turn after the keyboard's notice, once screens that make room for
// the keyboard themselves (sheets) have done so: what they uncovered is not moved again.
// Main thread.
class IQKeyboardManager {
public:
    // Space left between the input's bottom edge and the keyboard.
    static constexpr CGFloat keyboardDistanceFromTextField = 10;

    static IQKeyboardManager& shared();

    bool enable() const { return m_enabled; }
    // Turning it off puts a moved screen back at once.
    void setEnable(bool enabled);

    // The screen moved now and by how much (tests and dumps).
    std::shared_ptr<UIView> movedView() const { return m_moved.lock(); }
    CGFloat shift() const { return m_shift; }

    void resetForTesting();

private:
    friend class NoDestructor<IQKeyboardManager>;
    IQKeyboardManager() = default;

    void keyboardWillShow(const CGRect& keyboardFrame, double duration);
    void adjust(const CGRect& keyboardFrame, double duration);
    void restore(double duration);

    bool m_enabled = false;
    NotificationCenter::Token m_showToken;
    NotificationCenter::Token m_hideToken;
    std::weak_ptr<UIView> m_moved;
    CGFloat m_shift = 0;
    // Drops a pending check when the keyboard changed again before it ran.
    std::uint64_t m_generation = 0;
};
