#pragma once

#include "platform/ui/UILabel.h"

// A one-line label whose text, when wider than the label, scrolls sideways: the continuous types
// run the text past and bring it round again behind itself (`trailingBuffer` points apart), each
// pass starting with a pause of `animationDelay` at home. The position follows the run loop's
// clock from the last restart (restartLabel, or the label coming into a window), so it is the same
// whenever the label is drawn. Text that fits stays still, drawn as a plain label.
class MarqueeLabel : public UILabel {
public:
    enum class MarqueeType {
        // Right to left.
        continuous,
        // Left to right.
        continuousReverse,
    };
    // A pass either moves at a rate (points per second) or takes a duration (seconds).
    struct SpeedLimit {
        enum class Kind { rate, duration };
        Kind kind = Kind::duration;
        CGFloat value = 7;
        static SpeedLimit rate(CGFloat pointsPerSecond) { return { Kind::rate, pointsPerSecond }; }
        static SpeedLimit duration(CGFloat seconds) { return { Kind::duration, seconds }; }
    };

    MarqueeLabel();
    explicit MarqueeLabel(const CGRect& frame);

    std::string className() const override { return "MarqueeLabel"; }

    MarqueeType type = MarqueeType::continuous;
    SpeedLimit speed;
    UIViewAnimationCurve animationCurve = UIViewAnimationCurve::easeInOut;
    double animationDelay = 1;
    CGFloat trailingBuffer = 0;

    // Back to the home position; scrolling starts again from there.
    void restartLabel();
    // Whether the text is wider than the label.
    bool labelShouldScroll() const;
    // How far the text has moved from home now (negative: to the left), in points.
    CGFloat scrollOffset() const;

    void didMoveToWindow() override;
    void drawText(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

private:
    // Width of the text on one line.
    CGFloat textWidth() const;

    double m_start = 0;
};
