#pragma once

#include "platform/foundation/Data.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/gif/GifDecoder.h"

#include <cstddef>
#include <optional>
#include <string>

// Animated images from GIF bytes, addresses and resources, playing with the GIF's own timing:
// every frame lasts its delay (at least 0.1 s) and is repeated so that all frames advance in
// steps of the delays' greatest common divisor. Failures give nothing and a console line.
// Runs on the caller's thread; an http(s) address is read synchronously, so keep it off the
// main thread.
class UIImageGif {
public:
    static constexpr double minimumFrameDelay = 0.1;
    // Bounds the repeated frames, so that delays without a useful common divisor (101 ms and
    // 100 ms) cannot ask for a list of millions of entries; the step then grows instead.
    static constexpr std::size_t maximumFrameEntries = 5000;
    // Bytes read from an address at most.
    static constexpr std::size_t maximumDownloadSize = 32 * 1024 * 1024;

    static std::optional<UIImage> gifImage(const Data& data);
    // "file:" addresses are read from disk, "http:" and "https:" ones downloaded.
    static std::optional<UIImage> gifImageWithURL(const std::string& url);
    // The resource "<name>.gif" of the main bundle.
    static std::optional<UIImage> gifImageNamed(const std::string& name);

    // Seconds frame `index` is shown: its written delay, where 0 or a missing control block count
    // as the minimum, raised to the minimum.
    static double gifFrameDelay(std::size_t index, const GifImage& source);
    // Whole milliseconds of a delay. Rounded, not cut: 1.13 s must not become 1129 ms.
    static int delayMilliseconds(double seconds);
    // An empty source gives an animated image of no frames and duration 0.
    static UIImage gifAnimatedImage(const GifImage& source);
};
