#include "platform/ui/detail/LayerOcclusion.h"

#include "platform/ui/CALayer.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace detail {

namespace {

// Cairo keeps device coordinates in 24.8 fixed point; a coordinate this close to a whole pixel
// is that pixel's edge there too, whatever rounding the two computations of it went through.
constexpr double edgeTolerance = 1e-6;

long snappedFloor(double v)
{
    double nearest = std::round(v);
    return static_cast<long>(std::abs(v - nearest) < edgeTolerance ? nearest : std::floor(v));
}

long snappedCeil(double v)
{
    double nearest = std::round(v);
    return static_cast<long>(std::abs(v - nearest) < edgeTolerance ? nearest : std::ceil(v));
}

// The device coordinates of a rectangle's corners: min x, min y, max x, max y.
struct DeviceExtent {
    double x0, y0, x1, y1;
};

std::optional<DeviceExtent> deviceExtent(const CGRect& rect, const cairo_matrix_t& ctm)
{
    double xs[4] = { rect.minX(), rect.maxX(), rect.minX(), rect.maxX() };
    double ys[4] = { rect.minY(), rect.minY(), rect.maxY(), rect.maxY() };
    DeviceExtent e { HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL };
    for (int i = 0; i < 4; ++i) {
        cairo_matrix_transform_point(&ctm, &xs[i], &ys[i]);
        e.x0 = std::min(e.x0, xs[i]);
        e.y0 = std::min(e.y0, ys[i]);
        e.x1 = std::max(e.x1, xs[i]);
        e.y1 = std::max(e.y1, ys[i]);
    }
    // Far outside any bitmap, or not numbers: nothing can be said about it.
    constexpr double limit = 1e9;
    if (!(e.x0 > -limit && e.y0 > -limit && e.x1 < limit && e.y1 < limit))
        return std::nullopt;
    return e;
}

// The background outline is the plain rectangle of the bounds when no corner is rounded.
bool hasRectangularShape(const CALayer& layer)
{
    return layer.cornerRadius() <= 0 || layer.maskedCorners() == 0;
}

}

bool concatenatedTransform(const cairo_matrix_t& ctm, const CGAffineTransform& t, cairo_matrix_t& result)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_matrix_t inverse = m;
    result = ctm;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS)
        return false;
    // As cairo_transform() does it.
    cairo_matrix_multiply(&result, &m, &ctm);
    return true;
}

LayerOcclusion::LayerOcclusion(int pixelWidth, int pixelHeight)
    : m_surface { 0, 0, std::max(0, pixelWidth), std::max(0, pixelHeight) }
{ }

LayerOcclusion::PixelBox LayerOcclusion::touchedBox(const CGRect& rect, const cairo_matrix_t& ctm) const
{
    auto e = deviceExtent(rect, ctm);
    if (!e)
        return m_surface;
    PixelBox box { snappedFloor(e->x0), snappedFloor(e->y0), snappedCeil(e->x1), snappedCeil(e->y1) };
    box.x0 = std::max(box.x0, m_surface.x0);
    box.y0 = std::max(box.y0, m_surface.y0);
    box.x1 = std::min(box.x1, m_surface.x1);
    box.y1 = std::min(box.y1, m_surface.y1);
    return box;
}

bool LayerOcclusion::wholePixels(const CGRect& rect, const cairo_matrix_t& ctm, PixelBox& box) const
{
    if (ctm.xy != 0 || ctm.yx != 0)
        return false;
    auto e = deviceExtent(rect, ctm);
    if (!e)
        return false;
    box = { snappedCeil(e->x0), snappedCeil(e->y0), snappedFloor(e->x1), snappedFloor(e->y1) };
    return true;
}

std::optional<CGRect> LayerOcclusion::deviceRect(const CGRect& rect, const cairo_matrix_t& ctm)
{
    if (ctm.xy != 0 || ctm.yx != 0)
        return std::nullopt;
    auto e = deviceExtent(rect, ctm);
    if (!e)
        return std::nullopt;
    return CGRect { e->x0, e->y0, e->x1 - e->x0, e->y1 - e->y0 };
}

