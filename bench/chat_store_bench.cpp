// The chat message store at scale: saving and loading messages, and the chat badge's computation,
// each at a small and a large store. After the runs it prints one line per scale ratio:
//   NAME ratio R (goal <= G) ok|MISS
// Saving and loading should cost the same per message at 10,000 as at 100 (lookups by seq do
// not read the table), and the badge the same with 10,000 stored messages as with 10.

#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/foundation/Log.h"
#include "platform/storage/ASConfigration.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

class ScratchDatabase {
public:
    ScratchDatabase()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvbench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_dir = pattern;
        ASConfigration::setDefaultDB((m_dir / "zvlist.db").string(), "zvlist.db");
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

Message sampleMessage(std::int64_t seq)
{
    Message message;
    message.set_seq(seq);
    message.set_message_type(MT_TEXT);
    message.set_message_content("第" + std::to_string(seq) + "条：今晚的更新太好看了，配乐也好听");
    message.set_send_time(1717326000000 + seq * 1000);
    message.set_receiver_type(RT_ROOM);
    message.set_receiver_id(1);
    Sender* sender = message.mutable_sender();
    sender->set_sender_type(ST_USER);
    sender->set_sender_id(100000 + seq % 50);
    sender->set_nickname("追剧的猫");
    sender->set_avatar_url("https://127.0.0.1:9313/images/avatar.png");
    sender->set_rank_name("资深影迷");
    sender->set_rank_color("03A9F4");
    return message;
}

void fill(std::int64_t count)
{
    for (std::int64_t seq = 1; seq <= count; ++seq)
        ActiveSQLiteTool::saveMessage(sampleMessage(seq));
}

void saveMessages(benchmark::State& state)
{
    ScratchDatabase database;
    for (auto _ : state) {
        fill(state.range(0));
        state.PauseTiming();
        ZV_MessageASModel::deleteAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(saveMessages)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void loadMessages(benchmark::State& state)
{
    ScratchDatabase database;
    fill(state.range(0));
    for (auto _ : state) {
        std::vector<Message> messages = ActiveSQLiteTool::loadMessages();
        if (messages.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("not every message loaded");
        benchmark::DoNotOptimize(messages);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadMessages)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void chatBadge(benchmark::State& state)
{
    ScratchDatabase database;
    fill(state.range(0));
    for (auto _ : state) {
        std::string badge = ZVRootViewController::chatBadgeText(ZVRootViewController::chatUnreadCount(20000));
        benchmark::DoNotOptimize(badge);
    }
}
BENCHMARK(chatBadge)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Keeps each run's time per item (or per iteration) for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0)
                continue;
            double perIteration = run.real_accumulated_time / static_cast<double>(run.iterations);
            auto items = run.counters.find("items_per_second");
            double perItem = items != run.counters.end() && items->second.value > 0
                ? 1.0 / items->second.value
                : perIteration;
            times[run.benchmark_name()] = perItem;
        }
    }

    void printRatio(
        const std::string& name, const std::string& large, const std::string& small, double goal) const
    {
        auto a = times.find(large);
        auto b = times.find(small);
        if (a == times.end() || b == times.end() || b->second <= 0)
            return;
        double ratio = a->second / b->second;
        std::printf(
            "%s ratio %.2f (goal <= %.2f) %s\n", name.c_str(), ratio, goal, ratio <= goal ? "ok" : "MISS");
    }

    std::map<std::string, double> times;
};

}

int main(int argc, char** argv)
{
    Log::setSink([](std::string_view) {});
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("chat_store_save_10000_vs_100", "saveMessages/10000", "saveMessages/100", 2.0);
    reporter.printRatio("chat_store_load_10000_vs_100", "loadMessages/10000", "loadMessages/100", 2.0);
    reporter.printRatio("chat_badge_10000_vs_10", "chatBadge/10000", "chatBadge/10", 1.5);
    benchmark::Shutdown();
    return 0;
}
