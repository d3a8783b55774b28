#include "platform/ui/gif/GifDecoder.h"

#include <algorithm>
#include <cairo.h>
#include <cstring>
#include <gif_lib.h>
#include <memory>

namespace {

struct ByteReader {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t position = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int length)
{
    auto* reader = static_cast<ByteReader*>(gif->UserData);
    if (length <= 0)
        return 0;
    std::size_t count
        = std::min<std::size_t>(static_cast<std::size_t>(length), reader->size - reader->position);
    std::memcpy(out, reader->bytes + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

enum class Disposal {
    keep,
    background, // the frame's area becomes transparent
    previous, // the screen goes back to what it was before the frame
};

// The graphic control block that applies to the next image.
struct Control {
    bool present = false;
    Disposal disposal = Disposal::keep;
    int transparentIndex = -1;
    int delayCentiseconds = 0;
};

Control parseControl(const GifByteType* block)
{
    // block[0] is the sub-block length (at least 4): packed fields, delay (little endian), index.
    Control control;
    control.present = true;
    int packed = block[1];
    switch ((packed >> 2) & 7) {
    case 2:
        control.disposal = Disposal::background;
        break;
    case 3:
        control.disposal = Disposal::previous;
        break;
    default: // 0, 1 and the undefined values 4...7 leave the frame in place
        break;
    }
    control.delayCentiseconds = block[2] | (block[3] << 8);
    if (packed & 1)
        control.transparentIndex = block[4];
    return control;
}

bool isLoopingBlock(const GifByteType* block)
{
    if (!block || block[0] != 11)
        return false;
    return std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 || std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0;
}

// Reads one extension with all its sub-blocks; false when the data breaks off.
bool readExtension(GifFileType* gif, Control& control, std::optional<int>& loopCount)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
        control = parseControl(block);
    bool looping = code == APPLICATION_EXT_FUNC_CODE && isLoopingBlock(block);
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
        if (looping && block) {
            // Sub-block 1 of the looping block carries the count.
            if (block[0] >= 3 && block[1] == 1)
                loopCount = block[2] | (block[3] << 8);
            looping = false;
        }
    }
    return true;
}

// Reads the colour indices of the current image, rows in display order.
bool readIndices(GifFileType* gif, int width, int height, std::vector<GifByteType>& indices)
{
    indices.assign(static_cast<std::size_t>(width) * height, 0);
    if (indices.empty()) {
        // Nothing to draw, but the image's data blocks still have to be read past.
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
            return false;
        while (block) {
            if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
                return false;
        }
        return true;
    }
    auto readRow
        = [&](int row) { return DGifGetLine(gif, &indices[static_cast<std::size_t>(row) * width], width); };
    if (!gif->Image.Interlace) {
        for (int row = 0; row < height; ++row) {
            if (readRow(row) == GIF_ERROR)
                return false;
        }
        return true;
    }
    // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
    // every 2nd from 1.
    static constexpr int starts[] = { 0, 4, 2, 1 };
    static constexpr int steps[] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass) {
        for (int row = starts[pass]; row < height; row += steps[pass]) {
            if (readRow(row) == GIF_ERROR)
                return false;
        }
    }
    return true;
}

