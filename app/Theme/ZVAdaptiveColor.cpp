#include "app/Theme/ZVAdaptiveColor.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>

namespace zvadaptive {

namespace {

constexpr CGFloat minimumDarkTextAlpha = 0.55;
// White at this alpha reads on black and on the dark surfaces at more than 4.5:1.
constexpr double darkIconAlpha = 0.85;

double channel(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const UIColor::RGBA& c)
{
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

}

UIColor textColor(const UIColor& light)
{
    CGFloat alpha = std::max<CGFloat>(light.alphaComponent(), minimumDarkTextAlpha);
    return UIColor::dynamic(light, UIColor::white(1, alpha));
}

UIColor surfaceColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor(0.11, 0.11, 0.118, 1));
}

UIColor pageColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor::black());
}

UIColor raisedColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor(0.173, 0.173, 0.18, 1));
}

UIColor tagTextColor(const UIColor& light)
{
    return UIColor::dynamic(light, UIColor(29 / 255.0, 25 / 255.0, 66 / 255.0, 1));
}

UIColor whiteTextFill(const UIColor& light)
{
    UIColor::RGBA fill = light.resolved(UIUserInterfaceStyle::light).rgba();
    fill.alpha = 1;
    // A little beyond the ratio, so that rounding to whole channels keeps it.
    constexpr double wanted = 4.6;
    for (int step = 0;
         step < 100 && contrastRatio(UIColor::white(), UIColor(fill.red, fill.green, fill.blue, 1)) < wanted;
         ++step) {
        fill.red *= 0.97;
        fill.green *= 0.97;
        fill.blue *= 0.97;
    }
    return UIColor::dynamic(light, UIColor(fill.red, fill.green, fill.blue, 1));
}

UIImage iconInColor(const UIImage& icon, const UIColor& color)
{
    UIColor::RGBA ink = color.rgba();
    cairo_surface_t* source = icon.cairoSurface();
    if (!source || cairo_image_surface_get_format(source) != CAIRO_FORMAT_ARGB32)
        return icon.withTintColor(color);
    cairo_surface_flush(source);
    int width = cairo_image_surface_get_width(source), height = cairo_image_surface_get_height(source);
    int stride = cairo_image_surface_get_stride(source);
    const unsigned char* in = cairo_image_surface_get_data(source);
    std::uint32_t most = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row
            = reinterpret_cast<const std::uint32_t*>(in + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x)
            most = std::max(most, row[x] >> 24);
    }
    if (most == 0)
        return icon;
    // Every pixel's coverage grows by the same factor: the edges stay as soft as drawn.
    double gain = ink.alpha * 255 / most;
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    unsigned char* out = cairo_image_surface_get_data(target);
    int outStride = cairo_image_surface_get_stride(target);
    auto premultiplied = [](double channel, std::uint32_t alpha) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(channel, 0.0, 1.0) * alpha));
    };
    for (int y = 0; y < height; ++y) {
        const auto* row
            = reinterpret_cast<const std::uint32_t*>(in + static_cast<std::ptrdiff_t>(y) * stride);
        auto* put = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outStride);
        for (int x = 0; x < width; ++x) {
            auto alpha = static_cast<std::uint32_t>(std::min(255.0, std::round((row[x] >> 24) * gain)));
            put[x] = (alpha << 24) | (premultiplied(ink.red, alpha) << 16)
                | (premultiplied(ink.green, alpha) << 8) | premultiplied(ink.blue, alpha);
        }
    }
    cairo_surface_mark_dirty(target);
    UIImage image = UIImage::fromSurface(target, icon.scale(), icon.imageOrientation());
    cairo_surface_destroy(target);
    return icon.isBundleImage() ? image.markedAsBundleImage() : image;
}

UIImage darkStyleIcon(const UIImage& light)
{
    return iconInColor(light, UIColor::white(1, darkIconAlpha));
}

double contrastRatio(const UIColor& foreground, const UIColor& background)
{
    UIColor::RGBA back = background.rgba();
    UIColor::RGBA fore = foreground.rgba();
    // The foreground's alpha blends it over the background first.
    UIColor::RGBA seen { fore.red * fore.alpha + back.red * (1 - fore.alpha),
        fore.green * fore.alpha + back.green * (1 - fore.alpha),
        fore.blue * fore.alpha + back.blue * (1 - fore.alpha), 1 };
    double a = luminance(seen);
    double b = luminance(back);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}
