#include "platform/foundation/FileSystem.h"
#include "platform/media/cache/MCSPlaylist.h"
#include "platform/media/cache/MCSProxyServer.h"
#include "tests/platform/media/MediaCacheFixture.h"
#include "tests/support/HelperProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace zvtest;
using testserver::Reply;
using testserver::Request;
using ExportStatus = MCSAssetExportStatus;

namespace {

std::string text(const MCSFetchedBody& fetched)
{
    return stringFromData(fetched.body);
}

// A player that takes the body up to `limit` bytes and then closes the connection.
class LeavingPlayer : public MCSFetchSink {
public:
    explicit LeavingPlayer(std::size_t limit)
        : m_limit(limit)
    { }
    bool receiveHead(const MCSFetchHead& head) override
    {
        status = head.status;
        return true;
    }
    bool receiveData(const std::uint8_t* bytes, std::size_t size) override
    {
        std::size_t take = std::min(size, m_limit - body.size());
        body.append(reinterpret_cast<const char*>(bytes), take);
        return body.size() < m_limit;
    }

    int status = 0;
    std::string body;

private:
    std::size_t m_limit;
};

// The addresses of a playlist, in order.
std::vector<std::string> addressesOf(const std::string& playlist)
{
    std::vector<std::string> found;
    auto parsed = parsePlaylist(playlist);
    if (parsed.playlist) {
        for (const MCSPlaylistURI& uri : parsed.playlist->uris)
            found.push_back(uri.uri);
    }
    return found;
}

}

TEST_F(MediaCacheTest, FinishedExportPlaysThroughTheProxyWithTheOriginStopped)
{
    const std::string url = http("/vod/master.m3u8");
    auto exporter = cache->exportAsset(url, true);
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    std::string playback = cache->playbackURL(url);
    std::string base = MCSProxyServer::shared().baseURL();
    ASSERT_TRUE(playback.starts_with(base + "/e/export-")) << playback;
    EXPECT_EQ(cache->playbackURL(url), playback) << "the port stays";
    server.reset();

    MCSFetchedBody playlist = get(playback);
    ASSERT_EQ(playlist.head.status, 200);
    EXPECT_EQ(playlist.head.contentType, "application/vnd.apple.mpegurl");
    std::vector<std::string> addresses = addressesOf(text(playlist));
    ASSERT_EQ(addresses.size(), static_cast<std::size_t>(segmentCount) + 1);
    std::string folder = playback.substr(0, playback.rfind('/') + 1);
    EXPECT_EQ(text(get(folder + addresses[0])), streamKey());
    for (int i = 0; i < segmentCount; ++i) {
        MCSFetchedBody segment = get(folder + addresses[i + 1]);
        EXPECT_EQ(segment.head.status, 200);
        EXPECT_EQ(text(segment), segmentBytes(i, segmentSize));
    }
    MCSFetchedBody part = get(folder + addresses[1], std::pair<std::uint64_t, std::uint64_t> { 10, 19 });
    EXPECT_EQ(part.head.status, 206);
    EXPECT_EQ(text(part), segmentBytes(0, segmentSize).substr(10, 10));

    // Only finished exports' own files are served.
    EXPECT_EQ(get(folder + "../mcs.db").head.status, 404);
    EXPECT_EQ(get(base + "/e/export-0000000000000000/index.m3u8").head.status, 404);
    EXPECT_EQ(get(folder + "source.m3u8.missing").head.status, 404);
}

TEST_F(MediaCacheTest, UnfinishedExportsPlayOnline)
{
    auto exporter = cache->exportAsset(http("/slow/index.m3u8"), false);
    std::string playback = cache->playbackURL(http("/slow/index.m3u8"));
    EXPECT_TRUE(playback.find("/o/") != std::string::npos) << playback;
    EXPECT_TRUE(playback.ends_with("/index.m3u8")) << playback;
}

