#include "platform/media/cache/MCSDownloader.h"
#include "platform/media/cache/MCSPlaylist.h"
#include "platform/media/cache/MCSReadThrough.h"
#include "platform/media/cache/MCSURL.h"

#include <gtest/gtest.h>

using Kind = MCSPlaylistURIKind;

TEST(MCSPlaylist, ReadsMasterAndMediaPlaylists)
{
    const std::string master
        = "\xEF\xBB\xBF#EXTM3U\r\n"
          "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",NAME=\"en, main\",URI=\"audio/en.m3u8\"\r\n"
          "#EXT-X-STREAM-INF:BANDWIDTH=800000,CODECS=\"avc1.4d401e,mp4a.40.2\"\r\n"
          "low/index.m3u8\r\n"
          "#EXT-X-I-FRAME-STREAM-INF:BANDWIDTH=90000,URI=\"low/iframes.m3u8\"\r\n"
          "# a comment\r\n"
          "#EXT-X-STREAM-INF:BANDWIDTH=1600000\r\n"
          "  http://cdn.example/high.m3u8  \r\n";
    auto parsed = parsePlaylist(master);
    ASSERT_TRUE(parsed.playlist) << parsed.error;
    EXPECT_TRUE(parsed.playlist->isMaster);
    EXPECT_EQ(parsed.playlist->variants,
        (std::vector<std::string> { "low/index.m3u8", "http://cdn.example/high.m3u8" }));
    std::vector<std::pair<Kind, std::string>> uris;
    for (const auto& uri : parsed.playlist->uris) {
        uris.emplace_back(uri.kind, uri.uri);
        EXPECT_EQ(master.substr(uri.offset, uri.length), uri.uri);
    }
    EXPECT_EQ(uris,
        (std::vector<std::pair<Kind, std::string>> { { Kind::Playlist, "audio/en.m3u8" },
            { Kind::Playlist, "low/index.m3u8" }, { Kind::Playlist, "low/iframes.m3u8" },
            { Kind::Playlist, "http://cdn.example/high.m3u8" } }));

    const std::string media = "#EXTM3U\n#EXT-X-TARGETDURATION:4\n"
                              "#EXT-X-KEY:METHOD=AES-128,URI=\"k1.key\",IV=0x1\n"
                              "#EXT-X-MAP:URI=\"init.mp4\"\n"
                              "#EXTINF:4,\n#EXT-X-BYTERANGE:100@0\nmain.mp4\n"
                              "#EXTINF:4,\n#EXT-X-BYTERANGE:100\nmain.mp4\n"
                              "#EXT-X-KEY:METHOD=NONE\n"
                              "#EXTINF:4,title\nplain.ts?a=1,2\n"
                              "#EXT-X-ENDLIST";
    parsed = parsePlaylist(media);
    ASSERT_TRUE(parsed.playlist) << parsed.error;
    EXPECT_FALSE(parsed.playlist->isMaster);
    EXPECT_TRUE(parsed.playlist->hasEndList);
    EXPECT_EQ(
        parsed.playlist->segments, (std::vector<std::string> { "main.mp4", "main.mp4", "plain.ts?a=1,2" }));
    ASSERT_EQ(parsed.playlist->uris.size(), 5u);
    EXPECT_EQ(parsed.playlist->uris[0].kind, Kind::Key);
    EXPECT_EQ(parsed.playlist->uris[1].kind, Kind::Map);
}

