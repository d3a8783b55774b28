// Feeds arbitrary bytes to the playlist reader. Whatever it accepts must point at addresses that
// really stand in the text, rewrite back to the same text when nothing changes, and keep its
// shape when every address is replaced.

#include "platform/media/cache/MCSPlaylist.h"
#include "platform/media/cache/MCSURL.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(bytes), size);
    MCSPlaylistLimits limits;
    limits.maxBytes = 64 * 1024;
    limits.maxURIs = 200;
    MCSPlaylistParse parsed = parsePlaylist(text, limits);
    if (!parsed.playlist) {
        check(!parsed.error.empty());
        return 0;
    }
    const MCSPlaylist& playlist = *parsed.playlist;
    check(playlist.uris.size() <= limits.maxURIs);
    check(!playlist.isMaster || !playlist.variants.empty());
    for (const MCSPlaylistURI& uri : playlist.uris) {
        check(uri.offset + uri.length <= text.size());
        check(text.substr(uri.offset, uri.length) == uri.uri);
        (void)MCSURL::resolve("http://127.0.0.1/a/b/index.m3u8?x=1", uri.uri);
        (void)MCSURL::extension(uri.uri);
        check(MCSURL::isSafeComponent(MCSURL::leafName(uri.uri)));
    }

    check(rewritePlaylist(text, playlist, [](const MCSPlaylistURI& uri) { return uri.uri; }) == text);

    std::size_t counter = 0;
    std::string rewritten = rewritePlaylist(text, playlist,
        [&](const MCSPlaylistURI&) { return "http://127.0.0.1:1/o/" + std::to_string(counter++); });
    MCSPlaylistLimits roomy = limits;
    roomy.maxBytes = rewritten.size() + 1;
    MCSPlaylistParse again = parsePlaylist(rewritten, roomy);
    check(again.playlist.has_value());
    check(again.playlist->uris.size() == playlist.uris.size());
    check(again.playlist->isMaster == playlist.isMaster);
    check(again.playlist->segments.size() == playlist.segments.size());
    for (std::size_t i = 0; i < playlist.uris.size(); ++i)
        check(again.playlist->uris[i].kind == playlist.uris[i].kind);
    return 0;
}
