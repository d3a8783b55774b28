#include "platform/ui/CALayer.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/CAShapeLayer.h"
#include "platform/ui/CGContext.h"

#include <algorithm>
#include <cmath>

namespace {

bool isFinite(CGFloat v)
{
    return std::isfinite(v);
}

CGFloat sanitized(CGFloat v, CGFloat fallback = 0)
{
    return isFinite(v) ? v : fallback;
}

unsigned rectCorners(unsigned masked)
{
    unsigned corners = 0;
    if (masked & kCALayerMinXMinYCorner)
        corners |= UIRectCornerTopLeft;
    if (masked & kCALayerMaxXMinYCorner)
        corners |= UIRectCornerTopRight;
    if (masked & kCALayerMinXMaxYCorner)
        corners |= UIRectCornerBottomLeft;
    if (masked & kCALayerMaxXMaxYCorner)
        corners |= UIRectCornerBottomRight;
    return corners;
}

}

CALayer::CALayer() = default;

CALayer::~CALayer()
{
    // Sublayers outlive us only when someone else holds them; they must not point back here.
    for (auto& sub : m_sublayers)
        sub->m_superlayer.reset();
}

// ---- Geometry ----

void CALayer::setBounds(const CGRect& bounds)
{
    CGRect b { sanitized(bounds.origin.x), sanitized(bounds.origin.y), sanitized(bounds.size.width),
        sanitized(bounds.size.height) };
    if (b == m_bounds)
        return;
    bool sizeChanged = b.size != m_bounds.size;
    m_bounds = b;
    didChangeDrawing();
    if (sizeChanged && m_delegate)
        m_delegate->layerDidChangeSize(*this);
}

void CALayer::setPosition(CGPoint position)
{
    changeTo(m_position, CGPoint { sanitized(position.x), sanitized(position.y) });
}

void CALayer::setAnchorPoint(CGPoint anchor)
{
    changeTo(m_anchorPoint, CGPoint { sanitized(anchor.x, 0.5), sanitized(anchor.y, 0.5) });
}

void CALayer::setAffineTransform(const CGAffineTransform& t)
{
    bool ok = isFinite(t.a) && isFinite(t.b) && isFinite(t.c) && isFinite(t.d) && isFinite(t.tx)
        && isFinite(t.ty);
    changeTo(m_transform, ok ? t : CGAffineTransform::identity());
}

CGAffineTransform CALayer::transformToSuperlayer() const
{
    CGPoint anchor { m_bounds.origin.x + m_anchorPoint.x * m_bounds.size.width,
        m_bounds.origin.y + m_anchorPoint.y * m_bounds.size.height };
    return CGAffineTransform::translation(-anchor.x, -anchor.y)
        .concatenating(m_transform)
        .concatenating(CGAffineTransform::translation(m_position.x, m_position.y));
}

CGRect CALayer::frame() const
{
    return transformToSuperlayer().apply(CGRect(m_bounds.origin, m_bounds.size));
}

void CALayer::setFrame(const CGRect& frame)
{
    CGRect f = frame.isNull() ? CGRect::zero() : frame.standardized();
    setBounds({ m_bounds.origin, f.size });
    setPosition(
        { f.origin.x + m_anchorPoint.x * f.size.width, f.origin.y + m_anchorPoint.y * f.size.height });
}

CGPoint CALayer::convertToSuperlayer(CGPoint p) const
{
    return transformToSuperlayer().apply(p);
}

CGPoint CALayer::convertFromSuperlayer(CGPoint p) const
{
    auto inverse = transformToSuperlayer().inverted();
    if (!inverse)
        return p;
    return inverse->apply(p);
}

// ---- Appearance ----

bool CALayer::superlayersShow() const
{
    for (auto up = m_superlayer.lock(); up; up = up->m_superlayer.lock()) {
        if (up->m_hidden || up->m_opacity <= 0)
            return false;
    }
    return true;
}

bool CALayer::isShownInTree() const
{
    return !m_hidden && m_opacity > 0 && superlayersShow();
}