TEST_F(MediaCacheTest, OnlinePlaylistsAreRewrittenToTheProxyAndCached)
{
    const std::string masterURL = http("/vod/master.m3u8");
    std::string master = text(get(cache->playbackURL(masterURL)));
    std::vector<std::string> variants = addressesOf(master);
    ASSERT_EQ(variants.size(), 2u) << master;
    std::string base = MCSProxyServer::shared().baseURL();
    for (const std::string& variant : variants)
        EXPECT_TRUE(variant.starts_with(base + "/o/")) << variant;

    MCSFetchedBody media = get(variants[0]);
    EXPECT_EQ(media.head.contentType, "application/vnd.apple.mpegurl");
    std::vector<std::string> addresses = addressesOf(text(media));
    ASSERT_EQ(addresses.size(), static_cast<std::size_t>(segmentCount) + 1);
    EXPECT_EQ(text(get(addresses[0])), streamKey());
    EXPECT_EQ(text(get(addresses[3])), segmentBytes(2, segmentSize));

    // Played again with the origin gone: what was played comes from the cache.
    server.reset();
    EXPECT_EQ(text(get(cache->playbackURL(masterURL))), master);
    EXPECT_EQ(text(get(variants[0])), text(media));
    EXPECT_EQ(text(get(addresses[3])), segmentBytes(2, segmentSize));
    EXPECT_EQ(get(addresses[4]).head.status, 502) << "never fetched, origin gone";
}

TEST_F(MediaCacheTest, ReadThroughServesByteRangesAndKeepsWholeChunks)
{
    const std::string file = segmentBytes(99, fileSize);
    const std::string playback = cache->playbackURL(http("/file.mp4"));
    struct Case {
        std::uint64_t first;
        std::uint64_t last;
    };
    // Inside one chunk, across chunks, up to the end, the last byte.
    const Case cases[]
        = { { 100, 199 }, { 60000, 140000 }, { 200000, fileSize - 1 }, { fileSize - 1, fileSize - 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "-" + std::to_string(c.last));
        MCSFetchedBody part = get(playback, std::pair { c.first, c.last });
        EXPECT_EQ(part.head.status, 206);
        EXPECT_EQ(part.head.totalLength, fileSize);
        EXPECT_EQ(text(part), file.substr(c.first, c.last - c.first + 1));
    }
    cache->playbackStore().flush();
    for (const auto& folder : FileSystem::list(root / "playback")) {
        for (const std::string& name : FileSystem::list(root / "playback" / folder))
            EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    }

    // Everything asked for is kept: the origin is no longer needed for it.
    server->clearRequests();
    for (const Case& c : cases)
        EXPECT_EQ(
            text(get(playback, std::pair { c.first, c.last })), file.substr(c.first, c.last - c.first + 1));
    EXPECT_EQ(requestCount("/file.mp4"), 0u);

    MCSFetchedBody whole = get(playback);
    EXPECT_EQ(whole.head.status, 200);
    EXPECT_EQ(text(whole), file);
    EXPECT_EQ(
        get(playback, std::pair<std::uint64_t, std::uint64_t> { fileSize, fileSize + 10 }).head.status, 416);
}

TEST_F(MediaCacheTest, OriginFailuresReachThePlayerAsErrorsNeverAsWholeFiles)
{
    server->route("/gone.mp4", [](const Request&) { return Reply::text(404, "gone"); });
    server->route("/cut.mp4", [](const Request&) {
        Reply reply = Reply::text(200, segmentBytes(5, 200 * 1000));
        reply.action = testserver::ReplyAction::TruncateBody;
        return reply;
    });
    EXPECT_EQ(get(cache->playbackURL(http("/gone.mp4"))).head.status, 404);

    MCSFetchedBody cut = get(cache->playbackURL(http("/cut.mp4")));
    EXPECT_EQ(cut.head.status, 200);
    EXPECT_FALSE(cut.result.completed()) << "the client sees the answer cut, not a short whole one";
    // What was whole before the cut is kept; the rest is not.
    server->route("/cut.mp4", [](const Request&) { return Reply::text(500, ""); });
    MCSFetchedBody again = get(cache->playbackURL(http("/cut.mp4")));
    EXPECT_FALSE(again.result.completed() && again.body.size() == 200 * 1000);

    // Addresses the proxy did not hand out are refused without a fetch.
    std::string forged = cache->playbackURL(http("/file.mp4"));
    forged.replace(forged.find("/R/") + 3, 4, "0000");
    server->clearRequests();
    EXPECT_EQ(get(forged).head.status, 404);
    EXPECT_EQ(get(MCSProxyServer::shared().baseURL() + "/o/../../etc/passwd").head.status, 404);
    EXPECT_TRUE(server->requests().empty());
}

