// Each account's own lists on the test server: a play report moves the history, the feed's strips
// and the title page's resume point together; accounts keep their lists apart; a signed-out
// caller has none and may not favourite; a state folder keeps them for the next server.

#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/AccountLists.h"
#include "tools/testserver/ApiEndpoints.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace testserver;
using json = nlohmann::json;

namespace {

constexpr const char* kSampleListsFile = "lists/301877.json";

std::string idOf(const json& value)
{
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return value.is_string() ? value.get<std::string>() : std::string();
}

// What the caller's lists say of where it stopped: the history, newest first, and the feed.
struct Seen {
    std::vector<json> history;
    std::map<std::string, json> strips; // strip title -> its items
    std::size_t sections = 0;

    std::optional<json> stripItem(const std::string& strip, const std::string& movieID) const
    {
        const json items = strips.contains(strip) ? strips.at(strip) : json::array();
        for (const json& item : items) {
            if (idOf(item.value("movie_id", json())) == movieID)
                return item;
        }
        return std::nullopt;
    }
};

// The calls go over the wire as the app makes them; an empty token is a signed-out caller.
class ViewerListsTest : public ::testing::Test, protected zvtest::RoomClient {
protected:
    void SetUp() override { ASSERT_EQ(start(), ""); }
    void TearDown() override { stop(); }

    // A server over the sample data in place of the one before, keeping its state in the test's
    // folder; empty, or why it did not start.
    std::string start()
    {
        stop();
        std::string error;
        std::shared_ptr<StateFolder> folder = StateFolder::open(state.path(), &error);
        if (!folder)
            return error;
        zvtest::SampleServer started = zvtest::SampleServer::start(
            zvtest::SampleServer::dataDir(), SamplePreparation::AtStart, folder);
        server = std::move(started.server);
        api = std::move(started.api);
        if (api && !folder->take(&started.error))
            api.reset();
        return api ? "" : started.error;
    }

    void stop()
    {
        api.reset();
        server.reset();
    }

    json data(const std::string& token, const std::string& path, json parameters = json::object())
    {
        json reply
            = call(std::string(endpointMethod(path).value_or("GET")), path, std::move(parameters), token);
        EXPECT_TRUE(reply.is_object() && reply["errorCode"] == 0) << path << ": " << reply.dump();
        return reply.is_object() ? reply.value("data", json()) : json();
    }

    void report(const std::string& token, const char* movie, const char* episode, const char* from = "lzm3u8",
        long long time = 3)
    {
        data(token, "v1/movie_play/report",
            { { "movie_id", movie }, { "episode_id", episode }, { "movie_from", from },
                { "current_time", time }, { "duration", 12 } });
    }

    json detail(const std::string& token, const std::string& id)
    {
        return data(token, "v1/movie/detail", { { "id", id } });
    }

    Seen seen(const std::string& token)
    {
        Seen seen;
        if (!token.empty()) {
            for (const json& section : data(token, "v1/user/playback/list")) {
                for (const json& entry : section.value("list", json::array()))
                    seen.history.push_back(entry);
            }
        }
        json feed = data(token, "v1/movie/index_recommend");
        seen.sections = feed.size();
        for (const json& section : feed) {
            if (section.value("layout", "") == "index_recommend_playback")
                seen.strips[section.value("title", "")] = section.value("list", json::array());
        }
        return seen;
    }