void CALayer::didChangeDrawing() const
{
    if (isShownInTree())
        DisplayUpdates::setNeedsDisplay();
}

// Hiding or showing the layer itself changes the screen wherever its superlayers show.
void CALayer::setHidden(bool hidden)
{
    if (m_hidden == hidden)
        return;
    m_hidden = hidden;
    if (superlayersShow())
        DisplayUpdates::setNeedsDisplay();
}

void CALayer::setOpacity(CGFloat opacity)
{
    CGFloat value = std::clamp<CGFloat>(sanitized(opacity, 1), 0, 1);
    if (m_opacity == value)
        return;
    m_opacity = value;
    if (superlayersShow())
        DisplayUpdates::setNeedsDisplay();
}
void CALayer::setCornerRadius(CGFloat radius)
{
    changeTo(m_cornerRadius, std::max<CGFloat>(0, sanitized(radius)));
}
void CALayer::setBorderWidth(CGFloat width)
{
    changeTo(m_borderWidth, std::max<CGFloat>(0, sanitized(width)));
}
void CALayer::setShadowOpacity(CGFloat opacity)
{
    changeTo(m_shadowOpacity, std::clamp<CGFloat>(sanitized(opacity), 0, 1));
}
void CALayer::setShadowRadius(CGFloat radius)
{
    changeTo(m_shadowRadius, std::max<CGFloat>(0, sanitized(radius)));
}

void CALayer::setMask(std::shared_ptr<CALayer> mask)
{
    if (mask.get() == this)
        return;
    if (mask)
        mask->removeFromSuperlayer();
    m_mask = std::move(mask);
    DisplayUpdates::setNeedsDisplay();
}

// ---- Tree ----

std::optional<std::size_t> CALayer::indexOfSublayer(const CALayer* layer) const
{
    for (std::size_t i = 0; i < m_sublayers.size(); ++i) {
        if (m_sublayers[i].get() == layer)
            return i;
    }
    return std::nullopt;
}

void CALayer::detachFromSuperlayer()
{
    auto super = m_superlayer.lock();
    m_superlayer.reset();
    if (!super)
        return;
    if (auto index = super->indexOfSublayer(this))
        super->m_sublayers.erase(super->m_sublayers.begin() + static_cast<std::ptrdiff_t>(*index));
    DisplayUpdates::setNeedsDisplay();
}

void CALayer::insertAt(std::shared_ptr<CALayer> layer, std::size_t index)
{
    if (!layer || layer.get() == this)
        return;
    // A layer may not become its own ancestor.
    for (auto up = m_superlayer.lock(); up; up = up->m_superlayer.lock()) {
        if (up == layer)
            return;
    }
    std::shared_ptr<CALayer> keep = layer;
    bool sameParent = layer->m_superlayer.lock().get() == this;
    if (sameParent) {
        auto old = indexOfSublayer(layer.get());
        if (old && *old < index)
            --index;
    }
    layer->detachFromSuperlayer();
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + static_cast<std::ptrdiff_t>(index), layer);
    layer->m_superlayer = weak_from_this();
    DisplayUpdates::setNeedsDisplay();
}

void CALayer::addSublayer(std::shared_ptr<CALayer> layer)
{
    insertAt(std::move(layer), m_sublayers.size() + 1);
}

void CALayer::insertSublayer(std::shared_ptr<CALayer> layer, std::size_t index)
{
    if (layer && layer->m_superlayer.lock().get() == this) {
        // Moving within the same parent: the index counts the list without the moved layer.
        layer->detachFromSuperlayer();
    }
    insertAt(std::move(layer), index);
}

void CALayer::insertSublayerAbove(std::shared_ptr<CALayer> layer, const CALayer* sibling)
{
    if (!layer || layer.get() == sibling)
        return;
    auto index = indexOfSublayer(sibling);
    insertAt(std::move(layer), index ? *index + 1 : m_sublayers.size() + 1);
}

void CALayer::insertSublayerBelow(std::shared_ptr<CALayer> layer, const CALayer* sibling)
{
    if (!layer || layer.get() == sibling)
        return;
    auto index = indexOfSublayer(sibling);
    insertAt(std::move(layer), index ? *index : 0);
}

