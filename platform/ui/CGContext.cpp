#include "platform/ui/CGContext.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// An image shown larger or smaller than its bitmap is scaled once for the pixel size it is shown
// at, and the copy is kept with the bitmap (images never change), so that later frames only copy
// pixels instead of filtering every one again. A bitmap keeps copies for its few latest sizes
// (one picture often shows at two or three places). Copies are bounded (at most a screenful of
// pixels each), and images may be drawn on any thread, so the copies are looked up and made under
// one lock and each drawing holds its own reference to the copy it paints.
const cairo_user_data_key_t scaledCopiesKey {};
constexpr int scaledCopyMaxSide = 4096;
constexpr double scaledCopyMaxArea = 4.0 * 1024 * 1024;
constexpr std::size_t scaledCopiesKept = 4;
std::mutex scaledCopiesLock;
std::atomic<bool> scaledCopiesUsed { true };

struct ScaledCopy {
    int width = 0;
    int height = 0;
    cairo_surface_t* surface = nullptr;
};

// Newest first.
struct ScaledCopies {
    std::vector<ScaledCopy> copies;

    ~ScaledCopies()
    {
        for (const ScaledCopy& copy : copies)
            cairo_surface_destroy(copy.surface);
    }
};

cairo_surface_t* scaledCopy(
    cairo_surface_t* source, double sourceWidth, double sourceHeight, int width, int height)
{
    auto* kept = static_cast<ScaledCopies*>(cairo_surface_get_user_data(source, &scaledCopiesKey));
    if (!kept) {
        auto fresh = std::make_unique<ScaledCopies>();
        // The bitmap owns its copies from here on: cairo frees them with it.
        if (cairo_surface_set_user_data(source, &scaledCopiesKey, fresh.get(),
                [](void* data) { delete static_cast<ScaledCopies*>(data); })
            != CAIRO_STATUS_SUCCESS)
            return nullptr;
        kept = fresh.release();
    }
    auto& copies = kept->copies;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (copies[i].width == width && copies[i].height == height) {
            std::rotate(copies.begin(), copies.begin() + i, copies.begin() + i + 1);
            return copies.front().surface;
        }
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, width / sourceWidth, height / sourceHeight);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (copies.size() == scaledCopiesKept) {
        cairo_surface_destroy(copies.back().surface);
        copies.pop_back();
    }
    copies.insert(copies.begin(), ScaledCopy { width, height, surface });
    return surface;
}

}

CGContext::CGContext(cairo_t* cr, CGFloat scale, UIUserInterfaceStyle style)
    : m_cr(cr)
    , m_scale(scale > 0 ? scale : 1)
    , m_style(style)
{ }

void CGContext::saveGState()
{
    cairo_save(m_cr);
    m_saved.push_back(m_state);
}

void CGContext::restoreGState()
{
    if (m_saved.empty())
        return;
    cairo_restore(m_cr);
    m_state = m_saved.back();
    m_saved.pop_back();
}

void CGContext::translateBy(CGFloat tx, CGFloat ty)
{
    cairo_translate(m_cr, tx, ty);
}
void CGContext::scaleBy(CGFloat sx, CGFloat sy)
{
    cairo_scale(m_cr, sx, sy);
}
void CGContext::rotate(CGFloat radians)
{
    cairo_rotate(m_cr, radians);
}

void CGContext::concatenate(const CGAffineTransform& t)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    // A singular matrix would put Cairo into an error state for good; drop it instead.
    if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS)
        return;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(m_cr, &m);
}

CGAffineTransform CGContext::ctm() const
{
    cairo_matrix_t m;
    cairo_get_matrix(m_cr, &m);
    return { m.xx, m.yx, m.xy, m.yy, m.x0, m.y0 };
}

void CGContext::setAlpha(CGFloat alpha)
{
    m_state.alpha = std::clamp<CGFloat>(alpha, 0, 1);
}
void CGContext::setFillColor(const UIColor& color)
{
    m_state.fill = color;
}
void CGContext::setStrokeColor(const UIColor& color)
{
    m_state.stroke = color;
}
void CGContext::setLineWidth(CGFloat width)
{
    cairo_set_line_width(m_cr, std::max<CGFloat>(0, width));
}

void CGContext::setLineCap(CGLineCap cap)
{
    cairo_set_line_cap(m_cr,
        cap == CGLineCap::round        ? CAIRO_LINE_CAP_ROUND
            : cap == CGLineCap::square ? CAIRO_LINE_CAP_SQUARE
                                       : CAIRO_LINE_CAP_BUTT);
}

void CGContext::setLineJoin(CGLineJoin join)
{
    cairo_set_line_join(m_cr,
        join == CGLineJoin::round       ? CAIRO_LINE_JOIN_ROUND
            : join == CGLineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                        : CAIRO_LINE_JOIN_MITER);
}

