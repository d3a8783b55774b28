#pragma once

#include "platform/ui/UIGestureRecognizer.h"

#include <deque>

// Recognises two fingers moving apart or together. It begins once their distance has changed by
// `minimumDistanceChange` points since the second finger came down, reports changed on every
// move and ends when a finger lifts. `scale` is the fingers' distance over their distance when
// the second one came down (or when the scale was last set); its velocity is in scale per
// second over the last `velocityWindow` seconds. The location is the midpoint of the fingers.
//
// The event dispatcher hands a pinch the touches of every finger of the sequence; one-finger
// recognisers hear only of the first.
class UIPinchGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr CGFloat minimumDistanceChange = 8;
    static constexpr double velocityWindow = 0.1;

    using UIGestureRecognizer::UIGestureRecognizer;

    std::string className() const override { return "UIPinchGestureRecognizer"; }

    CGFloat scale() const;
    // Counts the scale from here on as `scale` times the current distance's share.
    void setScale(CGFloat scale);
    CGFloat velocity() const { return m_velocity; }
    std::size_t numberOfTouches() const { return m_touches.size(); }

    CGPoint location(const UIView* view) const override;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

protected:
    void didReset() override;

private:
    struct Sample {
        double time;
        CGFloat scale;
    };
    bool isActive() const;
    CGFloat distance() const;
    void removeTouches(const UITouchSet& touches);

    UITouchSet m_touches; // at most two, in the order they came down
    CGFloat m_startDistance = 0; // distance at which the scale is 1 ...
    CGFloat m_baseScale = 1; // ... times this
    CGFloat m_downDistance = 0; // distance when the second finger came down
    CGFloat m_velocity = 0;
    std::deque<Sample> m_samples;
};
