#include "platform/ui/detail/PngEncoder.h"

#include "platform/ui/detail/ImageCodecs.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>
#include <zlib.h>

namespace detail {

namespace {

// The fastest deflate level, and one filter for every row instead of a choice worked out per
// row: "up" (each byte less the one above it) turns the flat areas and vertical gradients of a
// screen into zeros.
constexpr int deflateLevel = 1;
constexpr std::uint8_t filterUp = 2;
constexpr unsigned maximumThreads = 4;

void putBigEndian32(Data& out, std::uint32_t v)
{
    out.insert(
        out.end(), { std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v) });
}

void putChunk(Data& out, const char type[4], const std::uint8_t* payload, std::size_t length)
{
    putBigEndian32(out, static_cast<std::uint32_t>(length));
    std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), payload, payload + length);
    uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(4 + length));
    putBigEndian32(out, static_cast<std::uint32_t>(crc));
}

// A row as the PNG holds it: RGB, or straight (not premultiplied) RGBA rounded as Cairo does.
void convertRow(const std::uint8_t* in, int width, bool alpha, std::uint8_t* out)
{
    for (int x = 0; x < width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in + 4 * x, 4);
        std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        if (!alpha) {
            out[0] = std::uint8_t(r), out[1] = std::uint8_t(g), out[2] = std::uint8_t(b);
            out += 3;
            continue;
        }
        std::uint32_t a = pixel >> 24;
        if (a == 0) {
            out[0] = out[1] = out[2] = out[3] = 0;
        } else {
            out[0] = std::uint8_t((r * 255 + a / 2) / a);
            out[1] = std::uint8_t((g * 255 + a / 2) / a);
            out[2] = std::uint8_t((b * 255 + a / 2) / a);
            out[3] = std::uint8_t(a);
        }
        out += 4;
    }
}

// Rows [first, end) of the image, filtered and deflated on their own (raw deflate, ending on a
// byte boundary unless `last`), with the Adler-32 of the bytes they stand for.
struct Stripe {
    int first = 0;
    int end = 0;
    bool last = false;
    bool ok = false;
    Data deflated;
    uLong adler = 1;
    uLong length = 0;
};

void deflateStripe(Stripe& stripe, const std::uint8_t* pixels, int stride, int width, bool alpha)
{
    const std::size_t rowBytes = (alpha ? 4 : 3) * static_cast<std::size_t>(width);
    z_stream zs {};
    if (deflateInit2(&zs, deflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    // The row as stored and the one above it (zeros above the first), and the filtered row
    // behind its filter byte.
    std::vector<std::uint8_t> row(rowBytes), above(rowBytes, 0), filtered(rowBytes + 1);
    if (stripe.first > 0)
        convertRow(pixels + static_cast<std::size_t>(stripe.first - 1) * stride, width, alpha, above.data());
    const uLong bound
        = deflateBound(&zs, static_cast<uLong>(filtered.size()) * (stripe.end - stripe.first)) + 16;
    auto out = std::make_unique_for_overwrite<std::uint8_t[]>(bound);
    zs.next_out = out.get();
    zs.avail_out = static_cast<uInt>(bound);
    bool ok = true;
    for (int y = stripe.first; y < stripe.end && ok; ++y) {
        convertRow(pixels + static_cast<std::size_t>(y) * stride, width, alpha, row.data());
        filtered[0] = filterUp;
        for (std::size_t i = 0; i < rowBytes; ++i)
            filtered[i + 1] = std::uint8_t(row[i] - above[i]);
        row.swap(above);
        stripe.adler = adler32(stripe.adler, filtered.data(), static_cast<uInt>(filtered.size()));
        stripe.length += static_cast<uLong>(filtered.size());
        zs.next_in = filtered.data();
        zs.avail_in = static_cast<uInt>(filtered.size());
        int flush = y + 1 < stripe.end ? Z_NO_FLUSH : stripe.last ? Z_FINISH : Z_SYNC_FLUSH;
        int status = deflate(&zs, flush);
        ok = status != Z_STREAM_ERROR && zs.avail_in == 0 && (flush != Z_FINISH || status == Z_STREAM_END);
    }
    stripe.deflated.assign(out.get(), out.get() + (bound - zs.avail_out));
    deflateEnd(&zs);
    stripe.ok = ok;
}

}

std::optional<Data> encodePngFast(cairo_surface_t* surface)
{
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS
        || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return std::nullopt;
    cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32)
        return encodePng(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    if (width <= 0 || height <= 0)
        return encodePng(surface);
    cairo_surface_flush(surface);
    const bool alpha = format == CAIRO_FORMAT_ARGB32;
    const std::uint8_t* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);

    // Bands of rows deflated side by side and joined into one stream, as parallel gzip does: a
    // full screen is a few megabytes to squeeze, and the first one is waited for at start.
    constexpr int minimumRowsPerStripe = 128;
    int stripes = std::clamp(height / minimumRowsPerStripe, 1,
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, maximumThreads)));
    std::vector<Stripe> parts(static_cast<std::size_t>(stripes));
    for (int i = 0; i < stripes; ++i) {
        parts[i].first = height * i / stripes;
        parts[i].end = height * (i + 1) / stripes;
        parts[i].last = i + 1 == stripes;
    }
    std::vector<std::thread> workers;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        try {
            workers.emplace_back(deflateStripe, std::ref(parts[i]), pixels, stride, width, alpha);
        } catch (const std::system_error&) {
            deflateStripe(parts[i], pixels, stride, width, alpha);
        }
    }
    deflateStripe(parts[0], pixels, stride, width, alpha);
    for (auto& worker : workers)
        worker.join();

    // A zlib stream: its header (fastest level), the joined bands, the Adler-32 of all.
    Data stream = { 0x78, 0x01 };
    uLong adler = 1;
    for (const Stripe& part : parts) {
        if (!part.ok)
            return std::nullopt;
        stream.insert(stream.end(), part.deflated.begin(), part.deflated.end());
        adler = adler32_combine(adler, part.adler, static_cast<z_off_t>(part.length));
    }
    putBigEndian32(stream, static_cast<std::uint32_t>(adler));

    Data out = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    Data header;
    putBigEndian32(header, static_cast<std::uint32_t>(width));
    putBigEndian32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), { 8, std::uint8_t(alpha ? 6 : 2), 0, 0, 0 });
    putChunk(out, "IHDR", header.data(), header.size());
    putChunk(out, "IDAT", stream.data(), stream.size());
    putChunk(out, "IEND", nullptr, 0);
    return out;
}

}
