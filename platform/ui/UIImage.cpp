#include "platform/ui/UIImage.h"

#include "platform/ui/detail/ImageCodecs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

bool UIImageOrientationSwapsAxes(UIImageOrientation o)
{
    return o == UIImageOrientation::left || o == UIImageOrientation::right
        || o == UIImageOrientation::leftMirrored || o == UIImageOrientation::rightMirrored;
}

namespace {

CGFloat scaleFromFileName(const std::filesystem::path& path)
{
    std::string stem = path.stem().string();
    if (stem.size() >= 3 && stem.compare(stem.size() - 3, 3, "@3x") == 0)
        return 3;
    if (stem.size() >= 3 && stem.compare(stem.size() - 3, 3, "@2x") == 0)
        return 2;
    return 1;
}

}

std::optional<UIImage> UIImage::fromData(const Data& data, CGFloat scale)
{
    std::optional<detail::DecodedBitmap> bitmap;
    if (detail::looksLikePng(data.data(), data.size()))
        bitmap = detail::decodePng(data.data(), data.size());
    else if (detail::looksLikeJpeg(data.data(), data.size()))
        bitmap = detail::decodeJpeg(data.data(), data.size());
    if (!bitmap)
        return std::nullopt;
    UIImage image
        = fromSurface(bitmap->surface, scale > 0 && std::isfinite(scale) ? scale : 1, bitmap->orientation);
    cairo_surface_destroy(bitmap->surface);
    return image;
}

std::optional<UIImage> UIImage::fromFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    Data data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return fromData(data, scaleFromFileName(path));
}

UIImage UIImage::fromSurface(cairo_surface_t* surface, CGFloat scale, UIImageOrientation orientation)
{
    UIImage image;
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS
        || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return image;
    image.m_surface = std::shared_ptr<cairo_surface_t>(cairo_surface_reference(surface), SurfaceDeleter {});
    image.m_scale = scale > 0 && std::isfinite(scale) ? scale : 1;
    image.m_orientation = orientation;
    return image;
}

UIImage UIImage::filled(const UIColor& color, CGSize size, CGFloat scale)
{
    UIColor light = color.resolved(UIUserInterfaceStyle::light);
    UIColor dark = color.resolved(UIUserInterfaceStyle::dark);
    UIImage image = filledPlain(light, size, scale);
    if (!image.isEmpty() && !(dark == light))
        image.m_dark = std::make_shared<const UIImage>(filledPlain(dark, size, scale));
    return image;
}