    std::vector<std::string> favourites(const std::string& token)
    {
        std::vector<std::string> ids;
        json page = data(token, "v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } });
        for (const json& item : page.value("list", json::array()))
            ids.push_back(idOf(item.value("movie_id", json())));
        return ids;
    }

    // Everything the caller's lists show (the history, the favourites, the feed with its strips and
    // the title's page), without this server's addresses, which a restart changes.
    std::string shown(const std::string& token, const std::string& title)
    {
        std::string view = json {
            { "history", data(token, "v1/user/playback/list") },
            { "favourites",
                data(token, "v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } }) },
            { "feed", data(token, "v1/movie/index_recommend") }, { "page", detail(token, title) }
        }.dump();
        for (const std::string& base : { server->httpsURL(), server->httpURL() }) {
            for (std::size_t at = view.find(base); at != std::string::npos; at = view.find(base, at))
                view.erase(at, base.size());
        }
        return view;
    }

    std::string contents(const std::string& name)
    {
        std::ifstream stream(state / name, std::ios::binary);
        return { std::istreambuf_iterator<char>(stream), {} };
    }

    const std::string sample = kSampleToken;
    zvtest::TempDir state;
};

}

TEST_F(ViewerListsTest, OneReportMovesTheHistoryTheStripsAndTheTitlePageTogether)
{
    struct Case {
        const char *title, *episode, *from;
        long long time;
        const char *episodeName, *progress;
        bool favourite, newToHistory; // so also in "我的追剧"; none in the history before
    };
    const Case cases[] = {
        { "40217", "2170004", "lzm3u8", 3, "第04集", "看到第4集 00:03", true, false },
        { "40311", "3120005", "ffm3u8", 7, "第05集", "看到第5集 00:07", false, false }, // its second source
        { "46001", "46001002", "lzm3u8", 11, "第02集", "看到第2集 00:11", true, true }, // only in the lists
        { "40522", "5220001", "lzm3u8", 10, "正片", "看到 00:10", false, false }, // a film
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::size_t before = seen(sample).history.size();
        report(sample, c.title, c.episode, c.from, c.time);
        Seen after = seen(sample);

        ASSERT_FALSE(after.history.empty());
        EXPECT_EQ(after.history.size(), before + (c.newToHistory ? 1 : 0)) << "one record per title";
        const json& newest = after.history.front();
        EXPECT_EQ(idOf(newest["movie_id"]), c.title);
        EXPECT_EQ(idOf(newest["episode_id"]), c.episode);
        EXPECT_EQ(newest["episode_name"], c.episodeName);
        EXPECT_EQ(newest["current_time"], c.time);
        EXPECT_EQ(newest["duration"], 12);

        ASSERT_FALSE(after.strips["继续观看"].empty());
        const json& first = after.strips["继续观看"].front();
        EXPECT_EQ(idOf(first["movie_id"]), c.title);
        EXPECT_EQ(idOf(first["episode_id"]), c.episode);
        EXPECT_EQ(first["current_time"], c.time);
        EXPECT_EQ(first["dynamic"], c.progress);
        std::optional<json> followed = after.stripItem("我的追剧", c.title);
        EXPECT_EQ(followed.has_value(), c.favourite);
        if (followed) {
            EXPECT_EQ((*followed)["dynamic"], c.progress);
        }

        json last = detail(sample, c.title).value("last_playback", json());
        EXPECT_EQ(idOf(last["episode_id"]), c.episode);
        EXPECT_EQ(last["current_time"], c.time);
        EXPECT_EQ(last["movie_from"], c.from);
    }
}

TEST_F(ViewerListsTest, ADeletedHistoryEntryLeavesTheStripAndThePageStartsFromTheBeginning)
{
    ASSERT_TRUE(detail(sample, "40217").contains("last_playback"));
    ASSERT_TRUE(seen(sample).stripItem("继续观看", "40217"));
    data(sample, "v1/user/playback/delete", { { "ids", "9001" } });
    EXPECT_FALSE(detail(sample, "40217").contains("last_playback"));
    Seen after = seen(sample);
    EXPECT_FALSE(after.stripItem("继续观看", "40217"));
    // Still followed, from its status line.
    std::optional<json> followed = after.stripItem("我的追剧", "40217");
    ASSERT_TRUE(followed);
    EXPECT_EQ((*followed)["dynamic"], "全12集");
    EXPECT_FALSE(followed->contains("episode_id"));
}

TEST_F(ViewerListsTest, TwoAccountsKeepTheirListsApart)
{
    std::string fresh = registerAccount("13912345678", true);
    ASSERT_FALSE(fresh.empty());
    Seen sampleBefore = seen(sample);
    std::vector<std::string> sampleFavourites = favourites(sample);

    Seen empty = seen(fresh);
    EXPECT_TRUE(empty.history.empty());
    EXPECT_TRUE(empty.strips.empty());
    EXPECT_EQ(empty.sections + 2, sampleBefore.sections);
    EXPECT_TRUE(favourites(fresh).empty());
    EXPECT_EQ(data(fresh, "v1/user/playback/list").size(), 3u) << "the sections, empty";
    json page = detail(fresh, "40217");
    EXPECT_FALSE(page.value("is_collect", true));
    EXPECT_FALSE(page.contains("last_playback"));

    data(fresh, "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", 1 } });
    report(fresh, "40217", "2170009");
    EXPECT_EQ(favourites(fresh), std::vector<std::string> { "40311" });
    EXPECT_TRUE(detail(fresh, "40311").value("is_collect", false));
    Seen own = seen(fresh);
    ASSERT_EQ(own.history.size(), 1u);
    EXPECT_EQ(idOf(own.history[0]["episode_id"]), "2170009");
    EXPECT_EQ(own.stripItem("我的追剧", "40311").value_or(json())["dynamic"], "全120集");
    EXPECT_EQ(own.strips["继续观看"].size(), 1u);