void CALayer::replaceSublayer(const CALayer* old, std::shared_ptr<CALayer> replacement)
{
    auto index = indexOfSublayer(old);
    if (!index || !replacement || replacement.get() == old)
        return;
    std::shared_ptr<CALayer> oldLayer = m_sublayers[*index];
    oldLayer->detachFromSuperlayer();
    insertAt(std::move(replacement), *index);
}

void CALayer::removeFromSuperlayer()
{
    auto keep = shared_from_this();
    detachFromSuperlayer();
}

// ---- Animations ----

void CALayer::add(std::shared_ptr<CAAnimation> animation, const std::string& key)
{
    if (!animation)
        return;
    std::shared_ptr<CAAnimation> replaced;
    auto it = std::find_if(
        m_animations.begin(), m_animations.end(), [&](const auto& e) { return e.first == key; });
    if (it != m_animations.end()) {
        replaced = it->second;
        m_animations.erase(it);
    }
    m_animations.emplace_back(key, animation);
    scheduleAnimationEnd(key, animation);
    if (replaced && replaced->didStop)
        replaced->didStop(false);
}

void CALayer::scheduleAnimationEnd(const std::string& key, const std::shared_ptr<CAAnimation>& animation)
{
    double total = animation->beginTime + animation->totalDuration();
    if (!animation->isRemovedOnCompletion || !std::isfinite(total))
        return;
    std::weak_ptr<CALayer> weakLayer = weak_from_this();
    std::weak_ptr<CAAnimation> weakAnimation = animation;
    DispatchQueue::main().asyncAfter(
        DispatchTime::now() + std::max(0.0, total), [weakLayer, weakAnimation, key] {
            auto layer = weakLayer.lock();
            auto animation = weakAnimation.lock();
            if (!layer || !animation)
                return;
            auto it = std::find_if(layer->m_animations.begin(), layer->m_animations.end(),
                [&](const auto& e) { return e.first == key && e.second == animation; });
            if (it == layer->m_animations.end())
                return;
            layer->m_animations.erase(it);
            if (animation->didStop)
                animation->didStop(true);
        });
}

