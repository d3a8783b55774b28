// Decoding of untrusted GIF bytes (network images and bundled animations) through GifDecoder.
#include "platform/ui/gif/GifDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Data bytes(data, data + size);
    // Tight limits keep each run fast; the checks are the same at any size.
    GifDecoder::Limits limits;
    limits.maxScreenPixels = 1 << 20;
    limits.maxTotalPixels = 1 << 22;
    auto gif = GifDecoder::decode(bytes, limits);
    if (!gif)
        return 0;
    if (gif->width < 0 || gif->height < 0 || gif->frames.size() > limits.maxFrames)
        __builtin_trap();
    for (const GifFrame& frame : gif->frames) {
        // Every frame is a whole screen within the limits.
        if (frame.image.pixelWidth() != gif->width || frame.image.pixelHeight() != gif->height
            || static_cast<long long>(gif->width) * gif->height > limits.maxScreenPixels)
            __builtin_trap();
        if (frame.delayCentiseconds && (*frame.delayCentiseconds < 0 || *frame.delayCentiseconds > 0xFFFF))
            __builtin_trap();
        (void)frame.image.pixel(gif->width - 1, gif->height - 1);
    }
    return 0;
}
