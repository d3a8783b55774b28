#pragma once

#include "platform/ui/CALayer.h"

#include <optional>
#include <vector>

// A layer that fills its (rounded) bounds with an axial gradient. Points are in the unit square
// of the bounds; without colours it draws like a plain layer.
class CAGradientLayer : public CALayer {
public:
    static std::shared_ptr<CAGradientLayer> make() { return std::make_shared<CAGradientLayer>(); }
    std::string className() const override { return "CAGradientLayer"; }

    const std::vector<UIColor>& colors() const { return m_colors; }
    void setColors(std::vector<UIColor> colors) { changeTo(m_colors, std::move(colors)); }
    // Stops in 0...1, one per colour; nothing (or a count that does not match) spreads them evenly.
    const std::optional<std::vector<CGFloat>>& locations() const { return m_locations; }
    void setLocations(std::optional<std::vector<CGFloat>> locations)
    {
        changeTo(m_locations, std::move(locations));
    }
    CGPoint startPoint() const { return m_startPoint; }
    void setStartPoint(CGPoint p) { changeTo(m_startPoint, p); }
    CGPoint endPoint() const { return m_endPoint; }
    void setEndPoint(CGPoint p) { changeTo(m_endPoint, p); }

protected:
    void drawInContext(CGContext& context) const override;

private:
    std::vector<UIColor> m_colors;
    std::optional<std::vector<CGFloat>> m_locations;
    CGPoint m_startPoint { 0.5, 0 };
    CGPoint m_endPoint { 0.5, 1 };
};