TEST_F(MediaCacheTest, PrefetchFillsTheCacheAhead)
{
    std::optional<std::optional<NSError>> result;
    std::vector<float> progress;
    const std::string url = http("/file.mp4");
    auto task = cache->prefetch(
        url, 150 * 1000, [&](float p) { progress.push_back(p); },
        [&](const std::optional<NSError>& error) { result = error; });
    ASSERT_TRUE(task);
    ASSERT_TRUE(runUntil([&] { return result.has_value(); }));
    EXPECT_FALSE(result->has_value());
    ASSERT_FALSE(progress.empty());
    EXPECT_FLOAT_EQ(progress.back(), 1.0f);

    server.reset();
    const std::string file = segmentBytes(99, fileSize);
    MCSFetchedBody start
        = get(cache->playbackURL(url), std::pair<std::uint64_t, std::uint64_t> { 0, 149999 });
    EXPECT_EQ(start.head.status, 206);
    EXPECT_EQ(text(start), file.substr(0, 150000));
}

// The short-video feed prefetches 100 MiB of a clip: the origin is asked for exactly that closed
// range, so it sends nothing beyond it.
TEST_F(MediaCacheTest, PrefetchOfAMediaFileAsksTheOriginForAClosedRange)
{
    std::optional<std::optional<NSError>> result;
    cache->prefetch(
        http("/file.mp4"), 104857600, nullptr, [&](const std::optional<NSError>& error) { result = error; });
    ASSERT_TRUE(runUntil([&] { return result.has_value(); }));
    EXPECT_FALSE(result->has_value());
    auto requests = server->requestsTo("/file.mp4");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("Range").value_or("(none)"), "bytes=0-104857599");
}

TEST_F(MediaCacheTest, PrefetchOfAPlaylistFetchesItsFirstSegments)
{
    cache->setResolveAssetIdentifier([](const std::string& url) { return url.substr(0, url.rfind('.')); });
    bool done = false;
    cache->prefetch(
        http("/vod/master.m3u8"), 2 * segmentSize, nullptr, [&](const std::optional<NSError>& error) {
            EXPECT_FALSE(error.has_value());
            done = true;
        });
    ASSERT_TRUE(runUntil([&] { return done; }));
    EXPECT_EQ(requestCount("/vod/v1/seg0.ts"), 1u);
    EXPECT_EQ(requestCount("/vod/v1/seg1.ts"), 1u);
    EXPECT_EQ(requestCount("/vod/v1/seg2.ts"), 0u);

    // The player finds them there.
    server->clearRequests();
    std::vector<std::string> variants = addressesOf(text(get(cache->playbackURL(http("/vod/master.m3u8")))));
    ASSERT_FALSE(variants.empty());
    std::vector<std::string> addresses = addressesOf(text(get(variants[0])));
    ASSERT_GT(addresses.size(), 2u);
    EXPECT_EQ(text(get(addresses[1])), segmentBytes(0, segmentSize));
    EXPECT_TRUE(server->requests().empty());
}

TEST_F(MediaCacheTest, CancelledPrefetchStopsAndCallsNothing)
{
    int calls = 0;
    auto task = cache->prefetch(
        http("/slow/index.m3u8"), 100 * 1024 * 1024, [&](float) { ++calls; },
        [&](const std::optional<NSError>&) { ++calls; });
    // Watches the server's record without running the main queue, so nothing is delivered yet.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (requestCount("/slow/seg0.ts") == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(requestCount("/slow/seg0.ts"), 1u);
    task->cancel();
    EXPECT_TRUE(task->isCancelled());
    std::size_t requests = server->requests().size();
    runUntil([] { return false; }, 1.0);
    EXPECT_EQ(calls, 0);
    EXPECT_LE(server->requests().size(), requests + 0);
    EXPECT_EQ(cache->prefetch("file:///etc/passwd", 10, nullptr, nullptr), nullptr);
}

TEST_F(MediaCacheTest, PlaybackCacheDropsTheAssetsWrittenLongestAgo)
{
    MCSMediaCacheOptions small = options();
    small.maxPlaybackCacheBytes = 400 * 1000;
    cache.reset();
    cache = MCSMediaCache::open(small);
    std::string file = segmentBytes(99, fileSize);
    server->route("/other.mp4", [file](const Request&) { return Reply::text(200, file, "video/mp4"); });

    ASSERT_EQ(get(cache->playbackURL(http("/file.mp4"))).body.size(), fileSize);
    cache->playbackStore().flush();
    ASSERT_EQ(FileSystem::list(root / "playback").size(), 1u);
    std::string older = FileSystem::list(root / "playback").front();
    ASSERT_EQ(get(cache->playbackURL(http("/other.mp4"))).body.size(), fileSize);
    cache->playbackStore().flush();
    std::vector<std::string> left = FileSystem::list(root / "playback");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left.front(), older);
}

