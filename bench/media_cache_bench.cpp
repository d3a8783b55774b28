// The media cache against the origin it stands in front of, in one run: a segment fetched
// straight from the local test server, through the playback proxy once cached, and through the
// proxy with an empty cache (read-through); and an export of a 100-segment playlist. At the end
// it prints one line per goal: "NAME ratio R (goal <= G) ok|MISS". The server's keys come from
// ZV_KEYS_DIR, else build/keys under the working folder (scripts/make-test-keys.sh makes them).

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

// Keeps the figures of each benchmark for the goal lines.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            auto& figures = results[run.run_name.function_name];
            for (const auto& [name, counter] : run.counters)
                figures[name] = counter.value;
        }
    }

    std::map<std::string, std::map<std::string, double>> results;
};

void printGoal(const char* name, double ratio, double goal)
{
    std::printf("%s ratio %.3f (goal <= %g) %s\n", name, ratio, goal, ratio <= goal ? "ok" : "MISS");
}

}

int main(int argc, char** argv)
{
    // The origin runs in this process and copies each 2 MiB reply several times; without this,
    // how the allocator returns and refaults those pages, not the proxy, decides the timings.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& results = reporter.results;
    auto figure = [&](const char* bench, const char* counter) -> double {
        auto found = results.find(bench);
        if (found == results.end() || !found->second.contains(counter))
            return 0;
        return found->second.at(counter);
    };
    double direct = figure("BM_SegmentDirect", "bytes_per_second");
    double directFirst = figure("BM_SegmentDirect", "first_byte_us");
    for (const char* proxied : { "BM_SegmentThroughProxyCached", "BM_SegmentThroughProxyReadThrough" }) {
        double throughput = figure(proxied, "bytes_per_second");
        if (direct <= 0 || throughput <= 0)
            continue;
        std::string name = std::string(proxied).substr(3);
        // At least half the direct throughput; at most 1 ms more to the first byte.
        printGoal((name + "_throughput_vs_direct").c_str(), direct / throughput, 2.0);
        printGoal((name + "_first_byte_extra_ms").c_str(),
            (figure(proxied, "first_byte_us") - directFirst) / 1000.0, 1.0);
    }
    return 0;
}
