#include "platform/storage/ASConfigration.h"
#include "platform/storage/ASModel.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct BenchRecord : ASModel<BenchRecord> {
    std::string url;
    std::string name;
    std::string vod_id;
    std::string episodeId;
    double size = 0.0;
    double progress = 0.0;
    std::string state = "waiting";

    static const ASTable<BenchRecord>& table()
    {
        static const ASTable<BenchRecord> table { "BenchRecord",
            {
                { "url", &BenchRecord::url },
                { "name", &BenchRecord::name },
                { "vod_id", &BenchRecord::vod_id },
                { "episodeId", &BenchRecord::episodeId },
                { "size", &BenchRecord::size },
                { "progress", &BenchRecord::progress },
                { "state", &BenchRecord::state },
            } };
        return table;
    }
};

// A database file of its own in a fresh temporary folder, removed at the end.
class ScratchDatabase {
public:
    ScratchDatabase()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvbench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_dir = pattern;
        ASConfigration::setDefaultDB((m_dir / "bench.db").string(), "bench.db");
    }
    ~ScratchDatabase()
    {
        ASConfigration::closeDefaultDB();
        ASConfigration::setDefaultDB("", "");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

private:
    std::filesystem::path m_dir;
};

ASStatus insertRows(int count)
{
    return BenchRecord::transaction([count] {
        for (int i = 0; i < count; ++i) {
            BenchRecord record;
            record.url = "https://cdn.example.com/" + std::to_string(i) + "/index.m3u8";
            record.name = "第" + std::to_string(i) + "集";
            record.vod_id = std::to_string(i % 50);
            record.episodeId = std::to_string(i);
            record.state = i % 3 == 0 ? "finish" : "downing";
            if (auto saved = record.save(); !saved)
                return saved;
        }
        return ASStatus::success();
    });
}

void insertThousandInTransaction(benchmark::State& state)
{
    ScratchDatabase database;
    for (auto _ : state) {
        if (auto inserted = insertRows(1000); !inserted)
            state.SkipWithError(inserted.error().c_str());
        state.PauseTiming();
        BenchRecord::deleteAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(insertThousandInTransaction)->Unit(benchmark::kMillisecond);

void findAllWithFilter(benchmark::State& state)
{
    ScratchDatabase database;
    if (auto inserted = insertRows(1000); !inserted)
        state.SkipWithError(inserted.error().c_str());
    for (auto _ : state) {
        auto found = BenchRecord::findAll(ASQuery().notEqual("state", "finish").equal("vod_id", "7"));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(findAllWithFilter)->Unit(benchmark::kMicrosecond);

void findAllUnfinished(benchmark::State& state)
{
    ScratchDatabase database;
    if (auto inserted = insertRows(1000); !inserted)
        state.SkipWithError(inserted.error().c_str());
    for (auto _ : state) {
        auto found = BenchRecord::findAll(ASQuery().notEqual("state", "finish"));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(findAllUnfinished)->Unit(benchmark::kMicrosecond);

// The start of the app: the store opens (its whole file is checked for damage then) and the
// unfinished downloads are read, on the main thread.
void openAndFindUnfinished(benchmark::State& state)
{
    ScratchDatabase database;
    if (auto inserted = insertRows(static_cast<int>(state.range(0))); !inserted)
        state.SkipWithError(inserted.error().c_str());
    for (auto _ : state) {
        ASConfigration::closeDefaultDB();
        auto found = BenchRecord::findAll(ASQuery().notEqual("state", "finish"));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(openAndFindUnfinished)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}
