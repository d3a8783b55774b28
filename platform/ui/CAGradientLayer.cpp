#include "platform/ui/CAGradientLayer.h"

#include "platform/ui/CGContext.h"

void CAGradientLayer::drawInContext(CGContext& context) const
{
    if (m_colors.empty() || bounds().isEmpty())
        return;
    CGRect b = bounds();
    context.saveGState();
    // The gradient follows the rounded corners like a background does.
    context.addPath(backgroundShape());
    context.clip();
    CGPoint start { b.minX() + m_startPoint.x * b.width(), b.minY() + m_startPoint.y * b.height() };
    CGPoint end { b.minX() + m_endPoint.x * b.width(), b.minY() + m_endPoint.y * b.height() };
    context.drawLinearGradient(m_colors, m_locations.value_or(std::vector<CGFloat> {}), start, end);
    context.restoreGState();
}
