#include "platform/ui/MarqueeLabel.h"

#include "platform/dispatch/Clock.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/DisplayUpdates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double eased(UIViewAnimationCurve curve, double p)
{
    switch (curve) {
    case UIViewAnimationCurve::linear:
        return p;
    case UIViewAnimationCurve::easeIn:
        return p * p;
    case UIViewAnimationCurve::easeOut:
        return 1 - (1 - p) * (1 - p);
    case UIViewAnimationCurve::easeInOut:
        break;
    }
    return p * p * (3 - 2 * p);
}

}

MarqueeLabel::MarqueeLabel()
    : MarqueeLabel(CGRect {})
{ }

MarqueeLabel::MarqueeLabel(const CGRect& frame)
    : UILabel(frame)
    , m_start(Clock::now())
{ }

void MarqueeLabel::restartLabel()
{
    m_start = Clock::now();
    setNeedsDisplay();
}

void MarqueeLabel::didMoveToWindow()
{
    UILabel::didMoveToWindow();
    if (window())
        restartLabel();
}

CGFloat MarqueeLabel::textWidth() const
{
    TextLayout layout = makeTextLayout();
    layout.setWidth(std::nullopt);
    return layout.size().width;
}

bool MarqueeLabel::labelShouldScroll() const
{
    return !text().empty() && textWidth() > bounds().width();
}

CGFloat MarqueeLabel::scrollOffset() const
{
    if (!labelShouldScroll())
        return 0;
    double distance = textWidth() + std::max<CGFloat>(0, trailingBuffer);
    double duration
        = speed.kind == SpeedLimit::Kind::rate ? (speed.value > 0 ? distance / speed.value : 0) : speed.value;
    if (!(duration > 0) || !std::isfinite(duration))
        return 0;
    double delay = std::isfinite(animationDelay) ? std::max(0.0, animationDelay) : 0;
    double phase = std::fmod(std::max(0.0, Clock::now() - m_start), delay + duration);
    if (phase < delay)
        return 0;
    double moved = eased(animationCurve, std::min(1.0, (phase - delay) / duration)) * distance;
    return static_cast<CGFloat>(type == MarqueeType::continuous ? -moved : moved);
}

void MarqueeLabel::drawText(CGContext& context, const CGRect& rect)
{
    if (!labelShouldScroll()) {
        UILabel::drawText(context, rect);
        return;
    }
    // The text moves with the clock: a live screen draws it again at its next frame.
    DisplayUpdates::requestAnimationFrame();
    CGRect b = bounds();
    TextLayout layout = makeTextLayout();
    layout.setWidth(std::nullopt).setMaximumNumberOfLines(1);
    CGSize size = layout.size();
    CGFloat distance = size.width + std::max<CGFloat>(0, trailingBuffer);
    CGFloat x = b.minX() + scrollOffset();
    CGFloat y = b.midY() - size.height / 2;
    context.saveGState();
    context.clip(b);
    layout.draw(context, { x, y });
    // The copy that follows the text round.
    layout.draw(context, { type == MarqueeType::continuous ? x + distance : x - distance, y });
    context.restoreGState();
}

std::string MarqueeLabel::dumpAttributes() const
{
    char offset[32];
    std::snprintf(offset, sizeof offset, " offset=%.1f", scrollOffset());
    return UILabel::dumpAttributes() + offset;
}
