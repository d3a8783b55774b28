#include "platform/ui/UIBezierPath.h"

#include <algorithm>
#include <cmath>

namespace {

CGPath::Element element(CGPath::Element::Kind kind, CGPoint point)
{
    CGPath::Element e;
    e.kind = kind;
    e.point = point;
    return e;
}

}

void CGPath::moveTo(CGPoint p)
{
    m_elements.push_back(element(Element::Kind::moveTo, p));
}

void CGPath::lineTo(CGPoint p)
{
    m_elements.push_back(element(Element::Kind::lineTo, p));
}

void CGPath::quadCurveTo(CGPoint end, CGPoint control)
{
    Element e = element(Element::Kind::quadCurveTo, end);
    e.control1 = control;
    m_elements.push_back(e);
}

void CGPath::curveTo(CGPoint end, CGPoint control1, CGPoint control2)
{
    Element e = element(Element::Kind::curveTo, end);
    e.control1 = control1;
    e.control2 = control2;
    m_elements.push_back(e);
}

void CGPath::addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise)
{
    Element e = element(Element::Kind::arc, center);
    e.radius = std::abs(radius);
    e.startAngle = startAngle;
    e.endAngle = endAngle;
    e.clockwise = clockwise;
    m_elements.push_back(e);
}

void CGPath::addRect(const CGRect& r)
{
    CGRect s = r.standardized();
    moveTo({ s.minX(), s.minY() });
    lineTo({ s.maxX(), s.minY() });
    lineTo({ s.maxX(), s.maxY() });
    lineTo({ s.minX(), s.maxY() });
    closeSubpath();
}

void CGPath::addEllipse(const CGRect& r)
{
    // Four cubic quarter arcs, so ellipses that are not circles stay exact under any transform.
    CGRect s = r.standardized();
    constexpr CGFloat k = 0.5522847498307936;
    CGFloat cx = s.midX(), cy = s.midY(), rx = s.width() / 2, ry = s.height() / 2;
    moveTo({ cx + rx, cy });
    curveTo({ cx, cy + ry }, { cx + rx, cy + k * ry }, { cx + k * rx, cy + ry });
    curveTo({ cx - rx, cy }, { cx - k * rx, cy + ry }, { cx - rx, cy + k * ry });
    curveTo({ cx, cy - ry }, { cx - rx, cy - k * ry }, { cx - k * rx, cy - ry });
    curveTo({ cx + rx, cy }, { cx + k * rx, cy - ry }, { cx + rx, cy - k * ry });
    closeSubpath();
}

void CGPath::closeSubpath()
{
    m_elements.push_back(element(Element::Kind::close, {}));
}

void CGPath::append(const CGPath& other)
{
    m_elements.insert(m_elements.end(), other.m_elements.begin(), other.m_elements.end());
}

CGRect CGPath::boundingBox() const
{
    CGRect box = CGRect::null();
    auto add = [&](CGPoint p) { box = box.unionWith(CGRect(p.x, p.y, 0, 0)); };
    for (const auto& e : m_elements) {
        switch (e.kind) {
        case Element::Kind::moveTo:
        case Element::Kind::lineTo:
            add(e.point);
            break;
        case Element::Kind::quadCurveTo:
            add(e.point);
            add(e.control1);
            break;
        case Element::Kind::curveTo:
            add(e.point);
            add(e.control1);
            add(e.control2);
            break;
        case Element::Kind::arc:
            // The full circle bounds the arc; good enough for sizing shadows and masks.
            add({ e.point.x - e.radius, e.point.y - e.radius });
            add({ e.point.x + e.radius, e.point.y + e.radius });
            break;
        case Element::Kind::close:
            break;
        }
    }
    return box.isNull() ? CGRect::null() : box;
}

