// The media cache against the origin it stands in front of, in one run: a segment fetched
// straight from the local test server, through the playback proxy once cached, and through the
// proxy with an empty cache (read-through); and an export of a 100-segment playlist. Goals: through
// the proxy a segment comes at least half as fast as straight from the origin once cached, and
// the first time (read through) takes at most a quarter longer than straight from the origin;
// either way with at most 1 ms more to its first byte. The server's keys come from ZV_KEYS_DIR, else
// build/keys under the working folder (scripts/make-test-keys.sh makes them).

#include "bench/support/BenchGoals.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/FileSystem.h"
#include "platform/media/cache/MCSDownloader.h"
#include "platform/media/cache/MCSMediaCache.h"
#include "tools/testserver/TestServer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::size_t segmentSize = 2 * 1024 * 1024;
constexpr int exportSegments = 100;
constexpr std::size_t exportSegmentSize = 32 * 1024;

// The server, a cache over a scratch folder, and the addresses the benchmarks fetch.
class Setup {
public:
    Setup()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvbench-media-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_dir = pattern;
        const char* keys = std::getenv("ZV_KEYS_DIR");
        std::string error;
        m_server = testserver::TestServer::start({ keys ? keys : "build/keys", {} }, &error);
        if (!m_server)
            std::fprintf(stderr, "media_cache_bench: %s\n", error.c_str());
        if (!m_server)
            return;
        std::string segment(segmentSize, 'v');
        m_server->route("/segment.ts", [segment](const testserver::Request&) {
            return testserver::Reply { 200, { { "Content-Type", "video/mp2t" } }, segment };
        });
        std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:2\n";
        for (int i = 0; i < exportSegments; ++i)
            playlist += "#EXTINF:2,\ns" + std::to_string(i) + ".ts\n";
        playlist += "#EXT-X-ENDLIST\n";
        m_server->route("/hundred/index.m3u8",
            [playlist](const testserver::Request&) { return testserver::Reply::text(200, playlist); });
        std::string small(exportSegmentSize, 's');
        m_server->routePrefix("/hundred/s",
            [small](const testserver::Request&) { return testserver::Reply::text(200, small); });

        MCSMediaCacheOptions options;
        options.root = m_dir / "cache";
        options.exports.progressInterval = 0.1;
        options.maxPlaybackCacheBytes = 128 * 1024 * 1024;
        cache = MCSMediaCache::open(options);
    }

    ~Setup()
    {
        cache.reset();
        m_server.reset();
        FileSystem::remove(m_dir);
    }

    bool ready() const { return m_server && cache; }
    std::string origin(const std::string& path) const { return m_server->httpURL() + path; }

    std::shared_ptr<MCSMediaCache> cache;

private:
    std::filesystem::path m_dir;
    std::unique_ptr<testserver::TestServer> m_server;
};

Setup& setup()
{
    // The origin runs in this process and copies each 2 MiB reply several times; without this,
    // how the allocator returns and refaults those pages, not the proxy, decides the timings.
    static const bool tuned = [] {
        mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
        return true;
    }();
    (void)tuned;
    static Setup instance;
    return instance;
}

// Counts a body and notes when its first byte came.
class TimingSink : public MCSFetchSink {
public:
    explicit TimingSink(SteadyClock::time_point start)
        : m_start(start)
    { }
    bool receiveHead(const MCSFetchHead& head) override
    {
        status = head.status;
        return true;
    }
    bool receiveData(const std::uint8_t*, std::size_t size) override
    {
        if (bytes == 0)
            firstByte = std::chrono::duration<double, std::micro>(SteadyClock::now() - m_start).count();
        bytes += size;
        return true;
    }

    int status = 0;
    std::size_t bytes = 0;
    double firstByte = 0;

private:
    SteadyClock::time_point m_start;
};

// Each read-through fetch asks for an address the cache has not seen, as a player moving on to the
// next segment does (the cache keeps within its size meanwhile).
void fetchSegment(benchmark::State& state, bool proxied, bool fresh)
{
    MCSDownloader downloader({});
    std::string url = setup().origin("/segment.ts");
    if (proxied)
        url = setup().cache->playbackURL(url);
    int next = 0;
    std::vector<double> firstBytes;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            url = setup().cache->playbackURL(setup().origin("/segment.ts?n=" + std::to_string(next++)));
            state.ResumeTiming();
        }
        MCSFetchRequest request;
        request.url = url;
        request.maxBytes = segmentSize * 2;
        TimingSink sink(SteadyClock::now());
        MCSFetchResult result = downloader.fetch(request, sink);
        if (!result.completed() || sink.status != 200 || sink.bytes != segmentSize) {
            state.SkipWithError("the segment did not arrive whole");
            return;
        }
        firstBytes.push_back(sink.firstByte);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * segmentSize));
    // The median: on a shared machine a few late wake-ups would otherwise decide the mean.
    std::sort(firstBytes.begin(), firstBytes.end());
    if (!firstBytes.empty())
        state.counters["first_byte_us"] = firstBytes[firstBytes.size() / 2];
}

