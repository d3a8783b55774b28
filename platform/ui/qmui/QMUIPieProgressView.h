#pragma once

#include "platform/ui/UIView.h"

// A progress pie: a circle outline in the tint colour and, inside it (after the border inset), a
// sector that grows clockwise from twelve o'clock with the progress. The view's own background
// stays clear.
class QMUIPieProgressView : public UIView {
public:
    static constexpr double defaultAnimationDuration = 0.5;

    QMUIPieProgressView();
    explicit QMUIPieProgressView(const CGRect& frame);

    std::string className() const override { return "QMUIPieProgressView"; }

    // 0...1; values outside are clamped, NaN counts as 0.
    CGFloat progress() const { return m_progress; }
    // Animated: the change is recorded as an animation of "progress" over progressAnimationDuration
    // (the value applies at once).
    void setProgress(CGFloat progress, bool animated = false);
    double progressAnimationDuration = defaultAnimationDuration;

    CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width);
    // Gap between the outline and the sector.
    CGFloat borderInset() const { return m_borderInset; }
    void setBorderInset(CGFloat inset);

    void draw(CGContext& context, const CGRect& rect) override;
    void tintColorDidChange() override { setNeedsDisplay(); }
    std::string dumpAttributes() const override;

private:
    CGFloat m_progress = 0;
    CGFloat m_borderWidth = 1;
    CGFloat m_borderInset = 0;
};
