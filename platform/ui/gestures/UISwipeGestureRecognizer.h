#pragma once

#include "platform/ui/UIGestureRecognizer.h"

// Bit set of swipe directions.
enum UISwipeGestureRecognizerDirection : unsigned {
    UISwipeGestureRecognizerDirectionRight = 1 << 0,
    UISwipeGestureRecognizerDirectionLeft = 1 << 1,
    UISwipeGestureRecognizerDirectionUp = 1 << 2,
    UISwipeGestureRecognizerDirectionDown = 1 << 3,
};

// Recognises (discretely) a quick stroke in one of the allowed directions: at least
// `minimumDistance` along it, mostly straight, within `maximumDuration` of touch-down.
class UISwipeGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr CGFloat minimumDistance = 50;
    static constexpr double maximumDuration = 0.5;

    using UIGestureRecognizer::UIGestureRecognizer;

    std::string className() const override { return "UISwipeGestureRecognizer"; }

    unsigned direction = UISwipeGestureRecognizerDirectionRight;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

private:
    void evaluate(const UITouch& touch, bool lifted);

    CGPoint m_start;
    double m_startTime = 0;
};
