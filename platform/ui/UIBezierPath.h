#pragma once

#include "platform/ui/CGGeometry.h"

#include <cstdint>
#include <vector>

// Corners of a rectangle, combinable as a bit set.
enum UIRectCorner : std::uint8_t {
    UIRectCornerTopLeft = 1 << 0,
    UIRectCornerTopRight = 1 << 1,
    UIRectCornerBottomLeft = 1 << 2,
    UIRectCornerBottomRight = 1 << 3,
    UIRectCornerAllCorners = 0x0F,
};

// A vector path in a y-down coordinate space. "Clockwise" arcs turn clockwise on screen.
class CGPath {
public:
    struct Element {
        enum class Kind { moveTo, lineTo, quadCurveTo, curveTo, arc, close };
        Kind kind = Kind::moveTo;
        CGPoint point; // end point (moveTo, lineTo, curves) or arc centre
        CGPoint control1; // curves
        CGPoint control2; // cubic curves
        CGFloat radius = 0; // arc
        CGFloat startAngle = 0; // arc, radians
        CGFloat endAngle = 0;
        bool clockwise = true;
        bool operator==(const Element&) const = default;
    };

    void moveTo(CGPoint p);
    void lineTo(CGPoint p);
    void quadCurveTo(CGPoint end, CGPoint control);
    void curveTo(CGPoint end, CGPoint control1, CGPoint control2);
    void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    void addRect(const CGRect& rect);
    void addEllipse(const CGRect& rect);
    void closeSubpath();
    void append(const CGPath& other);

    bool isEmpty() const { return m_elements.empty(); }
    const std::vector<Element>& elements() const { return m_elements; }
    // Bounds of the points and arcs (control points included for curves).
    CGRect boundingBox() const;
    CGPath applying(const CGAffineTransform& t) const;

    bool operator==(const CGPath&) const = default;

private:
    std::vector<Element> m_elements;
};

// Builders for the common shapes; a thin owner of a CGPath.
class UIBezierPath {
public:
    UIBezierPath() = default;
    static UIBezierPath rect(const CGRect& rect);
    static UIBezierPath ovalIn(const CGRect& rect);
    // All corners rounded with one radius (clamped to half the shorter side).
    static UIBezierPath roundedRect(const CGRect& rect, CGFloat cornerRadius);
    // Only the given corners rounded with the radii (clamped to half the width and half the height).
    static UIBezierPath roundedRect(const CGRect& rect, unsigned corners, CGSize cornerRadii);
    static UIBezierPath arc(
        CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);

    void move(CGPoint p) { m_path.moveTo(p); }
    void addLine(CGPoint p) { m_path.lineTo(p); }
    void addQuadCurve(CGPoint end, CGPoint control) { m_path.quadCurveTo(end, control); }
    void addCurve(CGPoint end, CGPoint control1, CGPoint control2)
    {
        m_path.curveTo(end, control1, control2);
    }
    void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise)
    {
        m_path.addArc(center, radius, startAngle, endAngle, clockwise);
    }
    void close() { m_path.closeSubpath(); }
    void append(const UIBezierPath& other) { m_path.append(other.m_path); }

    CGFloat lineWidth = 1;

    const CGPath& cgPath() const { return m_path; }
    CGRect bounds() const { return m_path.boundingBox(); }
    bool isEmpty() const { return m_path.isEmpty(); }

private:
    CGPath m_path;
};
