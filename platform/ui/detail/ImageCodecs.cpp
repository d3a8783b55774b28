#include "platform/ui/detail/ImageCodecs.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

namespace detail {

namespace {

bool withinLimits(long long width, long long height)
{
    return width > 0 && height > 0 && width <= UIImage::maxPixelsPerSide
        && height <= UIImage::maxPixelsPerSide && width * height <= UIImage::maxPixelCount;
}

std::uint32_t readBigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// ---- PNG (decoded by Cairo) ----

struct PngReader {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t offset;
};

cairo_status_t readPngChunk(void* closure, unsigned char* out, unsigned int length)
{
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->size - reader->offset)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->bytes + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendToData(void* closure, const unsigned char* bytes, unsigned int length)
{
    auto* out = static_cast<Data*>(closure);
    out->insert(out->end(), bytes, bytes + length);
    return CAIRO_STATUS_SUCCESS;
}

// ---- JPEG (libjpeg with a longjmp error manager) ----

struct JpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void jpegSilentMessage(j_common_ptr)
{ }

// Progressive files can hold thousands of tiny scans that take ages to decode; refuse them.
void jpegProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > 256)
        jpegErrorExit(cinfo);
}

UIImageOrientation orientationFromExif(int value)
{
    switch (value) {
    case 2:
        return UIImageOrientation::upMirrored;
    case 3:
        return UIImageOrientation::down;
    case 4:
        return UIImageOrientation::downMirrored;
    case 5:
        return UIImageOrientation::leftMirrored;
    case 6:
        return UIImageOrientation::right;
    case 7:
        return UIImageOrientation::rightMirrored;
    case 8:
        return UIImageOrientation::left;
    default:
        return UIImageOrientation::up;
    }
}

// Runs the whole decompression. Only trivially destructible locals live between setjmp and the
// possible longjmp, and every allocation made after setjmp is reachable from `state` for cleanup.
struct JpegDecodeState {
    jpeg_decompress_struct cinfo;
    JpegError error;
    jpeg_progress_mgr progress;
    cairo_surface_t* surface;
    unsigned char* cmykRow;
    int orientation;
    bool created;
};

bool runJpegDecode(JpegDecodeState* state, const std::uint8_t* bytes, std::size_t size)
{
    JpegDecodeState* s = state;
    s->cinfo.err = jpeg_std_error(&s->error.base);
    s->error.base.error_exit = jpegErrorExit;
    s->error.base.output_message = jpegSilentMessage;
    s->error.base.emit_message = [](j_common_ptr, int) {};
    if (setjmp(s->error.jump))
        return false;

    jpeg_create_decompress(&s->cinfo);
    s->created = true;
    s->progress.progress_monitor = jpegProgress;
    s->cinfo.progress = &s->progress;
    s->cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&s->cinfo, bytes, static_cast<unsigned long>(size));
    jpeg_save_markers(&s->cinfo, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&s->cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!withinLimits(s->cinfo.image_width, s->cinfo.image_height))
        return false;

    for (jpeg_saved_marker_ptr m = s->cinfo.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1)
            continue;
        if (auto value = exifOrientation(m->data, m->data_length)) {
            s->orientation = *value;
            break;
        }
    }

    bool cmyk = s->cinfo.jpeg_color_space == JCS_CMYK || s->cinfo.jpeg_color_space == JCS_YCCK;
    s->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&s->cinfo);

    int width = static_cast<int>(s->cinfo.output_width);
    int height = static_cast<int>(s->cinfo.output_height);
    if (!withinLimits(width, height) || s->cinfo.output_components != 4)
        return false;
    s->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s->surface) != CAIRO_STATUS_SUCCESS)
        return false;
    unsigned char* pixels = cairo_image_surface_get_data(s->surface);
    int stride = cairo_image_surface_get_stride(s->surface);
    if (cmyk) {
        s->cmykRow = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(width) * 4));
        if (!s->cmykRow)
            return false;
    }
    // Adobe writes CMYK inverted; that is what nearly every CMYK JPEG in the wild is.
    bool inverted = s->cinfo.saw_Adobe_marker;
    while (s->cinfo.output_scanline < s->cinfo.output_height) {
        unsigned char* row = pixels + static_cast<std::size_t>(s->cinfo.output_scanline) * stride;
        JSAMPROW target = cmyk ? s->cmykRow : row;
        if (jpeg_read_scanlines(&s->cinfo, &target, 1) != 1)
            return false;
        if (!cmyk)
            continue;
        for (int x = 0; x < width; ++x) {
            int c = s->cmykRow[x * 4], m = s->cmykRow[x * 4 + 1], y = s->cmykRow[x * 4 + 2],
                k = s->cmykRow[x * 4 + 3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            row[x * 4 + 0] = static_cast<unsigned char>(y * k / 255);
            row[x * 4 + 1] = static_cast<unsigned char>(m * k / 255);
            row[x * 4 + 2] = static_cast<unsigned char>(c * k / 255);
            row[x * 4 + 3] = 255;
        }
    }
    jpeg_finish_decompress(&s->cinfo);
    cairo_surface_mark_dirty(s->surface);
    return true;
}

