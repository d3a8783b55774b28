#include "app/Core/Helpers/ImageOrientation.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/UIGraphics.h"

#include <cairo.h>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int W = 3, H = 2;

// Six opaque colours, one per stored pixel, none a mirror or turn of another.
std::uint32_t storedARGB(int x, int y)
{
    static const std::uint32_t colours[H][W] = {
        { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF },
        { 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF },
    };
    return colours[y][x];
}

UIImage storedImage(UIImageOrientation orientation, int width = W, int height = H, double scale = 1)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x)
            row[x] = storedARGB(x % W, y % H);
    }
    cairo_surface_mark_dirty(surface);
    UIImage image = UIImage::fromSurface(surface, scale, orientation);
    cairo_surface_destroy(surface);
    return image;
}

UIColor::RGBA rgba(std::uint32_t argb)
{
    auto channel = [argb](int shift) { return static_cast<CGFloat>((argb >> shift) & 0xFF) / 255.0; };
    return { channel(16), channel(8), channel(0), channel(24) };
}

// Where each upright pixel comes from in the stored bitmap, by the meaning of each orientation.
struct Case {
    UIImageOrientation orientation;
    const char* name;
    bool quarterTurn;
    std::function<std::pair<int, int>(int x, int y)> source;
};

const Case kCases[] = {
    { UIImageOrientation::down, "down", false,
        [](int x, int y) {
            return std::pair { W - 1 - x, H - 1 - y };
        } },
    { UIImageOrientation::upMirrored, "upMirrored", false,
        [](int x, int y) {
            return std::pair { W - 1 - x, y };
        } },
    { UIImageOrientation::downMirrored, "downMirrored", false,
        [](int x, int y) {
            return std::pair { x, H - 1 - y };
        } },
    // Turned a quarter counter-clockwise to show: the first stored row becomes the left column.
    { UIImageOrientation::left, "left", true,
        [](int x, int y) {
            return std::pair { W - 1 - y, x };
        } },
    { UIImageOrientation::right, "right", true,
        [](int x, int y) {
            return std::pair { y, H - 1 - x };
        } },
    { UIImageOrientation::leftMirrored, "leftMirrored", true,
        [](int x, int y) {
            return std::pair { y, x };
        } },
    { UIImageOrientation::rightMirrored, "rightMirrored", true,
        [](int x, int y) {
            return std::pair { W - 1 - y, H - 1 - x };
        } },
};

TEST(FixOrientation, EveryTurnedOrientationIsRedrawnUprightPixelForPixel)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        UIImage turned = storedImage(c.orientation);
        std::optional<UIImage> upright = fixOrientation(turned);
        ASSERT_TRUE(upright);
        EXPECT_EQ(upright->imageOrientation(), UIImageOrientation::up);
        EXPECT_EQ(upright->scale(), 1);
        const int uw = c.quarterTurn ? H : W, uh = c.quarterTurn ? W : H;
        ASSERT_EQ(upright->pixelWidth(), uw);
        ASSERT_EQ(upright->pixelHeight(), uh);
        for (int y = 0; y < uh; ++y) {
            for (int x = 0; x < uw; ++x) {
                auto [sx, sy] = c.source(x, y);
                EXPECT_EQ(upright->pixel(x, y), rgba(storedARGB(sx, sy))) << "at " << x << "," << y;
            }
        }

        // The same picture as the platform shows for the turned image.
        UIGraphicsImageRendererFormat format;
        format.scale = 1;
        UIImage shown = UIGraphicsImageRenderer(turned.size(), format).image([&](CGContext& context) {
            context.draw(turned, { { 0, 0 }, turned.size() });
        });
        for (int y = 0; y < uh; ++y)
            for (int x = 0; x < uw; ++x)
                EXPECT_EQ(upright->pixel(x, y), shown.pixel(x, y)) << "at " << x << "," << y;
    }
}

TEST(FixOrientation, UprightImagesComeBackAndEmptyOnesGiveNothing)
{
    UIImage up = storedImage(UIImageOrientation::up);
    std::optional<UIImage> same = fixOrientation(up);
    ASSERT_TRUE(same);
    EXPECT_EQ(*same, up); // the very bitmap, not a copy

    EXPECT_FALSE(fixOrientation(UIImage()));
    EXPECT_FALSE(fixOrientation(UIImage().withOrientation(UIImageOrientation::left)));
}

TEST(FixOrientation, NewBitmapHasOnePixelPerPoint)
{
    // 6 x 4 pixels at scale 2 turned right: 2 x 3 points upright, so a 2 x 3 bitmap at scale 1.
    UIImage turned = storedImage(UIImageOrientation::right, 6, 4, 2);
    std::optional<UIImage> upright = fixOrientation(turned);
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->scale(), 1);
    EXPECT_EQ(upright->pixelWidth(), 2);
    EXPECT_EQ(upright->pixelHeight(), 3);

    // Below one point there is no bitmap to make.
    EXPECT_FALSE(fixOrientation(storedImage(UIImageOrientation::down, 1, 1, 2)));
}

}
