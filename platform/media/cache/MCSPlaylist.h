#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What an address in a playlist points at.
enum class MCSPlaylistURIKind {
    Playlist, // a variant stream or a rendition of a master playlist
    Segment,
    Key, // EXT-X-KEY or EXT-X-SESSION-KEY
    Map, // EXT-X-MAP (initialisation section)
};

// One address of a playlist as written there (not resolved), with where it stands in the text.
struct MCSPlaylistURI {
    MCSPlaylistURIKind kind = MCSPlaylistURIKind::Segment;
    std::string uri;
    std::size_t offset = 0;
    std::size_t length = 0;
};

// An HLS playlist read from text that came from outside: only what exporting and rewriting need.
struct MCSPlaylist {
    bool isMaster = false;
    bool hasEndList = false;
    std::vector<std::string> variants; // master: EXT-X-STREAM-INF addresses, in order
    std::vector<std::string> segments; // media: segment addresses, in order
    std::vector<MCSPlaylistURI> uris; // every address, in text order
};

struct MCSPlaylistLimits {
    std::size_t maxBytes = 4 * 1024 * 1024;
    std::size_t maxURIs = 20000;
};

struct MCSPlaylistParse {
    std::optional<MCSPlaylist> playlist;
    std::string error; // why it is not a usable playlist; empty on success
};

// Reads a playlist; anything that is not a well-formed M3U8 within the limits gives an error.
MCSPlaylistParse parsePlaylist(std::string_view text, const MCSPlaylistLimits& limits = {});

// The text with every address replaced by what `map` returns for it; everything else stays as
// it was, byte for byte. `playlist` must come from parsing this same text.
std::string rewritePlaylist(std::string_view text, const MCSPlaylist& playlist,
    const std::function<std::string(const MCSPlaylistURI&)>& map);