struct JpegEncodeState {
    jpeg_compress_struct cinfo;
    JpegError error;
    unsigned char* buffer;
    unsigned long bufferSize;
    unsigned char* row;
    bool created;
};

bool runJpegEncode(JpegEncodeState* state, cairo_surface_t* surface, int quality)
{
    JpegEncodeState* s = state;
    s->cinfo.err = jpeg_std_error(&s->error.base);
    s->error.base.error_exit = jpegErrorExit;
    s->error.base.output_message = jpegSilentMessage;
    if (setjmp(s->error.jump))
        return false;

    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    cairo_format_t format = cairo_image_surface_get_format(surface);

    jpeg_create_compress(&s->cinfo);
    s->created = true;
    jpeg_mem_dest(&s->cinfo, &s->buffer, &s->bufferSize);
    s->cinfo.image_width = static_cast<JDIMENSION>(width);
    s->cinfo.image_height = static_cast<JDIMENSION>(height);
    s->cinfo.input_components = 3;
    s->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s->cinfo);
    jpeg_set_quality(&s->cinfo, quality, TRUE);
    jpeg_start_compress(&s->cinfo, TRUE);
    s->row = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(width) * 3));
    if (!s->row)
        return false;
    while (s->cinfo.next_scanline < s->cinfo.image_height) {
        const unsigned char* src = pixels + static_cast<std::size_t>(s->cinfo.next_scanline) * stride;
        for (int x = 0; x < width; ++x) {
            if (format == CAIRO_FORMAT_A8) {
                // An alpha mask encodes as black over black: keep its coverage visible as grey.
                s->row[x * 3] = s->row[x * 3 + 1] = s->row[x * 3 + 2] = src[x];
                continue;
            }
            std::uint32_t px;
            std::memcpy(&px, src + x * 4, 4);
            // Premultiplied components are the colour composited over black.
            s->row[x * 3 + 0] = static_cast<unsigned char>((px >> 16) & 0xFF);
            s->row[x * 3 + 1] = static_cast<unsigned char>((px >> 8) & 0xFF);
            s->row[x * 3 + 2] = static_cast<unsigned char>(px & 0xFF);
        }
        JSAMPROW rowPointer = s->row;
        jpeg_write_scanlines(&s->cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&s->cinfo);
    return true;
}

}

bool looksLikePng(const std::uint8_t* bytes, std::size_t size)
{
    static const std::uint8_t signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    return size >= 8 && std::memcmp(bytes, signature, 8) == 0;
}

