#include "app/Core/Helpers/ImageOrientation.h"

#include "platform/ui/CGGeometry.h"

#include <cairo.h>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

// The transform that turns the stored bitmap upright, in a drawing space whose y axis points up
// (the bitmap context's own space). w and h are the upright size.
CGAffineTransform uprightTransform(UIImageOrientation orientation, CGFloat w, CGFloat h)
{
    using O = UIImageOrientation;
    constexpr CGFloat pi = std::numbers::pi;
    CGAffineTransform t = CGAffineTransform::identity();
    switch (orientation) {
    case O::down:
    case O::downMirrored:
        t = t.translatedBy(w, h).rotated(pi);
        break;
    case O::left:
    case O::leftMirrored:
        t = t.translatedBy(w, 0).rotated(pi / 2);
        break;
    case O::right:
    case O::rightMirrored:
        t = t.translatedBy(0, h).rotated(-pi / 2);
        break;
    case O::up:
    case O::upMirrored:
        break;
    }
    switch (orientation) {
    case O::upMirrored:
    case O::downMirrored:
        t = t.translatedBy(w, 0).scaledBy(-1, 1);
        break;
    case O::leftMirrored:
    case O::rightMirrored:
        t = t.translatedBy(h, 0).scaledBy(-1, 1);
        break;
    default:
        break;
    }
    // Quarter turns come out of sin and cos with tiny residues; exact entries keep every pixel
    // on its own place.
    for (CGFloat* entry : { &t.a, &t.b, &t.c, &t.d, &t.tx, &t.ty })
        *entry = std::abs(*entry - std::round(*entry)) < 1e-9 ? std::round(*entry) : *entry;
    return t;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

}

std::optional<UIImage> fixOrientation(const UIImage& image)
{
    cairo_surface_t* bitmap = image.cairoSurface();
    if (!bitmap)
        return std::nullopt;
    UIImageOrientation orientation = image.imageOrientation();
    if (orientation == UIImageOrientation::up)
        return image;

    CGSize size = image.size();
    const CGFloat w = size.width, h = size.height;
    if (!std::isfinite(w) || !std::isfinite(h) || w < 1 || h < 1 || w > UIImage::maxPixelsPerSide
        || h > UIImage::maxPixelsPerSide)
        return std::nullopt;
    const int width = static_cast<int>(w), height = static_cast<int>(h);
    if (static_cast<long long>(width) * height > UIImage::maxPixelCount)
        return std::nullopt;

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> target(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(target.get()) != CAIRO_STATUS_SUCCESS)
        return std::nullopt;
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(target.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return std::nullopt;

    // Work in a y-up space with the origin at the bottom left, where the transform above holds.
    cairo_translate(cr.get(), 0, height);
    cairo_scale(cr.get(), 1, -1);
    CGAffineTransform t = uprightTransform(orientation, w, h);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr.get(), &matrix);

    // The stored bitmap fills (0, 0, dw, dh) with its first row at the top (largest y).
    const bool quarterTurn = UIImageOrientationSwapsAxes(orientation);
    const CGFloat dw = quarterTurn ? h : w, dh = quarterTurn ? w : h;
    const int pixelWidth = image.pixelWidth(), pixelHeight = image.pixelHeight();
    if (pixelWidth <= 0 || pixelHeight <= 0)
        return std::nullopt;
    cairo_translate(cr.get(), 0, dh);
    cairo_scale(cr.get(), dw / pixelWidth, -dh / pixelHeight);
    cairo_set_source_surface(cr.get(), bitmap, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
    cairo_rectangle(cr.get(), 0, 0, pixelWidth, pixelHeight);
    cairo_fill(cr.get());
    cr.reset();
    cairo_surface_flush(target.get());
    if (cairo_surface_status(target.get()) != CAIRO_STATUS_SUCCESS)
        return std::nullopt;

    UIImage upright = UIImage::fromSurface(target.get(), 1, UIImageOrientation::up);
    if (!upright.hasBitmap())
        return std::nullopt;
    return upright;
}