void CGContext::setLineDash(CGFloat phase, const std::vector<CGFloat>& lengths)
{
    // Cairo refuses negative lengths and all-zero patterns; treat those as solid lines.
    bool usable = !lengths.empty()
        && std::all_of(lengths.begin(), lengths.end(), [](CGFloat v) { return v >= 0; })
        && std::any_of(lengths.begin(), lengths.end(), [](CGFloat v) { return v > 0; });
    if (!usable) {
        cairo_set_dash(m_cr, nullptr, 0, 0);
        return;
    }
    cairo_set_dash(m_cr, lengths.data(), static_cast<int>(lengths.size()), phase);
}

UIColor::RGBA CGContext::effective(const UIColor& color) const
{
    UIColor::RGBA c = color.resolved(m_style).rgba();
    c.alpha *= m_state.alpha;
    return c;
}

const std::vector<CGRect>* CGContext::backgroundParts(const CALayer* layer) const
{
    if (!m_backgroundParts)
        return nullptr;
    auto found = m_backgroundParts->find(layer);
    return found == m_backgroundParts->end() ? nullptr : &found->second;
}

void CGContext::fillDeviceRects(const std::vector<CGRect>& rects)
{
    cairo_save(m_cr);
    cairo_identity_matrix(m_cr);
    setSource(m_state.fill);
    cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_WINDING);
    for (const CGRect& r : rects) {
        // Absolute corners, so that each edge lands exactly where the whole rectangle's would.
        cairo_new_path(m_cr);
        cairo_move_to(m_cr, r.minX(), r.minY());
        cairo_line_to(m_cr, r.maxX(), r.minY());
        cairo_line_to(m_cr, r.maxX(), r.maxY());
        cairo_line_to(m_cr, r.minX(), r.maxY());
        cairo_close_path(m_cr);
        cairo_fill(m_cr);
    }
    cairo_restore(m_cr);
}

void CGContext::setSource(const UIColor& color)
{
    UIColor::RGBA c = effective(color);
    cairo_set_source_rgba(m_cr, c.red, c.green, c.blue, c.alpha);
}

void CGContext::fill(const CGRect& rect)
{
    addRect(rect);
    fillPath();
}

void CGContext::stroke(const CGRect& rect)
{
    addRect(rect);
    strokePath();
}

void CGContext::clear(const CGRect& rect)
{
    cairo_save(m_cr);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(m_cr, rect.minX(), rect.minY(), rect.width(), rect.height());
    cairo_fill(m_cr);
    cairo_restore(m_cr);
}

void CGContext::addRect(const CGRect& rect)
{
    if (rect.isNull())
        return;
    cairo_rectangle(m_cr, rect.minX(), rect.minY(), rect.width(), rect.height());
}

void CGContext::addPath(const CGPath& path)
{
    using Kind = CGPath::Element::Kind;
    for (const auto& e : path.elements()) {
        switch (e.kind) {
        case Kind::moveTo:
            cairo_move_to(m_cr, e.point.x, e.point.y);
            break;
        case Kind::lineTo:
            cairo_line_to(m_cr, e.point.x, e.point.y);
            break;
        case Kind::quadCurveTo: {
            double x0, y0;
            if (!cairo_has_current_point(m_cr))
                cairo_move_to(m_cr, e.control1.x, e.control1.y);
            cairo_get_current_point(m_cr, &x0, &y0);
            cairo_curve_to(m_cr, x0 + 2.0 / 3 * (e.control1.x - x0), y0 + 2.0 / 3 * (e.control1.y - y0),
                e.point.x + 2.0 / 3 * (e.control1.x - e.point.x),
                e.point.y + 2.0 / 3 * (e.control1.y - e.point.y), e.point.x, e.point.y);
            break;
        }
        case Kind::curveTo:
            cairo_curve_to(
                m_cr, e.control1.x, e.control1.y, e.control2.x, e.control2.y, e.point.x, e.point.y);
            break;
        case Kind::arc:
            if (e.clockwise)
                cairo_arc(m_cr, e.point.x, e.point.y, e.radius, e.startAngle, e.endAngle);
            else
                cairo_arc_negative(m_cr, e.point.x, e.point.y, e.radius, e.startAngle, e.endAngle);
            break;
        case Kind::close:
            cairo_close_path(m_cr);
            break;
        }
    }
}

