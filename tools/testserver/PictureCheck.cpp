#include "tools/testserver/PictureCheck.h"

#include <cairo.h>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <memory>
#include <type_traits>
// clang-format off: its codes depend on what jpeglib.h configures (arithmetic coding)
#include <jerror.h>
// clang-format on

namespace testserver {

namespace {

constexpr const char* cutShort = "its data ends before the picture does";

PictureFault damaged(std::string reason)
{
    return { PictureFault::Kind::damaged, std::move(reason) };
}

bool fits(std::uint64_t width, std::uint64_t height)
{
    return width <= maxPictureSide && height <= maxPictureSide && width * height <= maxPicturePixels;
}

std::optional<PictureFault> refuseSize(std::uint64_t width, std::uint64_t height)
{
    if (fits(width, height))
        return std::nullopt;
    return PictureFault { PictureFault::Kind::tooLarge,
        "it is " + std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the "
            + std::to_string(maxPictureSide) + " a side and " + std::to_string(maxPicturePixels)
            + " in all that a picture may have" };
}

// ---- PNG, decoded by Cairo (libpng underneath, up to the end chunk)

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t index = at; index < at + 4; ++index)
        value = (value << 8) | static_cast<unsigned char>(bytes[index]);
    return value;
}

struct PngSource {
    std::string_view bytes;
    std::size_t offset = 0;
    bool ranOut = false;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length)
{
    auto* source = static_cast<PngSource*>(closure);
    if (length > source->bytes.size() - source->offset) {
        source->ranOut = true;
        return CAIRO_STATUS_READ_ERROR;
    }
    std::memcpy(out, source->bytes.data() + source->offset, length);
    source->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

std::optional<PictureFault> checkPng(std::string_view bytes)
{
    // The header chunk comes first: its length (13) and name, then the width and the height,
    // which are judged before Cairo allocates the pixels they promise.
    constexpr std::string_view signature = "\x89PNG\r\n\x1A\n";
    if (bytes.size() < 24 || !bytes.starts_with(signature) || bigEndian32(bytes, 8) != 13
        || bytes.substr(12, 4) != "IHDR")
        return damaged("it has no PNG header");
    if (std::optional<PictureFault> fault = refuseSize(bigEndian32(bytes, 16), bigEndian32(bytes, 20)))
        return fault;
    PngSource source { bytes };
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create_from_png_stream(readPng, &source), cairo_surface_destroy);
    cairo_status_t status = cairo_surface_status(surface.get());
    if (status == CAIRO_STATUS_SUCCESS)
        return std::nullopt;
    if (source.ranOut)
        return damaged(cutShort);
    return damaged(std::string("its PNG data is damaged (") + cairo_status_to_string(status) + ")");
}

// ---- JPEG, decoded by libjpeg

// Progressive files can hold thousands of tiny scans, each a pass over the whole picture; a
// camera's or an encoder's take a dozen.
constexpr int maxJpegScans = 256;

// All that the decoder touches between the setjmp of decodeJpeg and the longjmp of a callback:
// trivially destructible, so that jumping back over libjpeg's C frames skips no destructor. Its
// callbacks find it through the decoder's client_data.
struct JpegCheck {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf failed;
    char message[JMSG_LENGTH_MAX];
    bool created;
    bool cutShort;
    bool tooLarge;
};
static_assert(std::is_trivially_destructible_v<JpegCheck>);

JpegCheck& checkOf(j_common_ptr info)
{
    return *static_cast<JpegCheck*>(info->client_data);
}

// In place of libjpeg's own, which ends the process.
[[noreturn]] void failJpeg(j_common_ptr info)
{
    JpegCheck& check = checkOf(info);
    (*info->err->format_message)(info, check.message);
    std::longjmp(check.failed, 1);
}

// libjpeg only warns of a file cut short or of damaged data, and goes on with rows of its own
// making: those warnings fail the check. Others (an unknown JFIF version, a bad colour profile)
// leave the picture whole.
void warnJpeg(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // a trace message
    switch (info->err->msg_code) {
    case JWRN_JPEG_EOF:
        checkOf(info).cutShort = true;
        failJpeg(info);
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        failJpeg(info);
    default:
        return;
    }
}

void countScans(j_common_ptr info)
{
    if (!info->is_decompressor || reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= maxJpegScans)
        return;
    JpegCheck& check = checkOf(info);
    std::snprintf(check.message, sizeof check.message, "more than %d scans", maxJpegScans);
    std::longjmp(check.failed, 1);
}

// Only trivially destructible locals live here: a callback's longjmp lands in this frame.
bool decodeJpeg(JpegCheck* check, const unsigned char* bytes, unsigned long size)
{
    check->info.err = jpeg_std_error(&check->errors);
    check->errors.error_exit = failJpeg;
    check->errors.emit_message = warnJpeg;
    check->errors.output_message = [](j_common_ptr) {};
    check->info.client_data = check; // kept by jpeg_create_decompress
    if (setjmp(check->failed))
        return false;
    jpeg_create_decompress(&check->info);
    check->created = true;
    check->progress.progress_monitor = countScans;
    check->info.progress = &check->progress;
    // A progressive file's coefficients are all held at once: few within the pixel bounds, and
    // never more than this.
    check->info.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&check->info, bytes, size);
    if (jpeg_read_header(&check->info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!fits(check->info.image_width, check->info.image_height)) {
        check->tooLarge = true;
        return false;
    }
    jpeg_start_decompress(&check->info);
    // One row at a time, in the decoder's own pool: every row is decoded, none is kept.
    JSAMPARRAY row = (*check->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&check->info),
        JPOOL_IMAGE, check->info.output_width * static_cast<JDIMENSION>(check->info.output_components), 1);
    while (check->info.output_scanline < check->info.output_height) {
        if (jpeg_read_scanlines(&check->info, row, 1) != 1) {
            check->cutShort = true;
            return false;
        }
    }
    jpeg_finish_decompress(&check->info);
    return true;
}

std::optional<PictureFault> checkJpeg(std::string_view bytes)
{
    auto check = std::make_unique<JpegCheck>();
    const bool whole = decodeJpeg(check.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
        static_cast<unsigned long>(bytes.size()));
    std::optional<PictureFault> fault;
    if (check->tooLarge)
        fault = refuseSize(check->info.image_width, check->info.image_height);
    else if (check->cutShort)
        fault = damaged(cutShort);
    else if (!whole)
        fault = damaged(check->message[0] ? std::string("its JPEG data is damaged (") + check->message + ")"
                                          : std::string("it holds no picture"));
    if (check->created)
        jpeg_destroy_decompress(&check->info);
    return fault;
}

}

std::optional<PictureFault> checkPicture(std::string_view contentType, std::string_view bytes)
{
    if (contentType == "image/png")
        return checkPng(bytes);
    if (contentType == "image/jpeg")
        return checkJpeg(bytes);
    return damaged("its type is neither image/jpeg nor image/png");
}

}
