#include "platform/ui/effects/BackdropBlur.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int maximumSide = 8192;
// Where alpha sits in a native-endian 32-bit pixel.
constexpr int alphaByte = std::endian::native == std::endian::little ? 3 : 0;
// The small copy is blurred with about this many of its pixels per sigma: a few pixels keep the
// box passes smooth, more only cost time.
constexpr double smallSigma = 3;

struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

// One row or column of a box blur, reading `count` pixels `step` bytes apart into `out`.
void boxLine(const unsigned char* in, std::size_t step, int count, int radius, std::uint8_t* out)
{
    int window = 2 * radius + 1;
    for (int channel = 0; channel < 4; ++channel) {
        // Edge pixels repeat beyond the ends, so the borders keep their brightness.
        auto at = [&](int i) {
            return in[static_cast<std::size_t>(std::clamp(i, 0, count - 1)) * step + channel];
        };
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += at(i);
        for (int i = 0; i < count; ++i) {
            out[static_cast<std::size_t>(i) * 4 + channel] = static_cast<std::uint8_t>(sum / window);
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
}

}

namespace detail {

void boxBlurARGB(unsigned char* data, int width, int height, int stride, int radius)
{
    if (radius <= 0 || width <= 0 || height <= 0)
        return;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(std::max(width, height)) * 4);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            unsigned char* row = data + static_cast<std::size_t>(y) * stride;
            boxLine(row, 4, width, radius, line.data());
            std::copy(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(width) * 4, row);
        }
        for (int x = 0; x < width; ++x) {
            unsigned char* column = data + static_cast<std::size_t>(x) * 4;
            boxLine(column, static_cast<std::size_t>(stride), height, radius, line.data());
            for (int y = 0; y < height; ++y)
                std::copy_n(
                    &line[static_cast<std::size_t>(y) * 4], 4, column + static_cast<std::size_t>(y) * stride);
        }
    }
}

}

bool blurBackdrop(cairo_t* cr, const CGRect& rect, CGFloat radius)
{
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE || rect.isEmpty()
        || !std::isfinite(radius))
        return false;
    cairo_format_t format = cairo_image_surface_get_format(target);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        return false;
    // An opaque target's fourth byte means nothing: the copy takes it as full alpha.
    bool opaque = format == CAIRO_FORMAT_RGB24;

    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    double deviceScale = std::sqrt(std::abs(ctm.xx * ctm.yy - ctm.xy * ctm.yx));
    double sigma = std::max<double>(0, radius) * deviceScale;
    // Device-space box of the rectangle.
    std::array<double, 4> xs { rect.minX(), rect.maxX(), rect.minX(), rect.maxX() };
    std::array<double, 4> ys { rect.minY(), rect.minY(), rect.maxY(), rect.maxY() };
    double dx0 = 1e18, dy0 = 1e18, dx1 = -1e18, dy1 = -1e18;
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr, &xs[i], &ys[i]);
        dx0 = std::min(dx0, xs[i]);
        dy0 = std::min(dy0, ys[i]);
        dx1 = std::max(dx1, xs[i]);
        dy1 = std::max(dy1, ys[i]);
    }
    if (!std::isfinite(dx0) || !std::isfinite(dy0) || !std::isfinite(dx1) || !std::isfinite(dy1))
        return false;
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(target, &offsetX, &offsetY);
    int surfaceWidth = cairo_image_surface_get_width(target);
    int surfaceHeight = cairo_image_surface_get_height(target);
    // In the target's pixels (device coordinates plus the target's device offset).
    auto clampX = [&](double v) { return static_cast<int>(std::clamp<double>(v, 0, surfaceWidth)); };
    auto clampY = [&](double v) { return static_cast<int>(std::clamp<double>(v, 0, surfaceHeight)); };
    PixelRect area { clampX(std::floor(dx0 + offsetX)), clampY(std::floor(dy0 + offsetY)),
        clampX(std::ceil(dx1 + offsetX)), clampY(std::ceil(dy1 + offsetY)) };
    if (area.width() <= 0 || area.height() <= 0 || area.width() > maximumSide || area.height() > maximumSide)
        return false;

    // Averaging f x f blocks is itself the first, cheap part of the blur.
    int factor = std::clamp(static_cast<int>(sigma / smallSigma), 1, 16);
    int smallWidth = (area.width() + factor - 1) / factor;
    int smallHeight = (area.height() + factor - 1) / factor;
    cairo_surface_t* small = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, smallWidth, smallHeight);
    if (cairo_surface_status(small) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(small);
        return false;
    }
    cairo_surface_flush(target);
    const unsigned char* source = cairo_image_surface_get_data(target);
    int sourceStride = cairo_image_surface_get_stride(target);
    unsigned char* out = cairo_image_surface_get_data(small);
    int outStride = cairo_image_surface_get_stride(small);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(smallWidth) * 4);
    for (int sy = 0; sy < smallHeight; ++sy) {
        std::fill(sums.begin(), sums.end(), 0);
        int yEnd = std::min(area.y1, area.y0 + (sy + 1) * factor);
        int rows = yEnd - (area.y0 + sy * factor);
        for (int y = area.y0 + sy * factor; y < yEnd; ++y) {
            const unsigned char* pixel
                = source + static_cast<std::size_t>(y) * sourceStride + static_cast<std::size_t>(area.x0) * 4;
            std::uint32_t* cell = sums.data();
            for (int x = area.x0; x < area.x1; x += factor, cell += 4) {
                int run = std::min(factor, area.x1 - x);
                std::uint32_t b = 0, g = 0, r = 0, a = 0;
                for (int i = 0; i < run; ++i, pixel += 4) {
                    b += pixel[0];
                    g += pixel[1];
                    r += pixel[2];
                    a += pixel[3];
                }
                cell[0] += b;
                cell[1] += g;
                cell[2] += r;
                cell[3] += a;
            }
        }
        unsigned char* outRow = out + static_cast<std::size_t>(sy) * outStride;
        for (int sx = 0; sx < smallWidth; ++sx) {
            int columns = std::min(area.x1, area.x0 + (sx + 1) * factor) - (area.x0 + sx * factor);
            unsigned count = static_cast<unsigned>(std::max(1, columns * rows));
            for (int c = 0; c < 4; ++c)
                outRow[static_cast<std::size_t>(sx) * 4 + c]
                    = static_cast<unsigned char>(sums[static_cast<std::size_t>(sx) * 4 + c] / count);
            if (opaque)
                outRow[static_cast<std::size_t>(sx) * 4 + alphaByte] = 255;
        }
    }
    // Three box passes of radius r give a variance of r(r + 1); aim at the remaining sigma.
    double rest = sigma / factor;
    // Beyond the copy's own size a wider box changes nothing but the cost.
    int boxRadius = std::min(static_cast<int>(std::lround((std::sqrt(4 * rest * rest + 1) - 1) / 2)),
        std::max(smallWidth, smallHeight));
    detail::boxBlurARGB(out, smallWidth, smallHeight, outStride, boxRadius);
    cairo_surface_mark_dirty(small);

    // Painted back in device space: pattern pixel = (device - area origin) / factor.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
    cairo_clip(cr);
    cairo_identity_matrix(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(small);
    cairo_matrix_t toPattern;
    cairo_matrix_init_scale(&toPattern, 1.0 / factor, 1.0 / factor);
    cairo_matrix_translate(&toPattern, -(area.x0 - offsetX), -(area.y0 - offsetY));
    cairo_pattern_set_matrix(pattern, &toPattern);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, dx0, dy0, dx1 - dx0, dy1 - dy0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
    cairo_surface_destroy(small);
    return true;
}
