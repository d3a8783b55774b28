#include "tests/platform/media/MediaCacheFixture.h"

#include "platform/media/cache/MCSReadThrough.h"

namespace zvtest {

using testserver::Reply;
using testserver::Request;

std::string segmentBytes(int index, std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + static_cast<std::size_t>(index) * 7) & 0xFF);
    std::string tag = "segment-" + std::to_string(index) + ";";
    bytes.replace(0, std::min(tag.size(), size), tag.substr(0, size));
    return bytes;
}

const std::string& streamKey()
{
    static const std::string key = "0123456789abcdef";
    return key;
}

std::string MediaCacheTest::mediaPlaylist(
    const std::vector<std::string>& segments, const std::string& keyURI, bool endList)
{
    std::string text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:0\n";
    if (!keyURI.empty())
        text += "#EXT-X-KEY:METHOD=AES-128,URI=\"" + keyURI + "\"\n";
    for (const std::string& segment : segments)
        text += "#EXTINF:2.000,\n" + segment + "\n";
    if (endList)
        text += "#EXT-X-ENDLIST\n";
    return text;
}

namespace {

// The segment index in a path ending "seg<i>.ts"; -1 when there is none.
int segmentIndex(const std::string& path)
{
    std::size_t start = path.rfind("seg");
    std::size_t end = path.rfind(".ts");
    if (start == std::string::npos || end == std::string::npos || end <= start + 3)
        return -1;
    try {
        return std::stoi(path.substr(start + 3, end - start - 3));
    } catch (...) {
        return -1;
    }
}

}

Reply rangeReply(const Request& request, const std::string& body, const std::string& type)
{
    auto field = request.header("Range");
    auto range = field ? parseRangeHeader(*field) : std::nullopt;
    if (!range || !range->first)
        return Reply { 200, { { "Content-Type", type } }, body };
    std::uint64_t first = *range->first;
    if (first >= body.size())
        return Reply { 416, { { "Content-Range", "bytes */" + std::to_string(body.size()) } }, "" };
    std::uint64_t last = std::min<std::uint64_t>(range->last.value_or(body.size() - 1), body.size() - 1);
    return Reply { 206,
        { { "Content-Type", type },
            { "Content-Range",
                "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/"
                    + std::to_string(body.size()) } },
        body.substr(first, last - first + 1) };
}

void MediaCacheTest::SetUp()
{
    MainLoopTest::SetUp();
    home = std::make_unique<TempDir>();
    root = home->path() / "Documents" / "com.SJMediaCacheServer.cache";
    std::string error;
    server = testserver::TestServer::start({ testKeysDir(), {} }, &error);
    ASSERT_TRUE(server) << error;

    std::vector<std::string> segments;
    for (int i = 0; i < segmentCount; ++i)
        segments.push_back("seg" + std::to_string(i) + ".ts");
    server->route("/vod/master.m3u8", [](const Request&) {
        return Reply::text(200,
            "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000\nv1/index.m3u8\n"
            "#EXT-X-STREAM-INF:BANDWIDTH=400000\nv2/index.m3u8\n",
            "application/vnd.apple.mpegurl");
    });
    server->route("/vod/v1/index.m3u8", [segments](const Request&) {
        return Reply::text(200, mediaPlaylist(segments, "../key.bin"), "application/vnd.apple.mpegurl");
    });
    server->route("/vod/v2/index.m3u8", [segments](const Request&) {
        return Reply::text(200, mediaPlaylist(segments), "application/vnd.apple.mpegurl");
    });
    server->route("/vod/key.bin",
        [](const Request&) { return Reply::text(200, streamKey(), "application/octet-stream"); });
    std::size_t size = segmentSize;
    auto segment = [size](const Request& request) {
        int index = segmentIndex(request.path);
        if (index < 0)
            return Reply::text(404, "");
        return Reply::text(200, segmentBytes(index, size), "video/mp2t");
    };
    server->routePrefix("/vod/v1/seg", segment);
    server->routePrefix("/vod/v2/seg", segment);
    server->route("/slow/index.m3u8", [segments](const Request&) {
        return Reply::text(200, mediaPlaylist(segments), "application/vnd.apple.mpegurl");
    });
    auto delay = slowDelay;
    server->routePrefix("/slow/seg", [segment, delay](const Request& request) {
        Reply reply = segment(request);
        reply.delay = delay;
        return reply;
    });
    std::string file = segmentBytes(99, fileSize);
    server->route(
        "/file.mp4", [file](const Request& request) { return rangeReply(request, file, "video/mp4"); });

    cache = MCSMediaCache::open(options());
}

void MediaCacheTest::TearDown()
{
    cache.reset();
    server.reset();
    home.reset();
    MainLoopTest::TearDown();
}

MCSMediaCacheOptions MediaCacheTest::options() const
{
    MCSMediaCacheOptions options;
    options.root = root;
    options.exports.fetch.trustedCAFile = (testKeysDir() / "ca.pem").string();
    options.exports.fetch.connectTimeout = 5;
    options.exports.fetch.idleTimeout = 5;
    options.exports.progressInterval = 0;
    options.exports.retryDelay = 0.01; // the attempts count here, not the pauses
    options.chunkSize = chunkSize;
    return options;
}

void MediaCacheTest::reopen()
{
    cache.reset();
    drain(); // reports of the old process's jobs arrive and find nobody
    cache = MCSMediaCache::open(options());
}

bool MediaCacheTest::waitForStatus(
    const std::shared_ptr<MCSAssetExporter>& exporter, MCSAssetExportStatus status, double seconds)
{
    return runUntil([&] { return exporter->status() == status; }, seconds);
}

MCSFetchedBody MediaCacheTest::get(
    const std::string& url, std::optional<std::pair<std::uint64_t, std::uint64_t>> range)
{
    MCSFetchSettings settings;
    settings.trustedCAFile = (testKeysDir() / "ca.pem").string();
    settings.idleTimeout = 5;
    MCSDownloader downloader(settings);
    if (!range)
        return fetchBody(downloader, url, 64 * 1024 * 1024);
    MCSFetchedBody fetched;
    struct Sink : MCSFetchSink {
        MCSFetchedBody& out;
        explicit Sink(MCSFetchedBody& fetched)
            : out(fetched)
        { }
        bool receiveHead(const MCSFetchHead& head) override
        {
            out.head = head;
            return true;
        }
        bool receiveData(const std::uint8_t* bytes, std::size_t size) override
        {
            out.body.insert(out.body.end(), bytes, bytes + size);
            return true;
        }
    } sink(fetched);
    MCSFetchRequest request;
    request.url = url;
    request.rangeStart = range->first;
    request.rangeEnd = range->second;
    request.maxBytes = 64 * 1024 * 1024;
    fetched.result = downloader.fetch(request, sink);
    return fetched;
}

}