void CGContext::fillPath(bool evenOdd)
{
    setSource(m_state.fill);
    cairo_set_fill_rule(m_cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(m_cr);
}

void CGContext::strokePath()
{
    setSource(m_state.stroke);
    cairo_stroke(m_cr);
}

void CGContext::clip(bool evenOdd)
{
    cairo_set_fill_rule(m_cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(m_cr);
}

void CGContext::clip(const CGRect& rect)
{
    cairo_new_path(m_cr);
    if (rect.isNull()) {
        cairo_rectangle(m_cr, 0, 0, 0, 0);
    } else {
        addRect(rect);
    }
    cairo_clip(m_cr);
}

void applyImageOrientation(cairo_t* cr, UIImageOrientation o, double w, double h)
{
    // Maps stored (x, y) to upright (x', y'): x' = xx*x + xy*y + x0, y' = yx*x + yy*y + y0.
    cairo_matrix_t m;
    switch (o) {
    case UIImageOrientation::up:
        cairo_matrix_init(&m, 1, 0, 0, 1, 0, 0);
        break;
    case UIImageOrientation::upMirrored:
        cairo_matrix_init(&m, -1, 0, 0, 1, w, 0);
        break;
    case UIImageOrientation::down:
        cairo_matrix_init(&m, -1, 0, 0, -1, w, h);
        break;
    case UIImageOrientation::downMirrored:
        cairo_matrix_init(&m, 1, 0, 0, -1, 0, h);
        break;
    case UIImageOrientation::left:
        cairo_matrix_init(&m, 0, -1, 1, 0, 0, w);
        break;
    case UIImageOrientation::right:
        cairo_matrix_init(&m, 0, 1, -1, 0, h, 0);
        break;
    case UIImageOrientation::leftMirrored:
        cairo_matrix_init(&m, 0, 1, 1, 0, 0, 0);
        break;
    case UIImageOrientation::rightMirrored:
        cairo_matrix_init(&m, 0, -1, -1, 0, h, w);
        break;
    }
    cairo_transform(cr, &m);
}

void CGContext::draw(const UIImage& given, const CGRect& rect)
{
    const UIImage& image = given.resolved(m_style);
    cairo_surface_t* surface = image.cairoSurface();
    if (!surface || rect.isEmpty())
        return;
    double w = image.pixelWidth(), h = image.pixelHeight();
    bool swap = UIImageOrientationSwapsAxes(image.imageOrientation());
    double uprightW = swap ? h : w, uprightH = swap ? w : h;
    if (w <= 0 || h <= 0)
        return;
    if (drawScaledCopy(image, rect))
        return;
    cairo_save(m_cr);
    cairo_translate(m_cr, rect.minX(), rect.minY());
    cairo_scale(m_cr, rect.width() / uprightW, rect.height() / uprightH);
    applyImageOrientation(m_cr, image.imageOrientation(), w, h);
    cairo_set_source_surface(m_cr, surface, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(m_cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, 0, 0, w, h);
    cairo_clip(m_cr);
    cairo_paint_with_alpha(m_cr, m_state.alpha);
    cairo_restore(m_cr);
}

void CGContext::setScaledCopiesUsed(bool used)
{
    scaledCopiesUsed.store(used, std::memory_order_relaxed);
}

bool CGContext::drawScaledCopy(const UIImage& image, const CGRect& rect)
{
    if (!scaledCopiesUsed.load(std::memory_order_relaxed))
        return false;
    // Upright images on axis-aligned, unflipped drawings only; the copy goes on whole device
    // pixels (at most half a pixel from the exact place).
    if (image.imageOrientation() != UIImageOrientation::up)
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(m_cr, &m);
    if (m.xy != 0 || m.yx != 0 || !(m.xx > 0) || !(m.yy > 0))
        return false;
    double x0 = rect.minX(), y0 = rect.minY(), x1 = rect.maxX(), y1 = rect.maxY();
    cairo_user_to_device(m_cr, &x0, &y0);
    cairo_user_to_device(m_cr, &x1, &y1);
    double deviceWidth = std::round(x1 - x0), deviceHeight = std::round(y1 - y0);
    double w = image.pixelWidth(), h = image.pixelHeight();
    if (!(deviceWidth >= 1) || !(deviceHeight >= 1) || deviceWidth > scaledCopyMaxSide
        || deviceHeight > scaledCopyMaxSide || deviceWidth * deviceHeight > scaledCopyMaxArea)
        return false;
    if (deviceWidth == w && deviceHeight == h)
        return false;
    cairo_surface_t* copy = nullptr;
    {
        std::lock_guard lock(scaledCopiesLock);
        copy = scaledCopy(
            image.cairoSurface(), w, h, static_cast<int>(deviceWidth), static_cast<int>(deviceHeight));
        if (copy)
            cairo_surface_reference(copy);
    }
    if (!copy)
        return false;
    double left = std::round(x0), top = std::round(y0);
    cairo_save(m_cr);
    cairo_identity_matrix(m_cr);
    cairo_set_source_surface(m_cr, copy, left, top);
    cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_NEAREST);
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, left, top, deviceWidth, deviceHeight);
    cairo_clip(m_cr);
    cairo_paint_with_alpha(m_cr, m_state.alpha);
    cairo_restore(m_cr);
    cairo_surface_destroy(copy);
    return true;
}

void CGContext::drawLinearGradient(
    const std::vector<UIColor>& colors, const std::vector<CGFloat>& locations, CGPoint start, CGPoint end)
{
    if (colors.empty())
        return;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    bool useLocations = locations.size() == colors.size();
    for (std::size_t i = 0; i < colors.size(); ++i) {
        CGFloat offset = useLocations ? locations[i]
            : colors.size() == 1      ? 0
                                      : static_cast<CGFloat>(i) / static_cast<CGFloat>(colors.size() - 1);
        UIColor::RGBA c = effective(colors[i]);
        cairo_pattern_add_color_stop_rgba(
            pattern, std::clamp<CGFloat>(offset, 0, 1), c.red, c.green, c.blue, c.alpha);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(m_cr, pattern);
    cairo_paint(m_cr);
    cairo_pattern_destroy(pattern);
}
