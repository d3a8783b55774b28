#pragma once

#include "platform/ui/UIGestureRecognizer.h"

#include <memory>

class Timer;

// Recognises one or more taps in a row. Between the taps of a multi-tap the finger may stay up at
// most `multiTapInterval` on the run loop's clock; a finger that wanders further than
// `allowableMovement` while down, or a tap far from the first one, fails the gesture.
class UITapGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr double multiTapInterval = 0.3;
    static constexpr CGFloat allowableMovement = 10;
    static constexpr CGFloat multiTapDistance = 45;

    using UIGestureRecognizer::UIGestureRecognizer;
    ~UITapGestureRecognizer() override;

    std::string className() const override { return "UITapGestureRecognizer"; }

    int numberOfTapsRequired = 1;
    int numberOfTouchesRequired = 1;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

protected:
    void didReset() override;

private:
    void stopTimer();
    void fail();

    int m_taps = 0;
    CGPoint m_downPoint;
    CGPoint m_firstPoint;
    std::shared_ptr<Timer> m_timer;
};