    EXPECT_EQ(favourites(sample), sampleFavourites);
    EXPECT_FALSE(detail(sample, "40311").value("is_collect", true));
    EXPECT_EQ(idOf(detail(sample, "40217")["last_playback"]["episode_id"]), "2170003");
    EXPECT_EQ(seen(sample).history, sampleBefore.history);
}

TEST_F(ViewerListsTest, ASignedOutCallerHasNoListsAndMayNotFavourite)
{
    for (auto [token, state] : { std::pair { "", 1 }, { "", 0 }, { "tk-nobody", 1 } }) {
        json refused
            = call("POST", "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", state } }, token);
        EXPECT_EQ(refused["errorCode"], 2000) << token << state;
        EXPECT_EQ(refused["msg"], "请先登录");
    }
    EXPECT_FALSE(detail(sample, "40311").value("is_collect", true)) << "no refused favourite reached it";

    json page = detail("", "40217");
    EXPECT_FALSE(page.value("is_collect", true));
    EXPECT_FALSE(page.contains("last_playback"));
    json found = data("", "v1/movie/search", { { "keyword", "青石巷的雨季" } });
    ASSERT_FALSE(found.value("list", json::array()).empty());
    EXPECT_FALSE(found["list"][0].value("is_collect", true));

    Seen out = seen("");
    EXPECT_TRUE(out.strips.empty());
    EXPECT_EQ(out.sections + 2, seen(sample).sections);
}

// The sample files mark titles as favourites, as the sample account sees them; a caller signed
// out, or with a token the server does not know, sees none of them as one, on their pages and
// in the search alike.
TEST_F(ViewerListsTest, ACallerSignedOutSeesNoFavouriteWhereTheSampleFilesMarkOne)
{
    // id -> name of each title a file marks: the title pages' and the search results'.
    auto marked = [](const char* file) {
        std::ifstream stream(zvtest::SampleServer::dataDir() / "api" / file, std::ios::binary);
        json sample = json::parse(stream, nullptr, false);
        std::map<std::string, std::string> titles;
        for (const json& title : sample.is_object() ? sample.value("titles", json::array()) : json::array()) {
            if (title.value("is_collect", false))
                titles[idOf(title["id"])] = title.value("name", "");
        }
        return titles;
    };
    const std::map<std::string, std::string> pages = marked("detail.json");
    const std::map<std::string, std::string> results = marked("search.json");
    ASSERT_FALSE(pages.empty());
    ASSERT_FALSE(results.empty());
    auto searchSays = [&](const std::string& token, const std::string& name, const std::string& id) {
        for (const json& title :
            data(token, "v1/movie/search", { { "keyword", name } }).value("list", json())) {
            if (idOf(title["id"]) == id)
                return title.value("is_collect", json());
        }
        return json();
    };

    for (auto [token, favourite] :
        { std::pair { "", false }, { "tk-nobody", false }, { kSampleToken, true } }) {
        for (const auto& [id, name] : pages)
            EXPECT_EQ(detail(token, id).value("is_collect", json()), favourite) << token << " page " << id;
        for (const auto& [id, name] : results)
            EXPECT_EQ(searchSays(token, name, id), favourite) << token << " search " << name;
    }
}

