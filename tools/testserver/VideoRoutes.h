#pragma once

#include "tools/testserver/Request.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace testserver {

class TestServer;

// Video for the player and the media cache: the clips that scripts/make-test-media.sh makes
// (build/media), 12 s of a test pattern with its clock and a tone, under /video/ (GET and HEAD):
//
//   /video/master.m3u8         master playlist: "low/index.m3u8" (BANDWIDTH=300000, 320x180, plain)
//                              and "high/index.m3u8" (BANDWIDTH=600000, 480x270, AES-128)
//   /video/low/index.m3u8      media playlist of six 2 s TS segments "seg0.ts" .. "seg5.ts"
//   /video/low/seg<n>.ts
//   /video/high/index.m3u8     the same, each segment AES-128 encrypted with the key "key.bin"
//   /video/high/seg<n>.ts, /video/high/key.bin
//   /video/clip.mp4            the whole clip as one MP4 (index first)
//   /video/broken.m3u8         200 with bytes that are no playlist
//
// Every file answers a single "Range: bytes=a-b" (also "a-" and "-n") with 206 and Content-Range,
// and 416 when the range lies past the end; other Range forms get the whole file.
//
// Faults on request, by query:
//   any file  ?fault=slow[&delay=<ms>]   answers after the delay (default 4000 ms, at most 60000)
//             ?fault=404                 answers 404
//             ?fault=truncate            announces the whole body, sends half and closes
//             ?fault=redirect&to=<address>  answers 302 to the address (URL-encoded)
//   a media playlist  ?slow=<n>, ?fail=<n>, ?truncate=<n> (with &delay=<ms>) names its segment n
//             with that fault (slow, 404, truncate); several may be given
//   the master  passes its query on to both variant playlists
//
// The server's record keeps each request with its header fields, for tests of what clients send.
class VideoRoutes {
public:
    static constexpr std::string_view prefix = "/video/";

    // Loads the clips from `mediaDir` and answers under /video/ from then on; false with a
    // message when the folder lacks them (scripts/make-test-media.sh makes them).
    static bool install(TestServer& server, const std::filesystem::path& mediaDir, std::string* error = nullptr);
};

// The byte range a Range field asks of a body of `size` bytes: [first, last], both inclusive.
struct ByteRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    bool operator==(const ByteRange&) const = default;
};
enum class RangeAnswer { whole, partial, unsatisfiable };
// whole: no range, or a form this server does not split (several ranges, bad syntax).
RangeAnswer parseRange(std::string_view field, std::uint64_t size, ByteRange& range);

}