// What a player gets never depends on where the cache has it: in memory on its way to disk, on
// disk, or still at the origin - also when a player leaves half-way and asks for the rest.
TEST_F(MediaCacheTest, ASegmentReadWhileTheCacheWritesItIsTheOriginsByteForByte)
{
    // Larger than the connection buffers hold: the proxy is still fetching when the player leaves.
    const std::size_t size = 16 * 1024 * 1024 + 12345;
    const std::string segment = segmentBytes(7, size);
    server->route("/long.ts",
        [&segment](const Request& request) { return rangeReply(request, segment, "video/mp2t"); });
    const std::string playback = cache->playbackURL(http("/long.ts"));
    cache->playbackStore().setWritesPausedForTesting(true);

    // Half-way through a chunk, the player closes the connection; then it asks for the rest.
    const std::size_t cut = size / 2 + 1000;
    MCSDownloader downloader({ (testKeysDir() / "ca.pem").string() });
    LeavingPlayer leaving(cut);
    MCSFetchRequest request;
    request.url = playback;
    request.maxBytes = size;
    EXPECT_FALSE(downloader.fetch(request, leaving).completed());
    EXPECT_EQ(leaving.status, 200);
    EXPECT_TRUE(leaving.body == segment.substr(0, cut)) << "the first part differs";
    MCSFetchedBody rest = get(playback, std::pair<std::uint64_t, std::uint64_t> { cut, size - 1 });
    EXPECT_EQ(rest.head.status, 206);
    EXPECT_TRUE(text(rest) == segment.substr(cut)) << "the rest differs";
    EXPECT_TRUE(FileSystem::list(root / "playback").empty()) << "written while writes wait";

    // Another player reads it whole from memory, without the origin.
    server->clearRequests();
    EXPECT_TRUE(text(get(playback)) == segment) << "the whole from memory differs";
    EXPECT_EQ(requestCount("/long.ts"), 0u);

    // Once written, the files hold the same bytes.
    cache->playbackStore().setWritesPausedForTesting(false);
    cache->playbackStore().flush();
    server.reset();
    EXPECT_TRUE(text(get(playback)) == segment) << "the whole from disk differs";
    EXPECT_TRUE(text(get(playback, std::pair<std::uint64_t, std::uint64_t> { cut - 10, cut + 10 }))
        == segment.substr(cut - 10, 21));
}

// The same while the cache writes behind as it would in use: the player leaves at a chunk's edge or
// inside one, and asks again for the rest while the proxy may still be taking the first answer
// from the origin and chunks are on their way to disk; an origin that ignores ranges answers the
// rest whole.
TEST_F(MediaCacheTest, ARangeAskedAgainAfterThePlayerLeftIsTheOriginsWhileChunksAreWritten)
{
    struct Case {
        const char* name;
        std::size_t cut;
        bool originHonoursRanges;
    };
    const std::size_t size = 8 * 1024 * 1024 + 4321;
    const Case cases[] = {
        { "inside a chunk", 5 * chunkSize + 1000, true },
        { "at a chunk's edge", 9 * chunkSize, true },
        { "one byte before the end", size - 1, true },
        { "origin without ranges", 3 * chunkSize + 77, false },
    };
    int next = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string segment = segmentBytes(20 + next, size);
        const std::string path = "/written" + std::to_string(next++) + ".ts";
        server->route(path, [&segment, whole = !test.originHonoursRanges](const Request& request) {
            return whole ? Reply { 200, { { "Content-Type", "video/mp2t" } }, segment }
                         : rangeReply(request, segment, "video/mp2t");
        });
        const std::string playback = cache->playbackURL(http(path));

        MCSDownloader downloader({ (testKeysDir() / "ca.pem").string() });
        LeavingPlayer leaving(test.cut);
        MCSFetchRequest request;
        request.url = playback;
        request.maxBytes = size;
        downloader.fetch(request, leaving);
        EXPECT_EQ(leaving.status, 200);
        EXPECT_TRUE(leaving.body == segment.substr(0, test.cut)) << "the first part differs";
        MCSFetchedBody rest = get(playback, std::pair<std::uint64_t, std::uint64_t> { test.cut, size - 1 });
        EXPECT_EQ(rest.head.status, 206);
        EXPECT_TRUE(text(rest) == segment.substr(test.cut)) << "the rest differs";

        cache->playbackStore().flush();
        EXPECT_TRUE(text(get(playback)) == segment) << "the whole differs once written";
    }
}

