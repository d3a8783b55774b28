#pragma once

#include "platform/media/cache/MCSDownloader.h"
#include "platform/media/cache/MCSMediaCache.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace zvtest {

// Bytes of segment `index` of a synthetic stream: recognisable, and different for each segment.
std::string segmentBytes(int index, std::size_t size);
// The 16-byte key the synthetic streams use.
const std::string& streamKey();
// `body` as an origin serves it: whole, or the single byte range the request asks for.
testserver::Reply rangeReply(
    const testserver::Request& request, const std::string& body, const std::string& type);

// A media cache over a fresh folder, and the local test server with synthetic media:
//  /vod/master.m3u8             master with two variants, v1 first
//  /vod/v1/index.m3u8           `segmentCount` segments seg<i>.ts of `segmentSize` bytes, AES-128
//                               with /vod/key.bin
//  /vod/v2/index.m3u8           the same segments without a key
//  /vod/v1/seg<i>.ts, /vod/key.bin
//  /slow/index.m3u8             segments that each take `slowDelay` to answer
//  /file.mp4                    `fileSize` bytes, honours single byte ranges
// Tests add their own routes for broken input. The server's record tells what was fetched.
class MediaCacheTest : public MainLoopTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a cache over the same folder, as a new process would (the old one is closed first).
    void reopen();
    MCSMediaCacheOptions options() const;

    std::string http(const std::string& path) const { return server->httpURL() + path; }
    std::string https(const std::string& path) const { return server->httpsURL() + path; }

    // A media playlist text of `count` entries with the given addresses.
    static std::string mediaPlaylist(
        const std::vector<std::string>& segments, const std::string& keyURI = {}, bool endList = true);

    // Waits (real time, running the main queue) until the exporter reaches the status.
    bool waitForStatus(
        const std::shared_ptr<MCSAssetExporter>& exporter, MCSAssetExportStatus status, double seconds = 20);
    size_t requestCount(const std::string& path) const { return server->requestsTo(path).size(); }

    // A blocking GET (through the proxy, or straight to the server).
    MCSFetchedBody get(
        const std::string& url, std::optional<std::pair<std::uint64_t, std::uint64_t>> range = {});

    int segmentCount = 6;
    std::size_t segmentSize = 40 * 1024;
    std::chrono::milliseconds slowDelay { 300 };
    std::size_t fileSize = 300 * 1000;
    std::uint64_t chunkSize = 64 * 1024;

    std::unique_ptr<TempDir> home;
    std::filesystem::path root;
    std::unique_ptr<testserver::TestServer> server;
    std::shared_ptr<MCSMediaCache> cache;
};

}
