#include "platform/ui/CAShapeLayer.h"

void CAShapeLayer::drawInContext(CGContext& context) const
{
    if (!m_path || m_path->isEmpty())
        return;
    context.saveGState();
    if (m_fillColor) {
        context.addPath(*m_path);
        context.setFillColor(*m_fillColor);
        context.fillPath(m_evenOdd);
    }
    if (m_strokeColor && m_lineWidth > 0) {
        context.addPath(*m_path);
        context.setStrokeColor(*m_strokeColor);
        context.setLineWidth(m_lineWidth);
        context.setLineCap(m_lineCap);
        context.setLineJoin(m_lineJoin);
        context.setLineDash(m_dashPhase, m_dashPattern);
        context.strokePath();
    }
    context.restoreGState();
}
