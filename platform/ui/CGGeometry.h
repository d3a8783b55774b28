#pragma once

#include <cmath>
#include <optional>

// Points, sizes, rectangles, edge insets and affine transforms in points (doubles), with the
// behaviour that layout code expects: rectangles are standardised (negative sizes flipped) by the
// operations that read edges, and an empty intersection is the null rectangle.

using CGFloat = double;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;

    static constexpr CGPoint zero() { return {}; }
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;

    static constexpr CGSize zero() { return {}; }
    bool operator==(const CGSize&) const = default;
};

struct CGVector {
    CGFloat dx = 0;
    CGFloat dy = 0;
    bool operator==(const CGVector&) const = default;
};

struct UIEdgeInsets {
    CGFloat top = 0;
    CGFloat left = 0;
    CGFloat bottom = 0;
    CGFloat right = 0;

    static constexpr UIEdgeInsets zero() { return {}; }
    bool operator==(const UIEdgeInsets&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;

    constexpr CGRect() = default;
    constexpr CGRect(CGPoint o, CGSize s)
        : origin(o)
        , size(s)
    { }
    constexpr CGRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h)
        : origin { x, y }
        , size { w, h }
    { }

    static constexpr CGRect zero() { return {}; }
    // The result of intersecting disjoint rectangles.
    static CGRect null();
    bool isNull() const;
    bool isEmpty() const;

    CGFloat minX() const;
    CGFloat midX() const;
    CGFloat maxX() const;
    CGFloat minY() const;
    CGFloat midY() const;
    CGFloat maxY() const;
    CGFloat width() const { return std::abs(size.width); }
    CGFloat height() const { return std::abs(size.height); }
    CGPoint center() const { return { midX(), midY() }; }

    CGRect standardized() const;
    CGRect insetBy(CGFloat dx, CGFloat dy) const;
    CGRect inset(const UIEdgeInsets& insets) const;
    CGRect offsetBy(CGFloat dx, CGFloat dy) const;
    // Smallest rectangle with whole-number edges that contains this one.
    CGRect integral() const;
    CGRect unionWith(const CGRect& other) const;
    CGRect intersection(const CGRect& other) const;
    // Points on the maximum edges are outside, as on the phone.
    bool contains(CGPoint p) const;
    bool contains(const CGRect& other) const;
    bool intersects(const CGRect& other) const;

    bool operator==(const CGRect&) const = default;
};

// Row-vector affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr CGAffineTransform identity() { return {}; }
    static CGAffineTransform translation(CGFloat tx, CGFloat ty);
    static CGAffineTransform scale(CGFloat sx, CGFloat sy);
    static CGAffineTransform rotation(CGFloat radians);

    bool isIdentity() const { return *this == identity(); }
    // this then other: applying the result equals applying this first and other second.
    CGAffineTransform concatenating(const CGAffineTransform& other) const;
    // Each of these applies the new step before this transform, as the phone's
    // translatedBy/scaledBy/rotated do.
    CGAffineTransform translatedBy(CGFloat tx, CGFloat ty) const;
    CGAffineTransform scaledBy(CGFloat sx, CGFloat sy) const;
    CGAffineTransform rotated(CGFloat radians) const;
    // Nothing when the transform is singular.
    std::optional<CGAffineTransform> inverted() const;

    CGPoint apply(CGPoint p) const;
    CGSize apply(CGSize s) const;
    // Bounding box of the transformed rectangle.
    CGRect apply(const CGRect& r) const;

    bool operator==(const CGAffineTransform&) const = default;
};

CGRect UIEdgeInsetsInsetRect(const CGRect& rect, const UIEdgeInsets& insets);
