#include "platform/ui/qmui/QMUIPieProgressView.h"

#include "platform/ui/CAAnimation.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

QMUIPieProgressView::QMUIPieProgressView()
    : QMUIPieProgressView(CGRect {})
{ }

QMUIPieProgressView::QMUIPieProgressView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(UIColor::clear());
}

void QMUIPieProgressView::setProgress(CGFloat progress, bool animated)
{
    CGFloat value = std::isnan(progress) ? 0 : std::clamp<CGFloat>(progress, 0, 1);
    CGFloat old = m_progress;
    m_progress = value;
    if (animated && old != value && progressAnimationDuration > 0) {
        auto animation = CABasicAnimation::make("progress");
        animation->fromValue = old;
        animation->toValue = value;
        animation->duration = progressAnimationDuration;
        layer()->add(animation, "progress");
    }
    setNeedsDisplay();
}

void QMUIPieProgressView::setBorderWidth(CGFloat width)
{
    m_borderWidth = std::max<CGFloat>(width, 0);
    setNeedsDisplay();
}

void QMUIPieProgressView::setBorderInset(CGFloat inset)
{
    m_borderInset = std::max<CGFloat>(inset, 0);
    setNeedsDisplay();
}

void QMUIPieProgressView::draw(CGContext& context, const CGRect& rect)
{
    UIView::draw(context, rect);
    CGRect b = bounds();
    CGFloat side = std::min(b.width(), b.height());
    if (side <= 0)
        return;
    CGPoint center = b.center();
    UIColor tint = tintColor();

    if (m_borderWidth > 0) {
        CGFloat r = (side - m_borderWidth) / 2;
        context.setStrokeColor(tint);
        context.setLineWidth(m_borderWidth);
        context.addPath(UIBezierPath::ovalIn({ center.x - r, center.y - r, 2 * r, 2 * r }).cgPath());
        context.strokePath();
    }

    CGFloat radius = side / 2 - m_borderWidth - m_borderInset;
    if (m_progress <= 0 || radius <= 0)
        return;
    const CGFloat start = -std::numbers::pi / 2;
    CGPath sector;
    if (m_progress >= 1) {
        sector.addEllipse({ center.x - radius, center.y - radius, 2 * radius, 2 * radius });
    } else {
        sector.moveTo(center);
        sector.addArc(center, radius, start, start + 2 * std::numbers::pi * m_progress, true);
        sector.closeSubpath();
    }
    context.setFillColor(tint);
    context.addPath(sector);
    context.fillPath();
}

std::string QMUIPieProgressView::dumpAttributes() const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "progress=%.2f", m_progress);
    return buf;
}
