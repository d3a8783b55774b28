#pragma once

#include "platform/foundation/Data.h"
#include "platform/ui/UIImage.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class HTTPClient;
class UIImageView;

// Where a delivered image came from.
enum class ImageCacheType {
    none, // downloaded for this request
    memory,
    disk,
};

struct ImageLoadError {
    enum class Code {
        InvalidURL, // empty, or an address the HTTP client cannot use
        Network, // no complete reply (host, connection, time-out ...)
        BadStatus, // a reply whose status is not 2xx
        NotAnImage, // bytes that do not decode as PNG, JPEG or GIF
        Cancelled, // cancelled, or the image view went away or asked for another address
    };
    Code code = Code::Network;
    std::optional<int> statusCode; // for BadStatus
    std::string message; // for logs, not for users
};

struct ImageLoadResult {
    std::string url;
    std::optional<UIImage> image; // set exactly when error is not
    std::optional<ImageLoadError> error;
    ImageCacheType cacheType = ImageCacheType::none;

    bool succeeded() const { return image.has_value(); }
};

using ImageLoadCompletion = std::function<void(const ImageLoadResult&)>;

// Loads network images: memory cache, then disk cache, then one download per address shared by
// every request for it. Downloads go through the HTTP client; reading the disk and decoding run
// off the main thread; results come back on the main queue. Only downloads that decode as images
// reach the disk cache.
//
// Main thread only. Every request gets its completion exactly once; it runs before the call
// returns when the image is in memory or the address is empty, else later on the main queue.
class ImageLoader {
public:
    using RequestID = std::uint64_t;

    struct Configuration {
        // Empty: "ImageCache" in the app's caches folder.
        std::filesystem::path diskCacheFolder;
        std::uint64_t diskSizeLimit = 200ULL * 1024 * 1024;
        std::size_t memoryCostLimit = 64ULL * 1024 * 1024; // bytes of decoded bitmaps
        double timeout = 15; // seconds for the whole download
        // Bytes past which a download fails; none: the information key MaxImageReplyBytes.
        std::optional<std::size_t> maxBytes;
        HTTPClient* client = nullptr; // not owned, must outlive the loader; nullptr: the shared one
    };

    static constexpr std::size_t defaultMaxImageBytes = 32 * 1024 * 1024;

    static ImageLoader& shared();

    ImageLoader();
    explicit ImageLoader(Configuration configuration);
    ~ImageLoader();
    ImageLoader(const ImageLoader&) = delete;
    ImageLoader& operator=(const ImageLoader&) = delete;

    // Shows the placeholder at once (none clears the view) unless the image is already in memory,
    // then sets the loaded image if the view still wants this address by then. A failure leaves
    // the placeholder. A new request for the view, or cancel(view), replaces this one, whose
    // completion then reports Cancelled; so does a view that is gone when the image arrives (the
    // view is held weakly, so it must be owned by a shared_ptr, as every view is).
    void setImage(UIImageView& view, const std::string& url, std::optional<UIImage> placeholder,
        ImageLoadCompletion completion = {});
    // Drops the view's running request, if any (its completion reports Cancelled).
    void cancel(UIImageView& view);

    // A request without a view; 0 when it finished before returning.
    RequestID load(const std::string& url, ImageLoadCompletion completion);
    // The completion then reports Cancelled (posted to the main queue). A download that nobody
    // waits for any more is stopped.
    void cancel(RequestID request);

    // Memory, then disk (read and decoded on the calling thread).
    std::optional<UIImage> cachedImage(const std::string& url);
    // Bytes of the disk cache's files.
    std::uint64_t diskCacheSize();
    // Empties the disk cache on its own queue; the completion runs on the main queue after.
    void clearDisk(std::function<void()> completion = {});
    void clearMemory();

    const std::filesystem::path& diskCacheFolder() const;

    // Bytes as the loader decodes them: PNG, JPEG (with EXIF orientation) or GIF. A GIF of
    // several frames gives an animated image lasting the sum of its written delays; one frame
    // gives a still image.
    static std::optional<UIImage> decodeImage(const Data& bytes);

    struct Impl;

private:
    std::shared_ptr<Impl> m_impl;
};
