#include "platform/ui/detail/ImageCodecs.h"
#include "platform/ui/detail/PngEncoder.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// A gradient with translucent and fully clear parts, so that unpremultiplying is exercised.
cairo_surface_t* picture(cairo_format_t format, int width, int height)
{
    cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, width, height);
    cairo_pattern_add_color_stop_rgba(gradient, 0, 0.9, 0.2, 0.1, 1);
    cairo_pattern_add_color_stop_rgba(gradient, 0.6, 0.1, 0.5, 0.9, 0.35);
    cairo_pattern_add_color_stop_rgba(gradient, 1, 0.2, 0.8, 0.3, 0);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
    cairo_destroy(cr);
    return surface;
}

std::vector<std::uint8_t> decodedPixels(const Data& png)
{
    auto bitmap = detail::decodePng(png.data(), png.size());
    if (!bitmap)
        return {};
    cairo_surface_t* s = bitmap->surface;
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y) {
        const auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
        bytes.insert(bytes.end(), row, row + 4 * cairo_image_surface_get_width(s));
    }
    cairo_surface_destroy(s);
    return bytes;
}

}

TEST(PngEncoder, FastFilesHoldTheSamePixelsAsCairosOwn)
{
    struct Case {
        cairo_format_t format;
        int width, height;
    };
    // Tall pictures are deflated in bands joined into one stream.
    for (Case c : { Case { CAIRO_FORMAT_RGB24, 37, 23 }, Case { CAIRO_FORMAT_ARGB32, 37, 23 },
             Case { CAIRO_FORMAT_RGB24, 41, 997 }, Case { CAIRO_FORMAT_ARGB32, 19, 600 },
             Case { CAIRO_FORMAT_ARGB32, 1, 1 }, Case { CAIRO_FORMAT_A8, 9, 4 } }) {
        cairo_surface_t* surface = picture(c.format, c.width, c.height);
        auto fast = detail::encodePngFast(surface);
        auto cairos = detail::encodePng(surface);
        ASSERT_TRUE(fast && cairos) << c.format;
        EXPECT_EQ(decodedPixels(*fast).size(), 4u * c.width * c.height) << c.format;
        EXPECT_EQ(decodedPixels(*fast), decodedPixels(*cairos)) << c.format;
        cairo_surface_destroy(surface);
    }
    EXPECT_FALSE(detail::encodePngFast(nullptr));
}
