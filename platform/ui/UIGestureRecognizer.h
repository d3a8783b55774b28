#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIResponder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIGestureRecognizer;
class UIView;

enum class UIGestureRecognizerState {
    possible,
    began,
    changed,
    ended, // also "recognized" for discrete gestures
    cancelled,
    failed,
};

// Decides, for the whole process, whether a recogniser may leave `possible`, and hears of every
// state change (the touch dispatcher installs one: delegate questions, failure requirements,
// exclusion between recognisers, cancelling the view's touches).
class UIGestureArbiter {
public:
    virtual ~UIGestureArbiter() = default;
    // `recognizer` asks to go from possible to `requested` (began, or ended for a discrete
    // gesture). The answer is the state to take now: `requested`, failed, or possible to hold the
    // recognition back (the arbiter later settles it with forceState).
    virtual UIGestureRecognizerState arbitrate(
        UIGestureRecognizer& recognizer, UIGestureRecognizerState requested)
        = 0;
    // After a change of state (and after the actions ran).
    virtual void didChangeState(UIGestureRecognizer&, UIGestureRecognizerState /*previous*/) { }
};

// Base of the gesture recognisers. A view keeps its recognisers; a recogniser knows its view
// weakly. Subclasses implement the touch methods and move `state`; entering began, changed,
// ended or cancelled runs the actions in the order they were added.
class UIGestureRecognizer : public std::enable_shared_from_this<UIGestureRecognizer> {
public:
    using Action = std::function<void(UIGestureRecognizer&)>;

    UIGestureRecognizer() = default;
    explicit UIGestureRecognizer(Action action);
    virtual ~UIGestureRecognizer();
    UIGestureRecognizer(const UIGestureRecognizer&) = delete;
    UIGestureRecognizer& operator=(const UIGestureRecognizer&) = delete;

    virtual std::string className() const { return "UIGestureRecognizer"; }

    std::shared_ptr<UIView> view() const { return m_view.lock(); }

    void addTarget(Action action);
    void removeAllTargets() { m_actions.clear(); }
    std::size_t targetCount() const { return m_actions.size(); }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    UIGestureRecognizerState state() const { return m_state; }
    // For subclasses and the touch driver; runs the actions as described above.
    void setState(UIGestureRecognizerState state);
    // Back to possible, without actions; calls didReset().
    void reset();
    // Sets the state without asking the arbiter (which uses it to settle held recognitions).
    void forceState(UIGestureRecognizerState state);

    // This recogniser recognises only once `other` has failed; it fails when `other` recognises.
    void requireToFail(const std::shared_ptr<UIGestureRecognizer>& other);
    const std::vector<std::weak_ptr<UIGestureRecognizer>>& failureRequirements() const
    {
        return m_failureRequirements;
    }

    static void setArbiter(UIGestureArbiter* arbiter);
    static UIGestureArbiter* arbiter();

    bool cancelsTouchesInView = true;
    bool delaysTouchesBegan = false;
    bool delaysTouchesEnded = true;

    // Decisions a delegate would make; unset means yes (no for simultaneity).
    std::function<bool(UIGestureRecognizer&)> shouldBegin;
    std::function<bool(UIGestureRecognizer&, UIGestureRecognizer& other)> shouldRecognizeSimultaneously;
    std::function<bool(UIGestureRecognizer&, const UITouch&)> shouldReceiveTouch;

    virtual void touchesBegan(const UITouchSet&, const UIEvent*) { }
    virtual void touchesMoved(const UITouchSet&, const UIEvent*) { }
    virtual void touchesEnded(const UITouchSet&, const UIEvent*) { }
    virtual void touchesCancelled(const UITouchSet&, const UIEvent*) { }

    // Where the gesture is, in the view's space (nullptr: window space). The base answers from
    // the last location the driver reported in window coordinates.
    virtual CGPoint location(const UIView* view) const;
    CGPoint locationInWindow() const { return m_locationInWindow; }
    void setLocationInWindow(CGPoint p) { m_locationInWindow = p; }

protected:
    virtual void didReset() { }
    // The recogniser was attached to a view (or detached: nullptr).
    virtual void didMoveToView(UIView*) { }

private:
    friend class UIView;
    void attach(const std::shared_ptr<UIView>& view);

    std::weak_ptr<UIView> m_view;
    std::vector<Action> m_actions;
    std::vector<std::weak_ptr<UIGestureRecognizer>> m_failureRequirements;
    bool m_enabled = true;
    UIGestureRecognizerState m_state = UIGestureRecognizerState::possible;
    CGPoint m_locationInWindow;
};