std::size_t LayerOcclusion::addFill(const CGRect& rect, const cairo_matrix_t& ctm)
{
    Fill fill;
    fill.analysed = true;
    CGRect r = rect.standardized();
    fill.touched = touchedBox(r, ctm);
    fill.cuttable = deviceRect(r, ctm);
    fill.covers = wholePixels(r, ctm, fill.covered);
    m_fills.push_back(fill);
    return m_fills.size() - 1;
}

void LayerOcclusion::addTree(const CALayer& root, const cairo_matrix_t& ctm, UIUserInterfaceStyle style)
{
    m_style = style;
    Walk state;
    state.ctm = ctm;
    state.clip = m_surface;
    walk(root, state);
}

// Mirrors CALayer::renderBody: the same layers in the same order, with the interface style as
// it flows through the context there.
void LayerOcclusion::walk(const CALayer& layer, Walk state)
{
    if (layer.isHidden() || layer.opacity() <= 0)
        return;
    if (layer.delegate()) {
        UIUserInterfaceStyle own = layer.delegate()->layerInterfaceStyle();
        if (own != UIUserInterfaceStyle::unspecified)
            m_style = own;
    }
    if (layer.opacity() < 1 || layer.mask())
        state.unanalysable = true;

    CGRect bounds = layer.bounds().standardized();
    if (layer.backgroundColor()) {
        Fill fill;
        fill.layer = &layer;
        fill.analysed = !state.unanalysable;
        fill.touched = touchedBox(bounds, state.ctm);
        if (fill.analysed && !state.unalignedClip && hasRectangularShape(layer))
            fill.cuttable = deviceRect(bounds, state.ctm);
        // The context's own alpha is 1 here: only a delegate's drawing changes it, and only
        // for itself.
        bool opaque = layer.backgroundColor()->resolved(m_style).rgba().alpha >= 1;
        fill.covers = fill.analysed && !state.irregularClip && opaque && hasRectangularShape(layer)
            && wholePixels(bounds, state.ctm, fill.covered);
        if (fill.covers)
            fill.covered.intersect(state.clip);
        m_fills.push_back(fill);
    }

    Walk inside = state;
    bool roundedClip = false;
    if (layer.masksToBounds()) {
        PixelBox kept;
        if (hasRectangularShape(layer) && wholePixels(bounds, state.ctm, kept)) {
            inside.clip.intersect(kept);
            PixelBox touched = touchedBox(bounds, state.ctm);
            if (touched.x0 != kept.x0 || touched.y0 != kept.y0 || touched.x1 != kept.x1
                || touched.y1 != kept.y1)
                inside.unalignedClip = true;
        } else {
            inside.irregularClip = true;
            inside.unalignedClip = true;
            roundedClip = true;
        }
    }

    // A picture without alpha, drawn whole into its rectangle, covers like an opaque fill (it is
    // never left out itself). Under its own rounded clip, the cross between the corners is
    // still covered whole.
    bool contentsDrawn = !m_contentsLeftOut || !m_contentsLeftOut->contains(&layer);
    if (const auto& contents = layer.contents(); contents && contents->hasBitmap() && contentsDrawn
        && !state.unanalysable && !state.irregularClip && (!inside.irregularClip || roundedClip)
        && cairo_image_surface_get_format(contents->cairoSurface()) == CAIRO_FORMAT_RGB24) {
        CGRect rect = CALayerContentsRect(layer.contentsGravity(), contents->size(), layer.bounds());
        std::vector<CGRect> parts;
        if (roundedClip) {
            CGFloat rx = std::min(layer.cornerRadius(), bounds.width() / 2);
            CGFloat ry = std::min(layer.cornerRadius(), bounds.height() / 2);
            parts.push_back(rect.intersection(bounds.insetBy(rx, 0)));
            parts.push_back(rect.intersection(bounds.insetBy(0, ry)));
        } else {
            parts.push_back(rect);
        }
        for (const CGRect& part : parts) {
            Fill picture;
            if (!part.isNull() && part.width() > 0 && part.height() > 0
                && wholePixels(part, state.ctm, picture.covered)) {
                picture.covers = true;
                picture.covered.intersect(inside.clip);
                m_fills.push_back(picture);
            }
        }
    }
    auto walkSublayer = [&](const CALayer& sub, Walk sublayerState) {
        if (sub.isHidden())
            return;
        if (!concatenatedTransform(state.ctm, sub.transformToSuperlayer(), sublayerState.ctm))
            sublayerState.unanalysable = true;
        walk(sub, sublayerState);
    };
    for (const auto& sub : layer.sublayers())
        walkSublayer(*sub, inside);
    // The mask is drawn into a group too; walked only for the style it may set.
    if (layer.mask()) {
        Walk maskState = state;
        maskState.unanalysable = true;
        walkSublayer(*layer.mask(), maskState);
    }
}

