#include "app/MainController/Login/View/ZV_EnterButtonImage.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace accountform {

namespace {

// As strong as the dark style's faded texts (placeholders): there, but not asking for a tap.
constexpr double arrowStrength = 0.5;
// A drawn pixel belongs to the arrow when it is lighter than mid grey; the disc is near black.
constexpr double arrowLightness = 0.5;

// The drawing's light strokes alone, in white at the strength, with their drawn coverage: soft
// edges stay soft and the faint dark disc gives nothing.
UIImage lightStrokes(const UIImage& drawn, double strength)
{
    cairo_surface_t* source = drawn.cairoSurface();
    cairo_surface_flush(source);
    int width = drawn.pixelWidth(), height = drawn.pixelHeight();
    const unsigned char* in = cairo_image_surface_get_data(source);
    int inStride = cairo_image_surface_get_stride(source);
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    unsigned char* out = cairo_image_surface_get_data(target);
    int outStride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < height; ++y) {
        const auto* row
            = reinterpret_cast<const std::uint32_t*>(in + static_cast<std::ptrdiff_t>(y) * inStride);
        auto* put = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outStride);
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = row[x];
            std::uint32_t alpha = pixel >> 24;
            // Premultiplied: the brightest channel over the coverage is the pixel's lightness.
            std::uint32_t brightest = std::max({ (pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff });
            bool arrow = alpha != 0 && brightest >= arrowLightness * alpha;
            auto shown = arrow ? static_cast<std::uint32_t>(std::lround(alpha * strength)) : 0u;
            put[x] = shown << 24 | shown << 16 | shown << 8 | shown;
        }
    }
    cairo_surface_mark_dirty(target);
    UIImage strokes = UIImage::fromSurface(target, drawn.scale());
    cairo_surface_destroy(target);
    return strokes;
}

}

std::optional<UIImage> waitingEnterImage(const std::optional<UIImage>& drawn)
{
    if (!drawn || !drawn->hasBitmap())
        return drawn;
    const UIImage& light = drawn->resolved(UIUserInterfaceStyle::light);
    cairo_surface_t* surface = light.cairoSurface();
    if (!surface || cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32)
        return drawn;
    // A grey a step above the fields' fill: the fields lie on the same dimmed picture, and the
    // disc, smaller and alone, needs the step to show as one.
    const UIColor darkDisc(0.227, 0.227, 0.235, 1);
    UIImage arrow = lightStrokes(light, arrowStrength);
    CGRect bounds { { 0, 0 }, light.size() };
    UIGraphicsImageRendererFormat format;
    format.scale = light.scale();
    UIImage dark = UIGraphicsImageRenderer(light.size(), format).image([&](CGContext& context) {
        context.setFillColor(darkDisc);
        context.addPath(UIBezierPath::ovalIn(bounds).cgPath());
        context.fillPath();
        context.draw(arrow, bounds);
    });
    if (dark.isEmpty())
        return drawn;
    UIImage face = UIImage::dynamic(light, dark).withRenderingMode(drawn->renderingMode());
    return light.isBundleImage() ? face.markedAsBundleImage() : face;
}

}