TEST_F(ViewerListsTest, ListsWrittenToTheStateFolderAreReadBackByTheNextServer)
{
    EXPECT_EQ(contents(kSampleListsFile), "") << "nothing changed, nothing written";
    report(sample, "40217", "2170004");
    data(sample, "v1/user/playback/delete", { { "ids", "9002" } });
    data(sample, "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", 1 } });
    EXPECT_NE(contents(kSampleListsFile), "");
    std::vector<json> history = seen(sample).history;
    std::vector<std::string> favourited = favourites(sample);

    ASSERT_EQ(start(), "");
    Seen again = seen(sample);
    // The same entries, their pictures on the server that answers now.
    for (json& entry : again.history) {
        EXPECT_TRUE(entry.value("cover", "").starts_with(server->httpsURL() + "/images/")) << entry.dump();
        entry.erase("cover");
    }
    for (json& entry : history)
        entry.erase("cover");
    EXPECT_EQ(again.history, history);
    // Each entry keeps its time: the report of a moment ago is still today's, the sample's oldest
    // still earlier.
    json sections = data(sample, "v1/user/playback/list");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0]["title"], "今天");
    ASSERT_FALSE(sections[0]["list"].empty());
    EXPECT_EQ(idOf(sections[0]["list"][0]["movie_id"]), "40217");
    EXPECT_EQ(sections[2]["title"], "更早");
    ASSERT_FALSE(sections[2]["list"].empty());
    EXPECT_EQ(idOf(sections[2]["list"].back()["movie_id"]), idOf(history.back()["movie_id"]));
    EXPECT_EQ(favourites(sample), favourited);
    EXPECT_EQ(favourited.front(), "40311");
    json last = detail(sample, "40217").value("last_playback", json());
    EXPECT_EQ(idOf(last["episode_id"]), "2170004");
    EXPECT_EQ(last["current_time"], 3);
    EXPECT_FALSE(detail(sample, "40311").contains("last_playback")) << "its deleted record stays deleted";
}

// Every change is written, whole, before its reply: one that the disk refuses is answered 5001
// with the lists as they were, the same call is taken once the disk has room again, and the next
// server reads back exactly what was acknowledged.
TEST_F(ViewerListsTest, AChangeTheDiskRefusesIsNotTakenAndTheNextServerReadsBackWhatWasAcknowledged)
{
    struct Case {
        const char* what;
        const char* path;
        json parameters;
        const char* title; // whose page shows the change
    };
    const std::vector<Case> cases {
        { "a report of a title new to the history", "v1/movie_play/report",
            { { "movie_id", "46002" }, { "episode_id", "46002002" }, { "movie_from", "lzm3u8" },
                { "current_time", 5 }, { "duration", 12 } },
            "46002" },
        { "a report of a title the history holds", "v1/movie_play/report",
            { { "movie_id", "40217" }, { "episode_id", "2170005" }, { "movie_from", "lzm3u8" },
                { "current_time", 9 }, { "duration", 12 } },
            "40217" },
        { "a favourite added", "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", 1 } },
            "40311" },
        { "a favourite removed", "v1/movie/collect/action", { { "movie_id", "50103" }, { "state", 0 } },
            "50103" },
        { "history entries deleted", "v1/user/playback/delete", { { "ids", "9004,9005" } }, "40603" },
        { "favourites deleted", "v1/user/movie_collect/delete", { { "ids", "7003,7004" } }, "40522" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = shown(sample, c.title);
        const std::string file = contents(kSampleListsFile);
        json refused;
        {
            zvtest::FullDisk full;
            ASSERT_TRUE(full.active());
            refused = call(std::string(endpointMethod(c.path).value_or("GET")), c.path, c.parameters, sample);
        }
        EXPECT_EQ(refused.value("errorCode", -1), 5001) << refused.dump();
        EXPECT_EQ(refused.value("msg", ""), "保存失败，请稍后重试");
        EXPECT_EQ(shown(sample, c.title), before) << "the lists took a change the disk refused";
        EXPECT_EQ(contents(kSampleListsFile), file);

        data(sample, c.path, c.parameters);
        EXPECT_NE(shown(sample, c.title), before) << "the same call, once the disk has room";
        EXPECT_NE(contents(kSampleListsFile), file);
    }

    std::map<std::string, std::string> acknowledged;
    for (const Case& c : cases)
        acknowledged[c.title] = shown(sample, c.title);
    ASSERT_EQ(start(), "");
    for (const auto& [title, view] : acknowledged)
        EXPECT_EQ(shown(sample, title), view) << title;
}