UIImage UIImage::filledPlain(const UIColor& color, CGSize size, CGFloat scale)
{
    int w = std::max(1, static_cast<int>(std::ceil(size.width * scale)));
    int h = std::max(1, static_cast<int>(std::ceil(size.height * scale)));
    if (!(size.width > 0) || !(size.height > 0) || w > maxPixelsPerSide || h > maxPixelsPerSide)
        return {};
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(
        cr, color.redComponent(), color.greenComponent(), color.blueComponent(), color.alphaComponent());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    UIImage image = fromSurface(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

UIImage UIImage::animated(std::vector<UIImage> frames, double duration)
{
    UIImage image;
    if (!frames.empty()) {
        image.m_surface = frames.front().m_surface;
        image.m_scale = frames.front().m_scale;
        image.m_orientation = frames.front().m_orientation;
    }
    image.m_frames = std::move(frames);
    image.m_duration = duration;
    return image;
}

UIImage UIImage::dynamic(const UIImage& light, const UIImage& dark)
{
    UIImage image = light.resolved(UIUserInterfaceStyle::light);
    image.m_dark = std::make_shared<const UIImage>(dark.resolved(UIUserInterfaceStyle::dark));
    return image;
}

const UIImage& UIImage::resolved(UIUserInterfaceStyle style) const
{
    return style == UIUserInterfaceStyle::dark && m_dark ? *m_dark : *this;
}

int UIImage::pixelWidth() const
{
    return m_surface ? cairo_image_surface_get_width(m_surface.get()) : 0;
}

int UIImage::pixelHeight() const
{
    return m_surface ? cairo_image_surface_get_height(m_surface.get()) : 0;
}

CGSize UIImage::size() const
{
    CGSize s { pixelWidth() / m_scale, pixelHeight() / m_scale };
    if (UIImageOrientationSwapsAxes(m_orientation))
        std::swap(s.width, s.height);
    return s;
}

UIImage UIImage::withOrientation(UIImageOrientation orientation) const
{
    UIImage copy = *this;
    copy.m_orientation = orientation;
    if (m_dark)
        copy.m_dark = std::make_shared<const UIImage>(m_dark->withOrientation(orientation));
    return copy;
}

UIImage UIImage::withRenderingMode(UIImageRenderingMode mode) const
{
    UIImage copy = *this;
    copy.m_renderingMode = mode;
    return copy;
}

UIImage UIImage::withTintColor(const UIColor& color) const
{
    if (!m_surface)
        return *this;
    UIColor light = color.resolved(UIUserInterfaceStyle::light);
    UIColor dark = color.resolved(UIUserInterfaceStyle::dark);
    UIImage tinted = plainTint(light);
    if (m_dark || !(dark == light))
        tinted.m_dark = std::make_shared<const UIImage>(resolved(UIUserInterfaceStyle::dark).plainTint(dark));
    return tinted;
}

UIImage UIImage::plainTint(const UIColor& color) const
{
    if (!m_surface)
        return *this;
    int w = pixelWidth(), h = pixelHeight();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(
        cr, color.redComponent(), color.greenComponent(), color.blueComponent(), color.alphaComponent());
    cairo_mask_surface(cr, m_surface.get(), 0, 0);
    cairo_destroy(cr);
    UIImage tinted = fromSurface(surface, m_scale, m_orientation);
    cairo_surface_destroy(surface);
    tinted.m_renderingMode = UIImageRenderingMode::alwaysOriginal;
    tinted.m_bundleImage = m_bundleImage;
    return tinted;
}

UIImage UIImage::markedAsBundleImage() const
{
    UIImage copy = *this;
    copy.m_bundleImage = true;
    return copy;
}

std::optional<Data> UIImage::pngData() const
{
    if (!m_surface)
        return std::nullopt;
    return detail::encodePng(m_surface.get());
}

std::optional<Data> UIImage::jpegData(CGFloat quality) const
{
    if (!m_surface)
        return std::nullopt;
    if (!std::isfinite(quality))
        quality = 1;
    int q = static_cast<int>(std::lround(std::clamp<CGFloat>(quality, 0, 1) * 100));
    return detail::encodeJpeg(m_surface.get(), std::max(1, q));
}

UIColor::RGBA UIImage::pixel(int x, int y) const
{
    if (!m_surface || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight())
        return {};
    cairo_surface_flush(m_surface.get());
    const unsigned char* data = cairo_image_surface_get_data(m_surface.get());
    int stride = cairo_image_surface_get_stride(m_surface.get());
    cairo_format_t format = cairo_image_surface_get_format(m_surface.get());
    if (format == CAIRO_FORMAT_A8)
        return { 0, 0, 0, data[y * stride + x] / 255.0 };
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        return {};
    std::uint32_t px;
    std::memcpy(&px, data + static_cast<std::size_t>(y) * stride + x * 4, 4);
    double a = format == CAIRO_FORMAT_RGB24 ? 255 : (px >> 24) & 0xFF;
    if (a == 0)
        return {};
    auto channel = [&](int shift) { return std::min(1.0, ((px >> shift) & 0xFF) / a); };
    return { channel(16), channel(8), channel(0), a / 255.0 };
}

bool UIImage::operator==(const UIImage& other) const
{
    bool sameDark = m_dark == other.m_dark || (m_dark && other.m_dark && *m_dark == *other.m_dark);
    return m_surface == other.m_surface && m_scale == other.m_scale && m_orientation == other.m_orientation
        && m_frames.size() == other.m_frames.size() && sameDark;
}