// The logical screen in premultiplied ARGB words (transparent at the start).
class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_pixels(static_cast<std::size_t>(width) * height, 0)
    { }

    void draw(const GifImageDesc& desc, const std::vector<GifByteType>& indices, const ColorMapObject* colors,
        int transparentIndex)
    {
        if (!colors || !colors->Colors || indices.empty())
            return;
        for (int y = 0; y < desc.Height; ++y) {
            int row = desc.Top + y;
            if (row >= m_height)
                break;
            const GifByteType* source = &indices[static_cast<std::size_t>(y) * desc.Width];
            std::uint32_t* target = &m_pixels[static_cast<std::size_t>(row) * m_width];
            for (int x = 0; x < desc.Width; ++x) {
                int column = desc.Left + x;
                if (column >= m_width)
                    break;
                int index = source[x];
                // Indices past the colour table are treated like the transparent one.
                if (index == transparentIndex || index >= colors->ColorCount)
                    continue;
                const GifColorType& c = colors->Colors[index];
                target[column]
                    = 0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
            }
        }
    }

    void clear(const GifImageDesc& desc)
    {
        int right = std::min(m_width, desc.Left + desc.Width);
        int bottom = std::min(m_height, desc.Top + desc.Height);
        if (desc.Left >= right)
            return;
        for (int row = desc.Top; row < bottom; ++row)
            std::fill(&m_pixels[static_cast<std::size_t>(row) * m_width + desc.Left],
                &m_pixels[static_cast<std::size_t>(row) * m_width + right], 0u);
    }

    std::optional<UIImage> snapshot() const
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_width, m_height);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return std::nullopt;
        }
        cairo_surface_flush(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        for (int row = 0; row < m_height; ++row)
            std::memcpy(data + static_cast<std::size_t>(row) * stride,
                &m_pixels[static_cast<std::size_t>(row) * m_width], static_cast<std::size_t>(m_width) * 4);
        cairo_surface_mark_dirty(surface);
        UIImage image = UIImage::fromSurface(surface);
        cairo_surface_destroy(surface);
        return image;
    }

    const std::vector<std::uint32_t>& pixels() const { return m_pixels; }
    void restore(std::vector<std::uint32_t> pixels) { m_pixels = std::move(pixels); }

private:
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
};

bool withinLimits(long long width, long long height, const GifDecoder::Limits& limits)
{
    return width >= 0 && height >= 0 && width <= limits.maxPixelsPerSide && height <= limits.maxPixelsPerSide
        && width * height <= limits.maxScreenPixels;
}

}

bool GifDecoder::looksLikeGif(const Data& data)
{
    return data.size() >= 6 && std::memcmp(data.data(), "GIF8", 4) == 0 && (data[4] == '7' || data[4] == '9')
        && data[5] == 'a';
}

std::optional<GifImage> GifDecoder::decode(const Data& data)
{
    return decode(data, Limits {});
}

std::optional<GifImage> GifDecoder::decode(const Data& data, const Limits& limits)
{
    if (!looksLikeGif(data))
        return std::nullopt;
    ByteReader reader { data.data(), data.size() };
    int error = 0;
    GifHandle gif(DGifOpen(&reader, readBytes, &error));
    if (!gif || !withinLimits(gif->SWidth, gif->SHeight, limits))
        return std::nullopt;

    GifImage result;
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    std::optional<Canvas> canvas;
    Control control;
    std::vector<GifByteType> indices;
    long long totalPixels = 0;

    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!readExtension(gif.get(), control, result.loopCount))
                break;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            break; // the trailer, or a record that does not belong here
        if (result.frames.size() >= limits.maxFrames || DGifGetImageDesc(gif.get()) == GIF_ERROR)
            break;
        GifImageDesc desc = gif->Image;
        if (desc.Left < 0 || desc.Top < 0 || !withinLimits(desc.Width, desc.Height, limits))
            break;
        if (!canvas) {
            // Some encoders write a screen smaller than the first image (often 0 x 0): the screen
            // grows to hold it.
            int width = std::max(result.width, desc.Left + desc.Width);
            int height = std::max(result.height, desc.Top + desc.Height);
            if (width == 0 || height == 0 || !withinLimits(width, height, limits))
                break;
            result.width = width;
            result.height = height;
            canvas.emplace(width, height);
        }
        // Each frame costs its own pixels to decode and a whole screen to keep.
        totalPixels += static_cast<long long>(desc.Width) * desc.Height
            + static_cast<long long>(result.width) * result.height;
        if (totalPixels > limits.maxTotalPixels)
            break;
        if (!readIndices(gif.get(), desc.Width, desc.Height, indices))
            break;

        std::vector<std::uint32_t> before;
        if (control.disposal == Disposal::previous)
            before = canvas->pixels();
        const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        canvas->draw(desc, indices, colors, control.transparentIndex);
        auto image = canvas->snapshot();
        if (!image)
            break;
        result.frames.push_back({ std::move(*image),
            control.present ? std::optional<int>(control.delayCentiseconds) : std::nullopt });
        if (control.disposal == Disposal::background)
            canvas->clear(desc);
        else if (control.disposal == Disposal::previous)
            canvas->restore(std::move(before));
        control = Control {};
    }
    return result;
}