std::shared_ptr<CAAnimation> CALayer::animation(const std::string& key) const
{
    for (const auto& [k, a] : m_animations) {
        if (k == key)
            return a;
    }
    return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const
{
    std::vector<std::string> keys;
    for (const auto& entry : m_animations)
        keys.push_back(entry.first);
    return keys;
}

void CALayer::removeAnimation(const std::string& key)
{
    auto it = std::find_if(
        m_animations.begin(), m_animations.end(), [&](const auto& e) { return e.first == key; });
    if (it == m_animations.end())
        return;
    auto animation = it->second;
    m_animations.erase(it);
    if (animation->didStop)
        animation->didStop(false);
}

void CALayer::removeAllAnimations()
{
    auto removed = std::move(m_animations);
    m_animations.clear();
    for (auto& [key, animation] : removed) {
        if (animation->didStop)
            animation->didStop(false);
    }
}

// ---- Drawing ----

CGRect CALayerContentsRect(CALayerContentsGravity gravity, CGSize content, const CGRect& bounds)
{
    CGFloat bw = bounds.size.width, bh = bounds.size.height;
    CGFloat cw = content.width, ch = content.height;
    CGFloat x0 = bounds.origin.x, y0 = bounds.origin.y;
    switch (gravity) {
    case CALayerContentsGravity::resize:
        return bounds;
    case CALayerContentsGravity::resizeAspect:
    case CALayerContentsGravity::resizeAspectFill: {
        if (cw <= 0 || ch <= 0)
            return bounds;
        CGFloat sx = bw / cw, sy = bh / ch;
        CGFloat s = gravity == CALayerContentsGravity::resizeAspect ? std::min(sx, sy) : std::max(sx, sy);
        CGFloat w = cw * s, h = ch * s;
        return { x0 + (bw - w) / 2, y0 + (bh - h) / 2, w, h };
    }
    case CALayerContentsGravity::center:
        return { x0 + (bw - cw) / 2, y0 + (bh - ch) / 2, cw, ch };
    case CALayerContentsGravity::top:
        return { x0 + (bw - cw) / 2, y0, cw, ch };
    case CALayerContentsGravity::bottom:
        return { x0 + (bw - cw) / 2, y0 + bh - ch, cw, ch };
    case CALayerContentsGravity::left:
        return { x0, y0 + (bh - ch) / 2, cw, ch };
    case CALayerContentsGravity::right:
        return { x0 + bw - cw, y0 + (bh - ch) / 2, cw, ch };
    case CALayerContentsGravity::topLeft:
        return { x0, y0, cw, ch };
    case CALayerContentsGravity::topRight:
        return { x0 + bw - cw, y0, cw, ch };
    case CALayerContentsGravity::bottomLeft:
        return { x0, y0 + bh - ch, cw, ch };
    case CALayerContentsGravity::bottomRight:
        return { x0 + bw - cw, y0 + bh - ch, cw, ch };
    }
    return bounds;
}

CGPath CALayer::backgroundShape() const
{
    return UIBezierPath::roundedRect(
        m_bounds, rectCorners(m_maskedCorners), { m_cornerRadius, m_cornerRadius })
        .cgPath();
}

void CALayer::drawInContext(CGContext&) const
{ }

void CALayer::render(CGContext& context) const
{
    renderBody(context);
}

void CALayer::renderInSuperlayer(CGContext& context) const
{
    if (m_hidden)
        return;
    context.saveGState();
    context.concatenate(transformToSuperlayer());
    renderBody(context);
    context.restoreGState();
}

namespace {

// Three box passes approximate a Gaussian blur of an alpha mask.
void boxBlur(unsigned char* data, int width, int height, int stride, int radius)
{
    if (radius <= 0)
        return;
    std::vector<unsigned char> line(static_cast<std::size_t>(std::max(width, height)));
    int window = 2 * radius + 1;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            unsigned char* row = data + static_cast<std::size_t>(y) * stride;
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += row[std::clamp(i, 0, width - 1)] * (i >= 0 && i < width);
            for (int x = 0; x < width; ++x) {
                line[x] = static_cast<unsigned char>(sum / window);
                int out = x - radius, in = x + radius + 1;
                if (out >= 0)
                    sum -= row[out];
                if (in < width)
                    sum += row[in];
            }
            std::copy(line.begin(), line.begin() + width, row);
        }
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int i = 0; i <= radius && i < height; ++i)
                sum += data[static_cast<std::size_t>(i) * stride + x];
            for (int y = 0; y < height; ++y) {
                line[y] = static_cast<unsigned char>(sum / window);
                int out = y - radius, in = y + radius + 1;
                if (out >= 0)
                    sum -= data[static_cast<std::size_t>(out) * stride + x];
                if (in < height)
                    sum += data[static_cast<std::size_t>(in) * stride + x];
            }
            for (int y = 0; y < height; ++y)
                data[static_cast<std::size_t>(y) * stride + x] = line[y];
        }
    }
}

}

