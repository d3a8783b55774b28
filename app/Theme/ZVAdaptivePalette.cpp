#include "app/Theme/ZVAdaptivePalette.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIGraphics.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>

namespace zvadaptive {

namespace {

// As opaque as the dark style's faintest texts are made (white at 0.55 and more).
constexpr double minimumDarkIconAlpha = 0.85;
// How much of the picture shows through the black of the dark page.
constexpr CGFloat dimmedPictureShare = 0.12;

struct Hsl {
    double h, s, l;
};

Hsl toHsl(double r, double g, double b)
{
    double high = std::max({ r, g, b }), low = std::min({ r, g, b });
    double l = (high + low) / 2;
    if (high == low)
        return { 0, 0, l };
    double d = high - low;
    double s = l > 0.5 ? d / (2 - high - low) : d / (high + low);
    double h = high == r ? (g - b) / d + (g < b ? 6 : 0) : high == g ? (b - r) / d + 2 : (r - g) / d + 4;
    return { h / 6, s, l };
}

double hueChannel(double p, double q, double t)
{
    t -= std::floor(t);
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

void fromHsl(const Hsl& c, double& r, double& g, double& b)
{
    if (c.s == 0) {
        r = g = b = c.l;
        return;
    }
    double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    double p = 2 * c.l - q;
    r = hueChannel(p, q, c.h + 1.0 / 3);
    g = hueChannel(p, q, c.h);
    b = hueChannel(p, q, c.h - 1.0 / 3);
}

UIImage lightnessTurnedOver(const UIImage& image)
{
    cairo_surface_t* source = image.cairoSurface();
    cairo_surface_flush(source);
    int w = image.pixelWidth(), h = image.pixelHeight();
    const unsigned char* in = cairo_image_surface_get_data(source);
    int inStride = cairo_image_surface_get_stride(source);
    std::uint32_t strongest = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(in + y * inStride);
        for (int x = 0; x < w; ++x)
            strongest = std::max(strongest, row[x] >> 24);
    }
    double boost = strongest == 0 ? 1 : std::max(1.0, minimumDarkIconAlpha * 255 / strongest);

    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* out = cairo_image_surface_get_data(target);
    int outStride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(in + y * inStride);
        auto* result = reinterpret_cast<std::uint32_t*>(out + y * outStride);
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = row[x];
            double a = (p >> 24) / 255.0;
            if (a == 0) {
                result[x] = 0;
                continue;
            }
            Hsl c = toHsl(
                ((p >> 16) & 0xff) / 255.0 / a, ((p >> 8) & 0xff) / 255.0 / a, (p & 0xff) / 255.0 / a);
            c.l = 1 - std::clamp(c.l, 0.0, 1.0);
            double r, g, b;
            fromHsl(c, r, g, b);
            double alpha = std::min(1.0, a * boost);
            auto channel = [alpha](double v) {
                return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * alpha * 255));
            };
            result[x] = channel(1) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
        }
    }
    cairo_surface_mark_dirty(target);
    UIImage turned = UIImage::fromSurface(target, image.scale(), image.imageOrientation());
    cairo_surface_destroy(target);
    return turned;
}

}

UIColor fillColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor(0.173, 0.173, 0.18, 1));
}

UIColor lineColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor::white(1, 0.16));
}

std::optional<UIImage> iconImage(const std::optional<UIImage>& light)
{
    if (!light || !light->hasBitmap())
        return light;
    const UIImage& drawn = light->resolved(UIUserInterfaceStyle::light);
    return UIImage::dynamic(drawn, lightnessTurnedOver(drawn)).withRenderingMode(light->renderingMode());
}

std::optional<UIImage> dimmedImage(const std::optional<UIImage>& light)
{
    if (!light || !light->hasBitmap())
        return light;
    const UIImage& picture = light->resolved(UIUserInterfaceStyle::light);
    UIGraphicsImageRendererFormat format;
    format.scale = picture.scale();
    format.opaque = true;
    UIImage dark = UIGraphicsImageRenderer(picture.size(), format).image([&](CGContext& context) {
        context.setFillColor(UIColor::black());
        context.fill({ { 0, 0 }, picture.size() });
        context.setAlpha(dimmedPictureShare);
        context.draw(picture, { { 0, 0 }, picture.size() });
    });
    return UIImage::dynamic(picture, dark);
}

}
