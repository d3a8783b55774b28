#pragma once

// The width and height a PNG or JPEG file's header gives, read from its bytes without decoding
// it: enough to hold a sample picture to the proportions of the box that shows it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zvtest {

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

namespace picturesize_detail {

inline std::uint32_t bigEndian(std::string_view bytes, std::size_t at, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t index = 0; index < count; ++index)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + index]);
    return value;
}

// The frame header (SOF0..SOF15, but for the DHT, JPG and DAC markers that share the range).
inline bool isFrameHeader(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}

// None for bytes that are neither, are cut short before the size, or give a zero side.
inline std::optional<PictureSize> pictureSize(std::string_view bytes)
{
    using namespace picturesize_detail;
    auto sized = [](std::uint32_t width, std::uint32_t height) -> std::optional<PictureSize> {
        if (width == 0 || height == 0)
            return std::nullopt;
        return PictureSize { width, height };
    };
    static constexpr std::string_view png = "\x89PNG\r\n\x1a\n";
    if (bytes.starts_with(png)) {
        // The first chunk is IHDR: its length, its type, then width and height.
        if (bytes.size() < 24 || bytes.substr(12, 4) != "IHDR")
            return std::nullopt;
        return sized(bigEndian(bytes, 16, 4), bigEndian(bytes, 20, 4));
    }
    if (!bytes.starts_with("\xFF\xD8"))
        return std::nullopt;
    // Segments after the start of image: each a marker and, but for the standalone ones, a length
    // that counts itself; the frame header holds precision, height and width.
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF)
            return std::nullopt;
        auto marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            return std::nullopt; // the end, or the image data, before any frame header
        if (isFrameHeader(marker)) {
            if (at + 9 > bytes.size())
                return std::nullopt;
            return sized(bigEndian(bytes, at + 7, 2), bigEndian(bytes, at + 5, 2));
        }
        std::uint32_t length = bigEndian(bytes, at + 2, 2);
        if (length < 2)
            return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

}