CGPath CGPath::applying(const CGAffineTransform& t) const
{
    CGPath out;
    for (const auto& e : m_elements) {
        switch (e.kind) {
        case Element::Kind::moveTo:
            out.moveTo(t.apply(e.point));
            break;
        case Element::Kind::lineTo:
            out.lineTo(t.apply(e.point));
            break;
        case Element::Kind::quadCurveTo:
            out.quadCurveTo(t.apply(e.point), t.apply(e.control1));
            break;
        case Element::Kind::curveTo:
            out.curveTo(t.apply(e.point), t.apply(e.control1), t.apply(e.control2));
            break;
        case Element::Kind::arc: {
            // Approximate the arc by cubic pieces so any affine transform stays exact enough.
            CGFloat sweep = e.endAngle - e.startAngle;
            if (e.clockwise && sweep < 0)
                sweep += 2 * M_PI * std::ceil(-sweep / (2 * M_PI));
            if (!e.clockwise && sweep > 0)
                sweep -= 2 * M_PI * std::ceil(sweep / (2 * M_PI));
            int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (M_PI / 2))));
            CGFloat step = sweep / pieces;
            CGFloat k = 4.0 / 3.0 * std::tan(step / 4);
            auto at = [&](CGFloat a) {
                return CGPoint { e.point.x + e.radius * std::cos(a), e.point.y + e.radius * std::sin(a) };
            };
            CGPoint start = t.apply(at(e.startAngle));
            if (out.m_elements.empty() || out.m_elements.back().kind == Element::Kind::close)
                out.moveTo(start);
            else
                out.lineTo(start);
            for (int i = 0; i < pieces; ++i) {
                CGFloat a0 = e.startAngle + step * i, a1 = a0 + step;
                CGPoint p0 = at(a0), p1 = at(a1);
                CGPoint c1 { p0.x - k * e.radius * std::sin(a0), p0.y + k * e.radius * std::cos(a0) };
                CGPoint c2 { p1.x + k * e.radius * std::sin(a1), p1.y - k * e.radius * std::cos(a1) };
                out.curveTo(t.apply(p1), t.apply(c1), t.apply(c2));
            }
            break;
        }
        case Element::Kind::close:
            out.closeSubpath();
            break;
        }
    }
    return out;
}

UIBezierPath UIBezierPath::rect(const CGRect& r)
{
    UIBezierPath p;
    p.m_path.addRect(r);
    return p;
}

UIBezierPath UIBezierPath::ovalIn(const CGRect& r)
{
    UIBezierPath p;
    p.m_path.addEllipse(r);
    return p;
}

UIBezierPath UIBezierPath::roundedRect(const CGRect& r, CGFloat cornerRadius)
{
    return roundedRect(r, UIRectCornerAllCorners, { cornerRadius, cornerRadius });
}

UIBezierPath UIBezierPath::roundedRect(const CGRect& r, unsigned corners, CGSize radii)
{
    CGRect s = r.standardized();
    if (s.isNull())
        return {};
    CGFloat rx = std::clamp<CGFloat>(radii.width, 0, s.width() / 2);
    CGFloat ry = std::clamp<CGFloat>(radii.height, 0, s.height() / 2);
    if (!std::isfinite(rx) || !std::isfinite(ry))
        rx = ry = 0;
    UIBezierPath p;
    CGPath& path = p.m_path;
    constexpr CGFloat k = 0.5522847498307936;
    auto rounded = [&](unsigned corner) { return (corners & corner) != 0 && rx > 0 && ry > 0; };
    CGFloat x0 = s.minX(), y0 = s.minY(), x1 = s.maxX(), y1 = s.maxY();
    // Start after the top-left corner and go clockwise.
    path.moveTo({ rounded(UIRectCornerTopLeft) ? x0 + rx : x0, y0 });
    if (rounded(UIRectCornerTopRight)) {
        path.lineTo({ x1 - rx, y0 });
        path.curveTo({ x1, y0 + ry }, { x1 - rx + k * rx, y0 }, { x1, y0 + ry - k * ry });
    } else {
        path.lineTo({ x1, y0 });
    }
    if (rounded(UIRectCornerBottomRight)) {
        path.lineTo({ x1, y1 - ry });
        path.curveTo({ x1 - rx, y1 }, { x1, y1 - ry + k * ry }, { x1 - rx + k * rx, y1 });
    } else {
        path.lineTo({ x1, y1 });
    }
    if (rounded(UIRectCornerBottomLeft)) {
        path.lineTo({ x0 + rx, y1 });
        path.curveTo({ x0, y1 - ry }, { x0 + rx - k * rx, y1 }, { x0, y1 - ry + k * ry });
    } else {
        path.lineTo({ x0, y1 });
    }
    if (rounded(UIRectCornerTopLeft)) {
        path.lineTo({ x0, y0 + ry });
        path.curveTo({ x0 + rx, y0 }, { x0, y0 + ry - k * ry }, { x0 + rx - k * rx, y0 });
    }
    path.closeSubpath();
    return p;
}

UIBezierPath UIBezierPath::arc(
    CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise)
{
    UIBezierPath p;
    p.m_path.addArc(center, radius, startAngle, endAngle, clockwise);
    return p;
}