void BM_SegmentDirect(benchmark::State& state)
{
    if (!setup().ready())
        return state.SkipWithError("no test server");
    fetchSegment(state, false, false);
}
BENCHMARK(BM_SegmentDirect)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SegmentThroughProxyCached(benchmark::State& state)
{
    if (!setup().ready())
        return state.SkipWithError("no test server");
    fetchSegment(state, true, false);
}
BENCHMARK(BM_SegmentThroughProxyCached)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SegmentThroughProxyReadThrough(benchmark::State& state)
{
    if (!setup().ready())
        return state.SkipWithError("no test server");
    fetchSegment(state, true, true);
}
BENCHMARK(BM_SegmentThroughProxyReadThrough)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Export100Segments(benchmark::State& state)
{
    if (!setup().ready())
        return state.SkipWithError("no test server");
    const std::string url = setup().origin("/hundred/index.m3u8");
    for (auto _ : state) {
        state.PauseTiming();
        setup().cache->removeExportAsset(url);
        state.ResumeTiming();
        auto exporter = setup().cache->exportAsset(url, true);
        bool finished = exporter
            && RunLoop::main().runUntil(
                [&] {
                    auto status = exporter->status();
                    return status == MCSAssetExportStatus::finished || status == MCSAssetExportStatus::failed;
                },
                60);
        if (!finished || exporter->status() != MCSAssetExportStatus::finished) {
            state.SkipWithError("the export did not finish");
            return;
        }
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * exportSegments * exportSegmentSize));
}
BENCHMARK(BM_Export100Segments)->Unit(benchmark::kMillisecond)->UseRealTime();

// One whole fetch of the segment for the goals: real seconds in all and to the first byte. A
// fetch that fails counts as taking for ever, so that the goal is missed.
struct Fetch {
    double total = 1e9;
    double firstByte = 1e9;
};

int nextFresh = 0;

// Each side keeps its downloader (and so its connection), as a player does.
Fetch fetchOnce(bool proxied, bool fresh)
{
    static MCSDownloader direct({});
    static MCSDownloader throughProxy({});
    if (!setup().ready())
        return {};
    std::string url = setup().origin(fresh ? "/segment.ts?goal=" + std::to_string(nextFresh++) : "/segment.ts");
    if (proxied)
        url = setup().cache->playbackURL(url);
    MCSFetchRequest request;
    request.url = url;
    request.maxBytes = segmentSize * 2;
    auto start = SteadyClock::now();
    TimingSink sink(start);
    MCSFetchResult result = (proxied ? throughProxy : direct).fetch(request, sink);
    if (!result.completed() || sink.status != 200 || sink.bytes != segmentSize)
        return {};
    return { std::chrono::duration<double>(SteadyClock::now() - start).count(), sink.firstByte / 1e6 };
}

// Real seconds of twenty fetches in a row: the loopback origin stalls now and then (delayed
// acknowledgements), and a sample must hold as many stalls as the other side's.
double fetchTime(bool proxied, bool fresh)
{
    double total = 0;
    for (int i = 0; i < 20; ++i)
        total += fetchOnce(proxied, fresh).total;
    return total;
}

// Through the proxy: the time of a whole segment against the origin's, and the extra time to the
// first byte (a direct and a proxied fetch back to back) against 1 ms; a proxy that answers
// first sooner counts as no extra time.
bool addProxyGoals(const std::string& name, bool fresh, double throughputLimit)
{
    auto warm = [fresh] {
        if (!fresh)
            fetchOnce(true, false);
    };
    zvbench::addGoal({
        .name = name + "_throughput_vs_direct",
        .limit = throughputLimit,
        .rounds = 9,
        .setUp = warm,
        .sample = [fresh] { return fetchTime(true, fresh); },
        .baselineSample = [] { return fetchTime(false, false); },
    });
    return zvbench::addGoal({
        .name = name + "_first_byte_extra_ms",
        .limit = 1.0,
        .fixedBaseline = std::chrono::milliseconds(1),
        .rounds = 9,
        .setUp = warm,
        .sample =
            [fresh] {
                double direct = fetchOnce(false, false).firstByte;
                return std::max(1e-9, fetchOnce(true, fresh).firstByte - direct);
            },
    });
}

const bool cachedGoals = addProxyGoals("SegmentThroughProxyCached", false, 2.0);
const bool readThroughGoals = addProxyGoals("SegmentThroughProxyReadThrough", true, 1.25);
}