TEST_F(MediaCacheTest, EndingTheSessionsStopsTheirTransfersAndLaterConnectionsAreServed)
{
    // Transfers that wait for the origin longer than anything in this test waits.
    cache.reset();
    MCSMediaCacheOptions waiting = options();
    waiting.exports.fetch.idleTimeout = 120;
    cache = MCSMediaCache::open(waiting);
    server->route("/hang.mp4", [](const Request&) {
        Reply reply = Reply::text(200, "late");
        reply.delay = std::chrono::seconds(60);
        return reply;
    });
    std::optional<MCSFetchedBody> cut;
    std::thread player([&, url = cache->playbackURL(http("/hang.mp4"))] { cut = get(url); });
    // The session is inside its transfer once the origin has the request.
    ASSERT_TRUE(runUntil([&] { return requestCount("/hang.mp4") == 1; }, 20));

    auto start = std::chrono::steady_clock::now();
    MCSProxyServer::shared().endSessions(30);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    player.join();
    // A transfer that went on would hold the session to the end of the wait.
    EXPECT_LT(took, 10.0) << "the session's transfer was cancelled";
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->result.completed());
    EXPECT_NE(cut->result.code, HTTPError::Code::TimedOut) << "the player's connection was shut, not left";

    MCSFetchedBody later = get(cache->playbackURL(http("/file.mp4")));
    EXPECT_TRUE(later.result.completed());
    EXPECT_EQ(later.head.status, 200);
    EXPECT_EQ(later.body.size(), fileSize);
}

TEST_F(MediaCacheTest, ConnectionsBeyondTheSessionLimitAreToldTheProxyIsBusy)
{
    cache->playbackURL(http("/file.mp4")); // the proxy listens from here on
    auto connect = [] {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(MCSProxyServer::shared().port());
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    };
    // Players that hold their connections open without asking for anything yet.
    std::vector<int> idle;
    for (std::size_t i = 0; i < MCSProxyServer::maxSessions; ++i)
        idle.push_back(connect());

    int extra = connect();
    const std::string ask = "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_EQ(::send(extra, ask.data(), ask.size(), MSG_NOSIGNAL), static_cast<ssize_t>(ask.size()));
    std::string answer;
    char buffer[512];
    for (ssize_t got; (got = ::recv(extra, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    ::close(extra);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 503")) << answer.substr(0, 40);

    // Once players leave, their places serve others.
    for (int fd : idle)
        ::close(fd);
    int status = 0;
    runUntil(
        [&] {
            status = get(cache->playbackURL(http("/file.mp4"))).head.status;
            return status == 200;
        },
        20);
    EXPECT_EQ(status, 200);
}

// A downloader's kept connection ends for the origin when the downloader goes, also when a helper
// process (the web engine starts some) was started while it was open and inherited descriptors.
TEST_F(MediaCacheTest, DownloaderConnectionsCloseThoughAHelperProcessRuns)
{
    std::optional<HelperProcess> helper;
    server->route("/start-helper", [&helper](const Request&) {
        helper.emplace();
        return Reply::text(200, "started");
    });
    for (bool secure : { false, true }) {
        SCOPED_TRACE(secure ? "https" : "http");
        auto downloader
            = std::make_unique<MCSDownloader>(MCSFetchSettings { (testKeysDir() / "ca.pem").string() });
        EXPECT_EQ(text(fetchBody(*downloader, secure ? https("/start-helper") : http("/start-helper"), 100)),
            "started");
        ASSERT_TRUE(helper && helper->running());
        ASSERT_EQ(server->openConnections(), 1u) << "the connection was kept";
        downloader.reset();
        EXPECT_TRUE(runUntil([&] { return server->openConnections() == 0; }, 5));
        helper.reset();
    }
}
