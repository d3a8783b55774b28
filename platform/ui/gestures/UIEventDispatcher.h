#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIGestureRecognizer.h"

#include <map>
#include <memory>
#include <vector>

class UITouch;
class UIView;
class UIWindow;

// Delivers touches the way the phone does, for one finger and an optional second one (pinches): the touch
// goes to the view hit at touch-down and to the gesture recognisers of that view and its ancestors
// (recognisers first). As the gesture arbiter it also decides which recogniser may recognise:
//  - a recogniser whose `shouldBegin` answers no, or that a control under the finger claims
//    (a one-tap recogniser above a button), fails;
//  - a recogniser that requires others to fail waits while they may still recognise;
//  - once one recognises, the other recognisers of the touch fail unless either allows
//    simultaneous recognition (a tap does not stop a tap of more taps);
//  - a recogniser that recognises with cancelsTouchesInView cancels the view's touches;
//  - delaysTouchesBegan / delaysTouchesEnded hold the view's touches while such a recogniser
//    may still recognise.
// Main thread only. Time is the dispatch clock, so the virtual clock makes runs reproducible.
class UIEventDispatcher final : public UIGestureArbiter {
public:
    // The touch-down of a second tap counts as a repeat within this time and distance.
    static constexpr double multiTapInterval = 0.3;
    static constexpr CGFloat multiTapDistance = 45;

    // Installs itself as the recognisers' arbiter on first use.
    static UIEventDispatcher& shared();

    // Points are in the window's coordinates. A touch-down while a touch is down cancels that
    // touch first; one that hits no view is ignored (false).
    bool touchDown(const std::shared_ptr<UIWindow>& window, CGPoint point);
    void touchMove(CGPoint point);
    void touchUp(CGPoint point);
    void touchCancel();

    // A second finger while the first is down. It goes only to the recognisers of the first
    // touch that follow several fingers (pinches), and while it is down the one-finger
    // recognisers hear nothing of the first finger's moves, so a pinch is not taken for a drag;
    // views never hear of it. Lifting or cancelling the first finger lifts the second one first.
    // secondTouchDown is false without a first finger or with a second one already down.
    bool secondTouchDown(CGPoint point);
    void secondTouchMove(CGPoint point);
    // Both fingers moved in the same instant, as one event: the recognisers see them together.
    void touchesMove(CGPoint first, CGPoint second);
    void secondTouchUp(CGPoint point);
    bool hasSecondTouch() const { return m_second != nullptr; }

    bool isTouching() const { return m_touch != nullptr; }
    std::shared_ptr<UITouch> currentTouch() const { return m_touch; }

    // Tests: forget touches, held recognitions and tap history.
    void resetForTesting();

    UIGestureRecognizerState arbitrate(
        UIGestureRecognizer& recognizer, UIGestureRecognizerState requested) override;
    void didChangeState(UIGestureRecognizer& recognizer, UIGestureRecognizerState previous) override;

private:
    UIEventDispatcher();

    // What the hit view of one touch has been given and what it still waits for.
    struct ViewDelivery {
        std::shared_ptr<UITouch> touch;
        bool beganPending = false;
        bool beganDelivered = false;
        bool endPending = false;
        bool cancelled = false;
        bool done = false;
    };
    using Recognizers = std::vector<std::shared_ptr<UIGestureRecognizer>>;

    void deliver(UITouchSet touches, void (UIGestureRecognizer::*method)(const UITouchSet&, const UIEvent*),
        bool severalFingersOnly = false);
    void endSecondTouch(bool cancelled);
    void finishTouch(bool cancelled);
    UIGestureRecognizerState decide(UIGestureRecognizer& recognizer, UIGestureRecognizerState requested);
    void recognized(UIGestureRecognizer& recognizer);
    void settleDependents(UIGestureRecognizer& recognizer);
    void cancelViewTouches(UIGestureRecognizer& recognizer);
    void flushViewDeliveries();
    void resetFinished();
    Recognizers touchRecognizers(const UITouch& touch) const;
    const UITouch* touchOf(const UIGestureRecognizer& recognizer) const;
    bool isParticipating(const UIGestureRecognizer& recognizer) const;
    bool claimedByControl(const UIGestureRecognizer& recognizer) const;

    struct Guard {
        explicit Guard(UIEventDispatcher& d);
        ~Guard();
        UIEventDispatcher& dispatcher;
    };

    std::shared_ptr<UITouch> m_touch;
    std::shared_ptr<UITouch> m_second;
    std::vector<ViewDelivery> m_deliveries;
    // Recognisers that got touches since their last reset.
    std::vector<std::weak_ptr<UIGestureRecognizer>> m_active;
    // Recognitions held back until the recognisers they require have failed.
    std::map<const UIGestureRecognizer*, UIGestureRecognizerState> m_held;
    int m_depth = 0;
    double m_lastUpTime = -1e9;
    CGPoint m_lastUpPoint;
    int m_lastTapCount = 0;
};