bool looksLikeJpeg(const std::uint8_t* bytes, std::size_t size)
{
    return size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

std::optional<DecodedBitmap> decodePng(const std::uint8_t* bytes, std::size_t size)
{
    // The header must be a well-formed IHDR within the limits before Cairo allocates anything.
    if (!looksLikePng(bytes, size) || size < 33)
        return std::nullopt;
    if (readBigEndian32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return std::nullopt;
    if (!withinLimits(readBigEndian32(bytes + 16), readBigEndian32(bytes + 20)))
        return std::nullopt;
    PngReader reader { bytes, size, 0 };
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPngChunk, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    return DecodedBitmap { surface, UIImageOrientation::up };
}

std::optional<DecodedBitmap> decodeJpeg(const std::uint8_t* bytes, std::size_t size)
{
    if (!looksLikeJpeg(bytes, size))
        return std::nullopt;
    auto* state = static_cast<JpegDecodeState*>(std::calloc(1, sizeof(JpegDecodeState)));
    if (!state)
        return std::nullopt;
    bool ok = runJpegDecode(state, bytes, size);
    if (state->created)
        jpeg_destroy_decompress(&state->cinfo);
    std::free(state->cmykRow);
    std::optional<DecodedBitmap> result;
    if (ok)
        result = DecodedBitmap { state->surface, orientationFromExif(state->orientation) };
    else if (state->surface)
        cairo_surface_destroy(state->surface);
    std::free(state);
    return result;
}

std::optional<Data> encodePng(cairo_surface_t* surface)
{
    if (!surface)
        return std::nullopt;
    Data out;
    if (cairo_surface_write_to_png_stream(surface, appendToData, &out) != CAIRO_STATUS_SUCCESS)
        return std::nullopt;
    return out;
}

std::optional<Data> encodeJpeg(cairo_surface_t* surface, int quality)
{
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return std::nullopt;
    cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_A8)
        return std::nullopt;
    if (cairo_image_surface_get_width(surface) <= 0 || cairo_image_surface_get_height(surface) <= 0)
        return std::nullopt;
    cairo_surface_flush(surface);
    auto* state = static_cast<JpegEncodeState*>(std::calloc(1, sizeof(JpegEncodeState)));
    if (!state)
        return std::nullopt;
    bool ok = runJpegEncode(state, surface, quality);
    std::optional<Data> result;
    if (ok && state->buffer)
        result = Data(state->buffer, state->buffer + state->bufferSize);
    if (state->created)
        jpeg_destroy_compress(&state->cinfo);
    std::free(state->buffer);
    std::free(state->row);
    std::free(state);
    return result;
}

std::optional<int> exifOrientation(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 14 || std::memcmp(bytes, "Exif\0\0", 6) != 0)
        return std::nullopt;
    const std::uint8_t* tiff = bytes + 6;
    std::size_t tiffSize = size - 6;
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        little = false;
    else
        return std::nullopt;
    auto u16 = [&](std::size_t at) -> std::uint32_t {
        return little ? (tiff[at] | (tiff[at + 1] << 8)) : ((tiff[at] << 8) | tiff[at + 1]);
    };
    auto u32 = [&](std::size_t at) -> std::uint32_t {
        return little ? (std::uint32_t(tiff[at]) | (std::uint32_t(tiff[at + 1]) << 8)
                   | (std::uint32_t(tiff[at + 2]) << 16) | (std::uint32_t(tiff[at + 3]) << 24))
                      : readBigEndian32(tiff + at);
    };
    if (u16(2) != 42)
        return std::nullopt;
    std::size_t ifd = u32(4);
    if (ifd > tiffSize || tiffSize - ifd < 2)
        return std::nullopt;
    std::size_t count = u16(ifd);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t entry = ifd + 2 + i * 12;
        if (entry > tiffSize || tiffSize - entry < 12)
            return std::nullopt;
        if (u16(entry) != 0x0112)
            continue;
        // SHORT, one value, stored in the first two bytes of the value field.
        if (u16(entry + 2) != 3)
            return std::nullopt;
        std::uint32_t value = u16(entry + 8);
        if (value < 1 || value > 8)
            return std::nullopt;
        return static_cast<int>(value);
    }
    return std::nullopt;
}

}