TEST(MCSPlaylist, RefusesWhatIsNotAUsablePlaylist)
{
    const std::pair<const char*, std::string> cases[] = {
        { "empty", "" },
        { "html", "<html>#EXTM3U</html>" },
        { "header later", "#EXTINF:1,\n#EXTM3U\n" },
        { "address without entry tag", "#EXTM3U\nseg.ts\n" },
        { "ends before the address", "#EXTM3U\n#EXTINF:1,\n" },
        { "variant without address", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\n" },
        { "master and media mixed", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n#EXTINF:1,\na.ts\n" },
        { "key without URI", "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128\n#EXTINF:1,\na.ts\n" },
        { "key without METHOD", "#EXTM3U\n#EXT-X-KEY:URI=\"k\"\n#EXTINF:1,\na.ts\n" },
        { "unterminated quote", "#EXTM3U\n#EXT-X-MAP:URI=\"init.mp4\n#EXTINF:1,\na.ts\n" },
        { "empty quoted address", "#EXTM3U\n#EXT-X-MAP:URI=\"\"\n#EXTINF:1,\na.ts\n" },
        { "control character", std::string("#EXTM3U\n#EXTINF:1,\na\x01.ts\n") },
        { "NUL in address", std::string("#EXTM3U\n#EXTINF:1,\na") + '\0' + "b.ts\n" },
    };
    for (const auto& [what, text] : cases) {
        auto parsed = parsePlaylist(text);
        EXPECT_FALSE(parsed.playlist) << what;
        EXPECT_FALSE(parsed.error.empty()) << what;
    }

    MCSPlaylistLimits limits;
    limits.maxBytes = 64;
    EXPECT_FALSE(parsePlaylist("#EXTM3U\n" + std::string(100, '#'), limits).playlist);
    limits = {};
    limits.maxURIs = 2;
    EXPECT_TRUE(parsePlaylist("#EXTM3U\n#EXTINF:1,\na\n#EXTINF:1,\nb\n", limits).playlist);
    EXPECT_FALSE(parsePlaylist("#EXTM3U\n#EXTINF:1,\na\n#EXTINF:1,\nb\n#EXTINF:1,\nc\n", limits).playlist);
}

TEST(MCSPlaylist, RewriteReplacesOnlyAddresses)
{
    const std::string text
        = "#EXTM3U\r\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.key\",IV=0x1\r\n#EXTINF:2,\r\n a.ts \r\n"
          "#EXT-X-ENDLIST\r\n";
    auto parsed = parsePlaylist(text);
    ASSERT_TRUE(parsed.playlist);
    std::string rewritten = rewritePlaylist(text, *parsed.playlist,
        [](const MCSPlaylistURI& uri) { return (uri.kind == Kind::Key ? "K:" : "S:") + uri.uri; });
    EXPECT_EQ(rewritten,
        "#EXTM3U\r\n#EXT-X-KEY:METHOD=AES-128,URI=\"K:k.key\",IV=0x1\r\n#EXTINF:2,\r\n S:a.ts "
        "\r\n#EXT-X-ENDLIST\r\n");
}

TEST(MCSURL, ResolvesOnlyToHTTPAddresses)
{
    const std::string base = "https://cdn.example/a/b/index.m3u8?token=1";
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        { "seg1.ts", "https://cdn.example/a/b/seg1.ts" },
        { "../key.bin", "https://cdn.example/a/key.bin" },
        { "/root.ts", "https://cdn.example/root.ts" },
        { "../../../../x.ts", "https://cdn.example/x.ts" },
        { "//other.example/x.ts", "https://other.example/x.ts" },
        { "http://plain.example/y.ts?q=1", "http://plain.example/y.ts?q=1" },
        { "ftp://files.example/z.ts", std::nullopt },
        { "file:///etc/passwd", std::nullopt },
        { "skd://key", std::nullopt },
        { "a b.ts", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& [reference, expected] : cases)
        EXPECT_EQ(MCSURL::resolve(base, reference), expected) << reference;

    EXPECT_EQ(MCSURL::extension("http://h/a/Seg.TS?x=y.mp4"), "ts");
    EXPECT_EQ(MCSURL::extension("http://h/a/noext"), "");
    EXPECT_EQ(MCSURL::extension("http://h/a/x.toolongext"), "");
    EXPECT_EQ(MCSURL::leafName("http://h/a/..?x"), "media");
    EXPECT_EQ(MCSURL::leafName("http://h/v%20ideo.mp4"), "v20ideo.mp4");
    for (const char* name : { "", ".", "..", "a/b", "a\\b", "..\\x", "a b" })
        EXPECT_FALSE(MCSURL::isSafeComponent(name)) << name;
    EXPECT_TRUE(MCSURL::isSafeComponent("export-0a1b.ts"));
}

TEST(MCSHeaders, RangeAndContentRange)
{
    struct Case {
        const char* text;
        std::optional<std::uint64_t> first;
        std::optional<std::uint64_t> last;
        std::uint64_t suffix;
        bool valid;
    };
    const Case ranges[] = {
        { "bytes=0-99", 0, 99, 0, true },
        { "bytes=100-", 100, std::nullopt, 0, true },
        { "bytes=-500", std::nullopt, std::nullopt, 500, true },
        { "bytes=5-4", {}, {}, 0, false },
        { "bytes=0-1,5-6", {}, {}, 0, false },
        { "items=0-1", {}, {}, 0, false },
        { "bytes=a-b", {}, {}, 0, false },
        { "bytes=99999999999999999999-", {}, {}, 0, false },
    };
    for (const Case& c : ranges) {
        auto range = parseRangeHeader(c.text);
        ASSERT_EQ(range.has_value(), c.valid) << c.text;
        if (!range)
            continue;
        EXPECT_EQ(range->first, c.first) << c.text;
        EXPECT_EQ(range->last, c.last) << c.text;
        EXPECT_EQ(range->suffix, c.suffix) << c.text;
    }

    auto full = parseContentRange("bytes 10-19/100");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->first, 10u);
    EXPECT_EQ(full->last, 19u);
    EXPECT_EQ(full->total, 100u);
    EXPECT_FALSE(parseContentRange("bytes 10-19/*")->total);
    for (const char* bad : { "bytes 10-19/15", "bytes 19-10/100", "bytes */100", "10-19/100", "bytes 1-2/x" })
        EXPECT_FALSE(parseContentRange(bad)) << bad;
}
