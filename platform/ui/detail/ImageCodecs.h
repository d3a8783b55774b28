#pragma once

#include "platform/foundation/Data.h"
#include "platform/ui/UIImage.h"

#include <cairo.h>
#include <optional>

namespace detail {

struct DecodedBitmap {
    cairo_surface_t* surface = nullptr; // owned by the caller
    UIImageOrientation orientation = UIImageOrientation::up;
};

bool looksLikePng(const std::uint8_t* bytes, std::size_t size);
bool looksLikeJpeg(const std::uint8_t* bytes, std::size_t size);

// Both return nothing for damaged, truncated or oversized input and never abort.
std::optional<DecodedBitmap> decodePng(const std::uint8_t* bytes, std::size_t size);
std::optional<DecodedBitmap> decodeJpeg(const std::uint8_t* bytes, std::size_t size);

std::optional<Data> encodePng(cairo_surface_t* surface);
std::optional<Data> encodeJpeg(cairo_surface_t* surface, int quality);

// EXIF orientation tag (1...8) of a JPEG APP1 payload ("Exif\0\0" + TIFF), when present and valid.
std::optional<int> exifOrientation(const std::uint8_t* bytes, std::size_t size);

}
