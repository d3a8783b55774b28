#include "platform/ui/CGGeometry.h"

#include <algorithm>
#include <limits>

CGRect CGRect::null()
{
    constexpr CGFloat inf = std::numeric_limits<CGFloat>::infinity();
    return { inf, inf, 0, 0 };
}

bool CGRect::isNull() const
{
    return std::isinf(origin.x) || std::isinf(origin.y);
}

bool CGRect::isEmpty() const
{
    return isNull() || size.width == 0 || size.height == 0;
}

CGFloat CGRect::minX() const
{
    return std::min(origin.x, origin.x + size.width);
}
CGFloat CGRect::maxX() const
{
    return std::max(origin.x, origin.x + size.width);
}
CGFloat CGRect::midX() const
{
    return origin.x + size.width / 2;
}
CGFloat CGRect::minY() const
{
    return std::min(origin.y, origin.y + size.height);
}
CGFloat CGRect::maxY() const
{
    return std::max(origin.y, origin.y + size.height);
}
CGFloat CGRect::midY() const
{
    return origin.y + size.height / 2;
}

CGRect CGRect::standardized() const
{
    if (isNull())
        return *this;
    return { minX(), minY(), width(), height() };
}

CGRect CGRect::insetBy(CGFloat dx, CGFloat dy) const
{
    if (isNull())
        return *this;
    CGRect r = standardized();
    r.origin.x += dx;
    r.origin.y += dy;
    r.size.width -= 2 * dx;
    r.size.height -= 2 * dy;
    if (r.size.width < 0 || r.size.height < 0)
        return null();
    return r;
}

CGRect CGRect::inset(const UIEdgeInsets& e) const
{
    // Edge insets are allowed to produce negative sizes: callers rely on plain arithmetic here.
    return { origin.x + e.left, origin.y + e.top, size.width - e.left - e.right,
        size.height - e.top - e.bottom };
}

CGRect CGRect::offsetBy(CGFloat dx, CGFloat dy) const
{
    if (isNull())
        return *this;
    return { origin.x + dx, origin.y + dy, size.width, size.height };
}

CGRect CGRect::integral() const
{
    if (isNull())
        return *this;
    CGFloat x0 = std::floor(minX()), y0 = std::floor(minY());
    CGFloat x1 = std::ceil(maxX()), y1 = std::ceil(maxY());
    return { x0, y0, x1 - x0, y1 - y0 };
}

CGRect CGRect::unionWith(const CGRect& o) const
{
    if (isNull())
        return o.standardized();
    if (o.isNull())
        return standardized();
    CGFloat x0 = std::min(minX(), o.minX()), y0 = std::min(minY(), o.minY());
    CGFloat x1 = std::max(maxX(), o.maxX()), y1 = std::max(maxY(), o.maxY());
    return { x0, y0, x1 - x0, y1 - y0 };
}

CGRect CGRect::intersection(const CGRect& o) const
{
    if (isNull() || o.isNull())
        return null();
    CGFloat x0 = std::max(minX(), o.minX()), y0 = std::max(minY(), o.minY());
    CGFloat x1 = std::min(maxX(), o.maxX()), y1 = std::min(maxY(), o.maxY());
    if (x1 < x0 || y1 < y0)
        return null();
    return { x0, y0, x1 - x0, y1 - y0 };
}

bool CGRect::contains(CGPoint p) const
{
    if (isNull())
        return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool CGRect::contains(const CGRect& o) const
{
    if (isNull() || o.isNull())
        return false;
    return o.minX() >= minX() && o.maxX() <= maxX() && o.minY() >= minY() && o.maxY() <= maxY();
}

bool CGRect::intersects(const CGRect& o) const
{
    CGRect r = intersection(o);
    return !r.isNull() && !r.isEmpty();
}

CGAffineTransform CGAffineTransform::translation(CGFloat tx, CGFloat ty)
{
    return { 1, 0, 0, 1, tx, ty };
}

CGAffineTransform CGAffineTransform::scale(CGFloat sx, CGFloat sy)
{
    return { sx, 0, 0, sy, 0, 0 };
}

CGAffineTransform CGAffineTransform::rotation(CGFloat radians)
{
    CGFloat c = std::cos(radians), s = std::sin(radians);
    return { c, s, -s, c, 0, 0 };
}

CGAffineTransform CGAffineTransform::concatenating(const CGAffineTransform& o) const
{
    return {
        a * o.a + b * o.c,
        a * o.b + b * o.d,
        c * o.a + d * o.c,
        c * o.b + d * o.d,
        tx * o.a + ty * o.c + o.tx,
        tx * o.b + ty * o.d + o.ty,
    };
}

CGAffineTransform CGAffineTransform::translatedBy(CGFloat x, CGFloat y) const
{
    return translation(x, y).concatenating(*this);
}

CGAffineTransform CGAffineTransform::scaledBy(CGFloat sx, CGFloat sy) const
{
    return scale(sx, sy).concatenating(*this);
}

CGAffineTransform CGAffineTransform::rotated(CGFloat radians) const
{
    return rotation(radians).concatenating(*this);
}

std::optional<CGAffineTransform> CGAffineTransform::inverted() const
{
    CGFloat det = a * d - b * c;
    if (det == 0 || !std::isfinite(det))
        return std::nullopt;
    CGAffineTransform r;
    r.a = d / det;
    r.b = -b / det;
    r.c = -c / det;
    r.d = a / det;
    r.tx = (c * ty - d * tx) / det;
    r.ty = (b * tx - a * ty) / det;
    return r;
}

CGPoint CGAffineTransform::apply(CGPoint p) const
{
    return { a * p.x + c * p.y + tx, b * p.x + d * p.y + ty };
}

CGSize CGAffineTransform::apply(CGSize s) const
{
    return { a * s.width + c * s.height, b * s.width + d * s.height };
}

CGRect CGAffineTransform::apply(const CGRect& r) const
{
    if (r.isNull())
        return r;
    CGPoint pts[4] = {
        apply(CGPoint { r.minX(), r.minY() }),
        apply(CGPoint { r.maxX(), r.minY() }),
        apply(CGPoint { r.minX(), r.maxY() }),
        apply(CGPoint { r.maxX(), r.maxY() }),
    };
    CGFloat x0 = pts[0].x, x1 = pts[0].x, y0 = pts[0].y, y1 = pts[0].y;
    for (const auto& p : pts) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return { x0, y0, x1 - x0, y1 - y0 };
}

CGRect UIEdgeInsetsInsetRect(const CGRect& rect, const UIEdgeInsets& insets)
{
    return rect.inset(insets);
}