std::vector<LayerOcclusion::PixelBox> LayerOcclusion::uncovered(
    const PixelBox& box, const std::vector<PixelBox>& covering)
{
    // Enough for a background around a screenful of opaque cells; past it boxes stay whole,
    // which only draws more.
    constexpr std::size_t maxPieces = 64;
    std::vector<PixelBox> pieces;
    if (!box.isEmpty())
        pieces.push_back(box);
    for (const PixelBox& cover : covering) {
        std::vector<PixelBox> next;
        for (const PixelBox& piece : pieces) {
            if (!cover.intersects(piece)) {
                next.push_back(piece);
                continue;
            }
            // The bands above and below the cover, then the parts left and right of it.
            PixelBox above { piece.x0, piece.y0, piece.x1, std::max(piece.y0, cover.y0) };
            PixelBox below { piece.x0, std::min(piece.y1, cover.y1), piece.x1, piece.y1 };
            long midY0 = std::max(piece.y0, cover.y0), midY1 = std::min(piece.y1, cover.y1);
            PixelBox left { piece.x0, midY0, std::max(piece.x0, cover.x0), midY1 };
            PixelBox right { std::min(piece.x1, cover.x1), midY0, piece.x1, midY1 };
            for (const PixelBox& part : { above, below, left, right }) {
                if (!part.isEmpty())
                    next.push_back(part);
            }
        }
        if (next.size() > maxPieces)
            continue;
        pieces = std::move(next);
        if (pieces.empty())
            break;
    }
    return pieces;
}

void LayerOcclusion::resolve()
{
    m_visible.assign(m_fills.size(), std::nullopt);
    m_backgroundParts.clear();
    std::vector<PixelBox> later;
    for (std::size_t i = m_fills.size(); i-- > 0;) {
        const Fill& fill = m_fills[i];
        if (fill.analysed) {
            std::vector<PixelBox> pieces = uncovered(fill.touched, later);
            bool whole = pieces.size() == 1 && pieces.front().x0 == fill.touched.x0
                && pieces.front().y0 == fill.touched.y0 && pieces.front().x1 == fill.touched.x1
                && pieces.front().y1 == fill.touched.y1;
            std::optional<Parts> parts;
            if (pieces.empty()) {
                parts = Parts();
            } else if (!whole && fill.cuttable) {
                // The rectangle within each piece: its own edges where they pass through the piece's
                // pixels, the piece's whole-pixel edges elsewhere.
                const CGRect& r = *fill.cuttable;
                parts = Parts();
                for (const PixelBox& p : pieces) {
                    CGFloat x0 = std::max<CGFloat>(r.minX(), p.x0), y0 = std::max<CGFloat>(r.minY(), p.y0);
                    CGFloat x1 = std::min<CGFloat>(r.maxX(), p.x1), y1 = std::min<CGFloat>(r.maxY(), p.y1);
                    if (x1 > x0 && y1 > y0)
                        parts->push_back({ x0, y0, x1 - x0, y1 - y0 });
                }
            }
            if (parts && fill.layer)
                m_backgroundParts[fill.layer] = *parts;
            m_visible[i] = std::move(parts);
        }
        if (fill.covers && !fill.covered.isEmpty())
            later.push_back(fill.covered);
    }
}

const std::optional<LayerOcclusion::Parts>& LayerOcclusion::visibleParts(std::size_t fill) const
{
    static const std::optional<Parts> whole;
    return fill < m_visible.size() ? m_visible[fill] : whole;
}

}
