// The chat message store at scale: saving and loading messages, and the chat badge's computation,
// each at a small and a large store. Goals: saving and loading cost the same per message at
// 10,000 as at 100 (lookups by seq do not read the table), and the badge the same with 10,000
// stored messages as with 10.

#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "bench/support/BenchGoals.h"
#include "platform/foundation/Log.h"
#include "platform/storage/ASConfigration.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

class ScratchDatabase {
public:
    ScratchDatabase()
    {
        Log::setSink([](std::string_view) {});
        std::string pattern = (std::filesystem::temp_directory_path() / "zvbench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_dir = pattern;
        use();
    }
    // Makes this the store that the tool reads and writes, opened before any timing.
    void use() const
    {
        ASConfigration::setDefaultDB((m_dir / "zvlist.db").string(), "zvlist.db");
        (void)ASConfigration::defaultDB();
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

// Per message: one call saves or loads 10,000 messages on either side, in one large store or in
// a hundred small ones.
void saveAndClear(std::int64_t count, int times)
{
    for (int i = 0; i < times; ++i) {
        fill(count);
        ZV_MessageASModel::deleteAll();
    }
}

void load(int times)
{
    for (int i = 0; i < times; ++i)
        benchmark::DoNotOptimize(ActiveSQLiteTool::loadMessages());
}

// The two stores of a scale goal, filled on first use and kept for the program's run.
struct Stores {
    std::unique_ptr<ScratchDatabase> large, small;
};

// The database settings are made first, so that they outlive the stores, which close their
// database when the program ends.
void settingsFirst()
{
    static const bool made = (ASConfigration::defaultDBPath(), true);
    (void)made;
}

Stores& filledStores(std::int64_t largeCount, std::int64_t smallCount)
{
    settingsFirst();
    static std::map<std::int64_t, Stores> all;
    Stores& stores = all[largeCount * 1000000 + smallCount];
    if (!stores.large) {
        stores.large = std::make_unique<ScratchDatabase>();
        fill(largeCount);
        stores.small = std::make_unique<ScratchDatabase>();
        fill(smallCount);
    }
    return stores;
}

ScratchDatabase& saveStore()
{
    settingsFirst();
    static ScratchDatabase store;
    return store;
}

const bool saveGoal = zvbench::addGoal({
    .name = "chat_store_save_10000_vs_100",
    .limit = 2.0,
    .subject = [] { saveAndClear(10000, 1); },
    .baseline = [] { saveAndClear(100, 100); },
    .rounds = 5,
    .setUp = [] { saveStore(); },
    .beforeSubject = [] { saveStore().use(); },
    .beforeBaseline = [] { saveStore().use(); },
});

const bool loadGoal = zvbench::addGoal({
    .name = "chat_store_load_10000_vs_100",
    .limit = 2.0,
    .subject = [] { load(1); },
    .baseline = [] { load(100); },
    .rounds = 7,
    .setUp = [] { filledStores(10000, 100); },
    .beforeSubject = [] { filledStores(10000, 100).large->use(); },
    .beforeBaseline = [] { filledStores(10000, 100).small->use(); },
});

const bool badgeGoal = zvbench::addGoal({
    .name = "chat_badge_10000_vs_10",
    .limit = 1.5,
    .subject = [] { benchmark::DoNotOptimize(ZVRootViewController::chatUnreadCount(20000)); },
    .baseline = [] { benchmark::DoNotOptimize(ZVRootViewController::chatUnreadCount(20000)); },
    .setUp = [] { filledStores(10000, 10); },
    .beforeSubject = [] { filledStores(10000, 10).large->use(); },
    .beforeBaseline = [] { filledStores(10000, 10).small->use(); },
});

}