// The next start goes on from the largest id that a file holds, so the id after the last must still
// be exact: the last is handed out once, then an entry that needs a new one is refused readably,
// and the lists read back as they were.
TEST_F(ViewerListsTest, TheLastIdOfTheListsIsHandedOutOnceAndNoneAfterIt)
{
    stop();
    std::filesystem::create_directories(state / "lists");
    std::ofstream(state / kSampleListsFile)
        << R"({"records": [{"id": "7", "movie_id": "40217", "episode_id": "2170003"}],
              "favourites": [{"id": "9007199254740989", "movie_id": "40311"}]})";
    ASSERT_EQ(start(), "");
    data(sample, "v1/movie/collect/action", { { "movie_id", "40522" }, { "state", 1 } });
    auto favouriteIds = [&] {
        std::vector<std::string> ids;
        json page = data(sample, "v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } });
        for (const json& item : page.value("list", json::array()))
            ids.push_back(idOf(item.value("id", json())));
        return ids;
    };
    const std::vector<std::string> handedOut { "9007199254740990", "9007199254740989" };
    EXPECT_EQ(favouriteIds(), handedOut);

    const std::string shownBefore = shown(sample, "46002");
    const std::pair<const char*, json> refused[] = {
        { "v1/movie/collect/action", { { "movie_id", "50103" }, { "state", 1 } } },
        { "v1/movie_play/report",
            { { "movie_id", "46002" }, { "episode_id", "46002002" }, { "movie_from", "lzm3u8" },
                { "current_time", 5 }, { "duration", 12 } } },
    };
    for (const auto& [path, parameters] : refused) {
        SCOPED_TRACE(path);
        json reply = call(std::string(endpointMethod(path).value_or("GET")), path, parameters, sample);
        EXPECT_EQ(reply.value("errorCode", -1), 1104) << reply.dump();
        EXPECT_EQ(reply.value("msg", ""), "编号已用完，无法再添加记录或收藏");
    }
    EXPECT_EQ(shown(sample, "46002"), shownBefore);
    // A title the lists hold keeps its id.
    report(sample, "40217", "2170004");
    EXPECT_EQ(idOf(seen(sample).history.front()["id"]), "7");

    ASSERT_EQ(start(), "");
    EXPECT_EQ(favouriteIds(), handedOut);
}

// The bounds the README gives, 500 records and 500 favourites: past them a report drops the
// oldest record, while a favourite is refused; a title already held takes no new place, and a
// state file holding more than either is refused.
TEST(AccountListsTest, AnAccountHoldsABoundedNumberOfRecordsAndFavourites)
{
    constexpr std::size_t records = 500;
    constexpr std::size_t favourites = 500;
    auto record = [](std::size_t n) {
        PlaybackRecord made;
        made.movieID = std::to_string(50000 + n);
        made.episodeID = "1";
        made.duration = 12;
        return made;
    };
    auto favourite = [](std::string movieID) {
        Favourite made;
        made.movieID = std::move(movieID);
        return made;
    };
    AccountLists lists;
    for (std::size_t n = 0; n <= records; ++n)
        lists.report(record(n));
    EXPECT_EQ(lists.records().size(), records);
    EXPECT_EQ(lists.records().front().movieID, std::to_string(50000 + records));
    EXPECT_FALSE(lists.recordOf("50000")) << "the oldest went";
    EXPECT_TRUE(lists.recordOf("50001"));

    std::size_t taken = 0;
    for (std::size_t n = 0; n < favourites; ++n)
        taken += lists.addFavourite(favourite(std::to_string(60000 + n))) ? 1 : 0;
    EXPECT_EQ(taken, favourites);
    EXPECT_FALSE(lists.addFavourite(favourite("70000")));
    EXPECT_FALSE(lists.isFavourite("70000"));
    EXPECT_TRUE(lists.addFavourite(favourite("60000"))) << "again, to the front";
    EXPECT_EQ(lists.favourites().size(), favourites);
    EXPECT_EQ(lists.favourites().front().movieID, "60000");

    struct FileCase {
        std::size_t records, favourites;
        bool read;
    };
    for (const FileCase& c : std::vector<FileCase> {
             { records, favourites, true }, { records + 1, 0, false }, { 0, favourites + 1, false } }) {
        json file = { { "records", json::array() }, { "favourites", json::array() } };
        for (std::size_t n = 0; n < c.records; ++n)
            file["records"].push_back({ { "id", std::to_string(n + 1) },
                { "movie_id", std::to_string(50000 + n) }, { "episode_id", "1" } });
        for (std::size_t n = 0; n < c.favourites; ++n)
            file["favourites"].push_back(
                { { "id", std::to_string(n + 1) }, { "movie_id", std::to_string(60000 + n) } });
        std::optional<AccountLists> back = AccountLists::fromJSON(file);
        EXPECT_EQ(back.has_value(), c.read) << c.records << " records, " << c.favourites << " favourites";
        if (back) {
            EXPECT_EQ(back->records().size(), c.records);
            EXPECT_EQ(back->favourites().size(), c.favourites);
        }
    }
}
