#pragma once

#include "platform/media/cache/MCSDownloader.h"
#include "platform/media/cache/MCSPlaybackStore.h"
#include "platform/media/cache/MCSPlaylist.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A byte range as a client asks for it ("bytes=a-b", "bytes=a-", "bytes=-n").
struct MCSByteRange {
    std::optional<std::uint64_t> first; // none: the last `suffix` bytes
    std::optional<std::uint64_t> last;
    std::uint64_t suffix = 0;
};
// One range of a Range field; none when absent, malformed or several ranges (the whole is sent).
std::optional<MCSByteRange> parseRangeHeader(std::string_view value);

// The head of what is sent back for a resource.
struct MCSResourceAnswer {
    int status = 200; // 200, 206, or an error status (then no body follows)
    std::optional<std::uint64_t> contentLength; // none: unknown until the end
    std::optional<std::uint64_t> first; // 206: the range sent; 416: only total
    std::optional<std::uint64_t> last;
    std::optional<std::uint64_t> total;
    std::string contentType;
};

// Where a resource goes (the proxy's client, or nothing for a prefetch). Returning false stops.
class MCSResourceOutput {
public:
    virtual ~MCSResourceOutput() = default;
    virtual bool begin(const MCSResourceAnswer& answer) = 0;
    virtual bool write(const std::uint8_t* bytes, std::size_t size) = 0;
};

struct MCSReadRequest {
    std::string asset;
    std::string key;
    std::string url;
    HTTPHeaders headers; // passed on to the origin
    std::optional<MCSByteRange> range;
    std::uint64_t maxBytes = 16ull * 1024 * 1024 * 1024; // largest resource accepted
};

// Answers a resource from the store's chunks, fetching what is missing from the origin and
// keeping each chunk once it is whole. True when the whole answer went out; false when it was cut
// short (origin failure, output refused) - the output then must not treat it as whole.
bool readThrough(const MCSPlaybackStore& store, MCSDownloader& downloader, const MCSReadRequest& request,
    MCSResourceOutput& output);

// A playlist from the store, or fetched, checked and (when it will not change: a master or a
// finished one) stored. On failure `status` is the origin's error status, or 502.
struct MCSLoadedPlaylist {
    std::optional<MCSStoredPlaylist> stored;
    std::optional<MCSPlaylist> playlist;
    int status = 502;
    std::string error;
};
MCSLoadedPlaylist loadPlaylist(const MCSPlaybackStore& store, MCSDownloader& downloader,
    const std::string& asset, const std::string& key, const std::string& url, const HTTPHeaders& headers,
    const MCSPlaylistLimits& limits);
