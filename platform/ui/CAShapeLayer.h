#pragma once

#include "platform/ui/CALayer.h"
#include "platform/ui/CGContext.h"

#include <optional>
#include <vector>

// A layer that fills and strokes a path given in its own coordinate space.
class CAShapeLayer : public CALayer {
public:
    static std::shared_ptr<CAShapeLayer> make() { return std::make_shared<CAShapeLayer>(); }
    std::string className() const override { return "CAShapeLayer"; }

    const std::optional<CGPath>& path() const { return m_path; }
    void setPath(std::optional<CGPath> path) { changeTo(m_path, std::move(path)); }
    // Default black; nothing means no fill.
    const std::optional<UIColor>& fillColor() const { return m_fillColor; }
    void setFillColor(std::optional<UIColor> color) { changeTo(m_fillColor, std::move(color)); }
    // Default none.
    const std::optional<UIColor>& strokeColor() const { return m_strokeColor; }
    void setStrokeColor(std::optional<UIColor> color) { changeTo(m_strokeColor, std::move(color)); }
    CGFloat lineWidth() const { return m_lineWidth; }
    void setLineWidth(CGFloat width) { changeTo(m_lineWidth, width); }
    const std::vector<CGFloat>& lineDashPattern() const { return m_dashPattern; }
    void setLineDashPattern(std::vector<CGFloat> pattern) { changeTo(m_dashPattern, std::move(pattern)); }
    CGFloat lineDashPhase() const { return m_dashPhase; }
    void setLineDashPhase(CGFloat phase) { changeTo(m_dashPhase, phase); }
    CGLineCap lineCap() const { return m_lineCap; }
    void setLineCap(CGLineCap cap) { changeTo(m_lineCap, cap); }
    CGLineJoin lineJoin() const { return m_lineJoin; }
    void setLineJoin(CGLineJoin join) { changeTo(m_lineJoin, join); }
    bool usesEvenOddFillRule() const { return m_evenOdd; }
    void setUsesEvenOddFillRule(bool evenOdd) { changeTo(m_evenOdd, evenOdd); }

protected:
    void drawInContext(CGContext& context) const override;
    bool drawsWithinBounds() const override { return false; }

private:
    std::optional<CGPath> m_path;
    std::optional<UIColor> m_fillColor = UIColor::black();
    std::optional<UIColor> m_strokeColor;
    CGFloat m_lineWidth = 1;
    std::vector<CGFloat> m_dashPattern;
    CGFloat m_dashPhase = 0;
    CGLineCap m_lineCap = CGLineCap::butt;
    CGLineJoin m_lineJoin = CGLineJoin::miter;
    bool m_evenOdd = false;
};
