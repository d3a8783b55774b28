#pragma once

#include "platform/foundation/Data.h"
#include "platform/ui/UIImage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// One picture of a GIF as it is shown: the whole logical screen after this frame was drawn over
// what the earlier frames left behind (disposal methods and transparency applied).
struct GifFrame {
    UIImage image; // logical-screen size, premultiplied ARGB, scale 1
    // The delay of the frame's graphic control block, in hundredths of a second, exactly as
    // written (0 included); none when the frame has no such block. Players apply their own
    // minimum, so nothing is clamped here.
    std::optional<int> delayCentiseconds;

    // The written delay in seconds (0 without a control block).
    double delaySeconds() const { return delayCentiseconds.value_or(0) / 100.0; }
};

struct GifImage {
    int width = 0; // logical screen, pixels
    int height = 0;
    std::vector<GifFrame> frames;
    // The repeat count of the looping block as written (0 means forever); none when the file has
    // no looping block, which players take as "play once".
    std::optional<int> loopCount;
};

// GIF87a/GIF89a bytes -> frames, through giflib's low-level reader so that every size is checked
// before anything is allocated. Untrusted input: never aborts, never throws.
class GifDecoder {
public:
    struct Limits {
        int maxPixelsPerSide = UIImage::maxPixelsPerSide;
        long long maxScreenPixels = UIImage::maxPixelCount;
        // Pixels decoded plus pixels kept, over all frames (each frame is kept as a whole screen),
        // which bounds both the memory and the work that a small file can ask for.
        long long maxTotalPixels = 64LL * 1000 * 1000;
        std::size_t maxFrames = 2000;
    };

    static bool looksLikeGif(const Data& data);

    // Nothing when the bytes are no GIF or its screen breaks the limits. A file that is cut off
    // or damaged after its header keeps the frames that decoded completely (possibly none).
    // Decoding stops quietly at the first frame that would break the limits.
    static std::optional<GifImage> decode(const Data& data);
    static std::optional<GifImage> decode(const Data& data, const Limits& limits);
};