void CALayer::renderShadow(CGContext& context) const
{
    if (m_shadowOpacity <= 0 || !m_shadowColor || m_masksToBounds)
        return;
    UIColor::RGBA color = context.effective(*m_shadowColor);
    if (color.alpha <= 0)
        return;
    CGPath shape;
    if (m_shadowPath) {
        shape = *m_shadowPath;
    } else if (m_backgroundColor && context.effective(*m_backgroundColor).alpha > 0) {
        shape = backgroundShape();
    } else if (m_contents && m_contents->hasBitmap()) {
        shape.addRect(m_bounds);
    } else {
        return;
    }
    if (shape.isEmpty())
        return;

    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_translate(cr, m_shadowOffset.width, m_shadowOffset.height);
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    cairo_new_path(cr);
    context.addPath(shape);
    double ex0, ey0, ex1, ey1;
    cairo_fill_extents(cr, &ex0, &ey0, &ex1, &ey1);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_restore(cr);

    // Work in device pixels so the blur has the same look at every scale.
    double xs[4] = { ex0, ex1, ex0, ex1 }, ys[4] = { ey0, ey0, ey1, ey1 };
    double dx0 = 1e18, dy0 = 1e18, dx1 = -1e18, dy1 = -1e18;
    for (int i = 0; i < 4; ++i) {
        double x = xs[i], y = ys[i];
        cairo_matrix_transform_point(&ctm, &x, &y);
        dx0 = std::min(dx0, x);
        dy0 = std::min(dy0, y);
        dx1 = std::max(dx1, x);
        dy1 = std::max(dy1, y);
    }
    double deviceScale = std::sqrt(std::abs(ctm.xx * ctm.yy - ctm.xy * ctm.yx));
    double sigma = m_shadowRadius / 2 * deviceScale;
    int boxRadius = static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
    int pad = 3 * boxRadius + 2;
    int ox = static_cast<int>(std::floor(dx0)) - pad, oy = static_cast<int>(std::floor(dy0)) - pad;
    int width = static_cast<int>(std::ceil(dx1)) + pad - ox,
        height = static_cast<int>(std::ceil(dy1)) + pad - oy;
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192 || !std::isfinite(dx0)
        || !std::isfinite(dy1)) {
        cairo_path_destroy(path);
        return;
    }
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* mcr = cairo_create(mask);
    cairo_matrix_t shifted = ctm;
    shifted.x0 -= ox;
    shifted.y0 -= oy;
    cairo_set_matrix(mcr, &shifted);
    cairo_append_path(mcr, path);
    cairo_set_source_rgba(mcr, 0, 0, 0, 1);
    cairo_fill(mcr);
    cairo_destroy(mcr);
    cairo_path_destroy(path);
    cairo_surface_flush(mask);
    boxBlur(
        cairo_image_surface_get_data(mask), width, height, cairo_image_surface_get_stride(mask), boxRadius);
    cairo_surface_mark_dirty(mask);

    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha * m_shadowOpacity);
    cairo_mask_surface(cr, mask, ox, oy);
    cairo_restore(cr);
    cairo_surface_destroy(mask);
}

bool CALayer::drawingStaysWithinBounds() const
{
    if (m_masksToBounds)
        return true; // and no shadow is drawn
    if (m_shadowOpacity > 0 && m_shadowColor)
        return false;
    if (!m_sublayers.empty())
        return false;
    if (m_contents && m_contents->hasBitmap()
        && !m_bounds.contains(CALayerContentsRect(m_contentsGravity, m_contents->size(), m_bounds)))
        return false;
    return drawsWithinBounds();
}

std::optional<CGRect> CALayer::groupExtent() const
{
    // Nothing of a masked layer shows outside what its mask draws.
    if (m_mask) {
        if (!m_mask->m_sublayers.empty() || m_mask->m_shadowOpacity > 0)
            return drawingStaysWithinBounds() ? std::optional<CGRect>(m_bounds) : std::nullopt;
        CGRect extent = m_mask->frame();
        if (const auto* shape = dynamic_cast<const CAShapeLayer*>(m_mask.get()); shape && shape->path()) {
            CGFloat outset = shape->lineWidth();
            CGRect drawn = shape->path()->boundingBox().insetBy(-outset, -outset);
            extent = extent.unionWith(m_mask->transformToSuperlayer().apply(drawn));
        }
        return extent;
    }
    // A layer that clips to its bounds draws nothing outside them (and casts no shadow); nor does
    // a plain one whose own drawing stays inside.
    if (drawingStaysWithinBounds())
        return m_bounds;
    return std::nullopt;
}

