#pragma once

#include "platform/ui/UIGestureRecognizer.h"

#include <memory>

class Timer;

// Recognises a finger held still for `minimumPressDuration` (run loop clock): began then, changed
// as the finger moves, ended when it lifts. Moving more than `allowableMovement` before that fails.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
public:
    using UIGestureRecognizer::UIGestureRecognizer;
    ~UILongPressGestureRecognizer() override;

    std::string className() const override { return "UILongPressGestureRecognizer"; }

    double minimumPressDuration = 0.5;
    CGFloat allowableMovement = 10;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

protected:
    void didReset() override;

private:
    void stopTimer();
    bool isActive() const;

    CGPoint m_downPoint;
    std::shared_ptr<Timer> m_timer;
};
