#pragma once

#include "platform/ui/UIGestureRecognizer.h"

#include <deque>

// Recognises a dragging finger: it begins once the finger has moved `minimumMovement` points from
// where it came down, reports changed on every move and ended when it lifts. Translation counts
// from the touch-down point (or from the last setTranslation); velocity is the movement of the
// last `velocityWindow` seconds on the run loop's clock, in points per second.
class UIPanGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr CGFloat minimumMovement = 10;
    static constexpr double velocityWindow = 0.1;

    using UIGestureRecognizer::UIGestureRecognizer;

    std::string className() const override { return "UIPanGestureRecognizer"; }

    // In the coordinate system of `view` (nullptr: window).
    CGPoint translation(const UIView* view) const;
    void setTranslation(CGPoint translation, const UIView* view);
    CGPoint velocity(const UIView* view) const;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

protected:
    void didReset() override;
    // Whether the movement so far starts the gesture; subclasses (edge pans) narrow it.
    virtual bool shouldBeginWithTranslation(CGPoint translationInWindow) const;

private:
    struct Sample {
        double time;
        CGPoint point;
    };
    void addSample(double time, CGPoint point);
    bool isActive() const;

    CGPoint m_start;
    CGPoint m_current;
    CGPoint m_origin; // translation is m_current - m_origin
    CGPoint m_velocity;
    std::deque<Sample> m_samples;
};