void CALayer::renderBody(CGContext& context) const
{
    if (m_hidden || m_opacity <= 0)
        return;
    cairo_t* cr = context.cairo();
    context.saveGState();
    if (m_delegate) {
        UIUserInterfaceStyle style = m_delegate->layerInterfaceStyle();
        if (style != UIUserInterfaceStyle::unspecified)
            context.setInterfaceStyle(style);
    }
    UIUserInterfaceStyle outerStyle = context.interfaceStyle();
    bool grouped = m_opacity < 1 || m_mask;
    if (grouped) {
        // A group is as large as the clip: bounded by what can show, it stays small (unbounded,
        // it would be the whole target, three times over for a mask). Rounded out to whole device
        // pixels, so that no edge is antialiased twice.
        if (std::optional<CGRect> extent = groupExtent()) {
            double xs[4] = { extent->minX(), extent->maxX(), extent->minX(), extent->maxX() };
            double ys[4] = { extent->minY(), extent->minY(), extent->maxY(), extent->maxY() };
            double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
            for (int i = 0; i < 4; ++i) {
                cairo_user_to_device(cr, &xs[i], &ys[i]);
                x0 = std::min(x0, xs[i]);
                y0 = std::min(y0, ys[i]);
                x1 = std::max(x1, xs[i]);
                y1 = std::max(y1, ys[i]);
            }
            if (std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1)) {
                cairo_matrix_t matrix;
                cairo_get_matrix(cr, &matrix);
                cairo_identity_matrix(cr);
                cairo_new_path(cr);
                cairo_rectangle(cr, std::floor(x0), std::floor(y0), std::ceil(x1) - std::floor(x0),
                    std::ceil(y1) - std::floor(y0));
                cairo_clip(cr);
                cairo_set_matrix(cr, &matrix);
            }
        }
        cairo_push_group(cr);
    }

    renderShadow(context);

    CGPath shape = backgroundShape();
    if (m_backgroundColor) {
        // Only the parts that later opaque fills do not cover, when the renderer knows them.
        const std::vector<CGRect>* parts = context.backgroundParts(this);
        context.setFillColor(*m_backgroundColor);
        if (parts) {
            context.fillDeviceRects(*parts);
        } else {
            context.addPath(shape);
            context.fillPath();
        }
    }
    context.saveGState();
    if (m_masksToBounds) {
        context.addPath(shape);
        context.clip();
    }
    bool drawsContent = context.drawsContentOf(this);
    if (drawsContent && m_contents && m_contents->hasBitmap())
        context.draw(*m_contents, CALayerContentsRect(m_contentsGravity, m_contents->size(), m_bounds));
    if (drawsContent)
        drawInContext(context);
    if (m_delegate && drawsContent) {
        context.saveGState();
        context.clip(m_bounds);
        m_delegate->drawLayer(const_cast<CALayer&>(*this), context);
        context.restoreGState();
        context.setInterfaceStyle(outerStyle);
    }
    for (const auto& sub : m_sublayers)
        sub->renderInSuperlayer(context);
    context.restoreGState();

    if (m_borderWidth > 0) {
        CGFloat inset = m_borderWidth / 2;
        CGRect r = m_bounds.insetBy(inset, inset);
        if (!r.isNull()) {
            // Same outline as the background, moved inwards by half the line width.
            unsigned corners = rectCorners(m_maskedCorners);
            CGFloat radius = std::max<CGFloat>(0, m_cornerRadius - inset);
            context.addPath(UIBezierPath::roundedRect(r, corners, { radius, radius }).cgPath());
            context.setStrokeColor(m_borderColor);
            context.setLineWidth(m_borderWidth);
            context.strokePath();
        }
    }

    if (grouped) {
        cairo_pattern_t* content = cairo_pop_group(cr);
        if (m_mask) {
            cairo_push_group(cr);
            m_mask->renderInSuperlayer(context);
            cairo_pattern_t* maskPattern = cairo_pop_group(cr);
            cairo_push_group(cr);
            cairo_set_source(cr, content);
            cairo_mask(cr, maskPattern);
            cairo_pattern_destroy(maskPattern);
            cairo_pattern_destroy(content);
            content = cairo_pop_group(cr);
        }
        cairo_set_source(cr, content);
        cairo_paint_with_alpha(cr, m_opacity);
        cairo_pattern_destroy(content);
    }
    context.restoreGState();
}
