#include "platform/ui/UIActivityIndicatorView.h"

#include "platform/ui/CAAnimation.h"
#include "platform/ui/CGContext.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int spokeCount = 8;
constexpr const char* spinKey = "spin";

}

UIActivityIndicatorView::UIActivityIndicatorView(UIActivityIndicatorViewStyle style)
    : m_style(style)
{
    setFrame({ 0, 0, side(), side() });
    setUserInteractionEnabled(false);
    setHidden(true);
}

CGFloat UIActivityIndicatorView::side() const
{
    return m_style == UIActivityIndicatorViewStyle::large ? 37 : 20;
}

void UIActivityIndicatorView::setStyle(UIActivityIndicatorViewStyle style)
{
    m_style = style;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

UIColor UIActivityIndicatorView::color() const
{
    return m_color ? *m_color : UIColor::gray();
}

void UIActivityIndicatorView::setColor(std::optional<UIColor> color)
{
    m_color = std::move(color);
    setNeedsDisplay();
}

void UIActivityIndicatorView::setHidesWhenStopped(bool hides)
{
    m_hidesWhenStopped = hides;
    if (!m_animating)
        setHidden(hides);
}

void UIActivityIndicatorView::startAnimating()
{
    if (m_animating)
        return;
    m_animating = true;
    setHidden(false);
    auto spin = CABasicAnimation::make("transform.rotation");
    spin->fromValue = CGFloat(0);
    spin->toValue = CGFloat(2 * std::numbers::pi);
    spin->duration = 1;
    spin->repeatCount = INFINITY;
    layer()->add(spin, spinKey);
}

void UIActivityIndicatorView::stopAnimating()
{
    if (!m_animating)
        return;
    m_animating = false;
    layer()->removeAnimation(spinKey);
    if (m_hidesWhenStopped)
        setHidden(true);
}

CGSize UIActivityIndicatorView::intrinsicContentSize() const
{
    return { side(), side() };
}

CGSize UIActivityIndicatorView::sizeThatFits(CGSize) const
{
    return { side(), side() };
}

void UIActivityIndicatorView::draw(CGContext& context, const CGRect&)
{
    CGRect b = bounds();
    CGFloat radius = std::min(b.width(), b.height()) / 2;
    if (radius <= 0)
        return;
    CGPoint c = b.center();
    CGFloat inner = radius * 0.45;
    context.saveGState();
    context.setLineWidth(radius * (m_style == UIActivityIndicatorViewStyle::large ? 0.16 : 0.2));
    context.setLineCap(CGLineCap::round);
    for (int i = 0; i < spokeCount; ++i) {
        // The leading spoke is solid; the ones behind it fade out.
        double angle = -std::numbers::pi / 2 + 2 * std::numbers::pi * i / spokeCount;
        CGFloat alpha = 1.0 - 0.8 * (spokeCount - 1 - i) / (spokeCount - 1);
        CGPath path;
        path.moveTo({ c.x + std::cos(angle) * inner, c.y + std::sin(angle) * inner });
        path.lineTo({ c.x + std::cos(angle) * (radius - 1), c.y + std::sin(angle) * (radius - 1) });
        UIColor spoke = color();
        context.setStrokeColor(spoke.withAlphaComponent(spoke.alphaComponent() * alpha));
        context.addPath(path);
        context.strokePath();
    }
    context.restoreGState();
}

std::string UIActivityIndicatorView::dumpAttributes() const
{
    return m_animating ? "animating" : "";
}
