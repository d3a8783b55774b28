// Decoding of untrusted image bytes (network images, uploads): PNG and JPEG through UIImage.
#include "platform/ui/UIImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Data bytes(data, data + size);
    auto image = UIImage::fromData(bytes);
    if (image) {
        // Whatever decodes must be a usable bitmap within the limits.
        if (image->pixelWidth() <= 0 || image->pixelHeight() <= 0
            || image->pixelWidth() > UIImage::maxPixelsPerSide
            || image->pixelHeight() > UIImage::maxPixelsPerSide)
            __builtin_trap();
        (void)image->pixel(image->pixelWidth() - 1, image->pixelHeight() - 1);
        (void)image->size();
    }
    return 0;
}
