// Each account's own lists on the test server: a play report moves the history, the feed's strips
// and the title page's resume point together; accounts keep their lists apart; a signed-out
// caller has none and may not favourite; a state folder keeps them for the next server.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/SampleServerFixture.h"
#include "tools/testserver/AccountLists.h"
#include "tools/testserver/SampleAccounts.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace testserver;

namespace {

using json = nlohmann::json;

constexpr const char* kSampleListsFile = "lists/301877.json";

// A call of the API's handler as the app makes it, signed in by the token if any.
ApiReply viewerCall(const ApiServer& api, const std::optional<std::string>& token, const std::string& path,
    json parameters = json::object())
{
    ApiHandler handler = api.handler(path);
    if (!handler)
        return ApiReply::error(-1, "no handler for " + path);
    ApiCall call;
    call.method = std::string(endpointMethod(path).value_or("GET"));
    call.path = path;
    call.parameters = std::move(parameters);
    call.token = token;
    return handler(call);
}

json replyData(const ApiServer& api, const std::optional<std::string>& token, const std::string& path,
    json parameters = json::object())
{
    ApiReply reply = viewerCall(api, token, path, std::move(parameters));
    EXPECT_EQ(reply.errorCode, 0) << path << ": " << reply.msg;
    return reply.data.value_or(json());
}

std::string idOf(const json& value)
{
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return value.is_string() ? value.get<std::string>() : std::string();
}

// What the caller's lists say of where it stopped in each title.
struct Seen {
    std::vector<json> history; // every entry, sections in order
    std::map<std::string, json> strips; // strip title -> its items
    std::size_t sections = 0; // of the feed

    static Seen by(const ApiServer& api, const std::optional<std::string>& token)
    {
        Seen seen;
        if (token) {
            for (const json& section : replyData(api, token, "v1/user/playback/list")) {
                for (const json& entry : section.value("list", json::array()))
                    seen.history.push_back(entry);
            }
        }
        json feed = replyData(api, token, "v1/movie/index_recommend");
        seen.sections = feed.size();
        for (const json& section : feed) {
            if (section.value("layout", "") == "index_recommend_playback")
                seen.strips[section.value("title", "")] = section.value("list", json::array());
        }
        return seen;
    }

    std::optional<json> stripItem(const std::string& strip, const std::string& movieID) const
    {
        auto found = strips.find(strip);
        if (found == strips.end())
            return std::nullopt;
        for (const json& item : found->second) {
            if (idOf(item.value("movie_id", json())) == movieID)
                return item;
        }
        return std::nullopt;
    }
};

std::vector<std::string> favouriteIds(const ApiServer& api, const std::string& token)
{
    std::vector<std::string> ids;
    json page = replyData(api, token, "v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } });
    for (const json& item : page.value("list", json::array()))
        ids.push_back(idOf(item.value("movie_id", json())));
    return ids;
}

class ViewerListsTest : public zvtest::SampleServerTest {
protected:
    std::string sample = sampleToken;

    json detail(const std::optional<std::string>& token, const std::string& id)
    {
        return replyData(*api, token, "v1/movie/detail", { { "id", id } });
    }

    // A new account registered by phone, as the app registers one; its token.
    std::string registerAccount(const std::string& phone)
    {
        namespace asio = boost::asio;
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({ asio::ip::address_v4::loopback(), server->httpPort() });
        asio::write(socket,
            asio::buffer(
                std::string("POST /captcha/ticket HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                            "Content-Length: 0\r\n\r\n")));
        std::string reply;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        std::size_t end = reply.find("\r\n\r\n");
        std::string captcha = end == std::string::npos ? "" : reply.substr(end + 4);
        replyData(*api, std::nullopt, "v1/user/get_code",
            { { "to", phone }, { "send_type", "phone" }, { "captcha", captcha } });
        std::string code = SampleAccounts::of(*api)->lastCode(phone).value_or("");
        json registered = replyData(*api, std::nullopt, "v1/user/register/phone",
            { { "phone", phone }, { "password", "pass-1" }, { "sms_code", code } });
        return registered.value("access_token", "");
    }
};

}

// Each report lands in all three: the history's newest entry, the "继续观看" strip (and "我的追剧"
// for a favourite), and the title page's last playback, with episode, time and source.
TEST_F(ViewerListsTest, OneReportMovesTheHistoryTheStripsAndTheTitlePageTogether)
{
    struct Case {
        const char* title;
        const char* episode;
        const char* from;
        long long time;
        const char* episodeName;
        const char* progress;
        bool favourite; // so also in "我的追剧"
    };
    const Case cases[] = {
        // Watched on into episode 4 of a title of the history and the favourites.
        { "40217", "2170004", "lzm3u8", 3, "第04集", "看到第4集 00:03", true },
        // A title's second source.
        { "40311", "3120005", "ffm3u8", 7, "第05集", "看到第5集 00:07", false },
        // A series that only the lists show, new to the history.
        { "46001", "46001002", "lzm3u8", 11, "第02集", "看到第2集 00:11", true },
        // A film: its one episode.
        { "40522", "5220001", "lzm3u8", 10, "正片", "看到 00:10", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::size_t before = Seen::by(*api, sample).history.size();
        replyData(*api, sample, "v1/movie_play/report",
            { { "movie_id", c.title }, { "episode_id", c.episode }, { "movie_from", c.from },
                { "current_time", c.time }, { "duration", 12 } });
        Seen seen = Seen::by(*api, sample);

        ASSERT_FALSE(seen.history.empty());
        const json& newest = seen.history.front();
        EXPECT_EQ(idOf(newest["movie_id"]), c.title);
        EXPECT_EQ(idOf(newest["episode_id"]), c.episode);
        EXPECT_EQ(newest["episode_name"], c.episodeName);
        EXPECT_EQ(newest["current_time"], c.time);
        EXPECT_EQ(newest["duration"], 12);
        std::size_t added = std::string(c.title) == "46001" ? 1 : 0;
        EXPECT_EQ(seen.history.size(), before + added) << "one record per title";

        ASSERT_FALSE(seen.strips["继续观看"].empty());
        const json& first = seen.strips["继续观看"].front();
        EXPECT_EQ(idOf(first["movie_id"]), c.title);
        EXPECT_EQ(first["dynamic"], c.progress);
        EXPECT_EQ(idOf(first["episode_id"]), c.episode);
        EXPECT_EQ(first["current_time"], c.time);
        std::optional<json> followed = seen.stripItem("我的追剧", c.title);
        EXPECT_EQ(followed.has_value(), c.favourite);
        if (followed)
            EXPECT_EQ((*followed)["dynamic"], c.progress);

        json last = detail(sample, c.title).value("last_playback", json());
        EXPECT_EQ(idOf(last["episode_id"]), c.episode);
        EXPECT_EQ(last["current_time"], c.time);
        EXPECT_EQ(last["movie_from"], c.from);
    }
}

// A deleted history entry takes the title's resume point with it: the page starts from the
// beginning and the strip no longer shows it.
TEST_F(ViewerListsTest, ADeletedHistoryEntryLeavesTheStripAndThePageStartsFromTheBeginning)
{
    ASSERT_TRUE(detail(sample, "40217").contains("last_playback"));
    ASSERT_TRUE(Seen::by(*api, sample).stripItem("继续观看", "40217"));
    replyData(*api, sample, "v1/user/playback/delete", { { "ids", "9001" } });
    EXPECT_FALSE(detail(sample, "40217").contains("last_playback"));
    Seen seen = Seen::by(*api, sample);
    EXPECT_FALSE(seen.stripItem("继续观看", "40217"));
    // Still followed, from its status line.
    std::optional<json> followed = seen.stripItem("我的追剧", "40217");
    ASSERT_TRUE(followed);
    EXPECT_EQ((*followed)["dynamic"], "全12集");
    EXPECT_FALSE(followed->contains("episode_id"));
}

// A newly registered account starts with empty lists and a feed without strips; its favourite and
// its report are its own, and the sample account keeps its lists as they were.
TEST_F(ViewerListsTest, TwoAccountsKeepTheirListsApart)
{
    std::string fresh = registerAccount("13912345678");
    ASSERT_FALSE(fresh.empty());
    Seen sampleBefore = Seen::by(*api, sample);
    std::vector<std::string> sampleFavourites = favouriteIds(*api, sample);

    Seen empty = Seen::by(*api, fresh);
    EXPECT_TRUE(empty.history.empty());
    EXPECT_TRUE(empty.strips.empty());
    EXPECT_EQ(empty.sections + 2, sampleBefore.sections);
    EXPECT_TRUE(favouriteIds(*api, fresh).empty());
    EXPECT_EQ(replyData(*api, fresh, "v1/user/playback/list").size(), 3u) << "the sections, empty";
    EXPECT_FALSE(detail(fresh, "40217").value("is_collect", true));
    EXPECT_FALSE(detail(fresh, "40217").contains("last_playback"));

    replyData(*api, fresh, "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", 1 } });
    replyData(*api, fresh, "v1/movie_play/report",
        { { "movie_id", "40217" }, { "episode_id", "2170009" }, { "movie_from", "lzm3u8" },
            { "current_time", 2 }, { "duration", 12 } });
    EXPECT_EQ(favouriteIds(*api, fresh), std::vector<std::string> { "40311" });
    EXPECT_TRUE(detail(fresh, "40311").value("is_collect", false));
    Seen own = Seen::by(*api, fresh);
    ASSERT_EQ(own.history.size(), 1u);
    EXPECT_EQ(idOf(own.history[0]["episode_id"]), "2170009");
    ASSERT_TRUE(own.stripItem("我的追剧", "40311"));
    EXPECT_EQ((*own.stripItem("我的追剧", "40311"))["dynamic"], "全120集");
    EXPECT_EQ(own.strips["继续观看"].size(), 1u);

    EXPECT_EQ(favouriteIds(*api, sample), sampleFavourites);
    EXPECT_FALSE(detail(sample, "40311").value("is_collect", true));
    EXPECT_EQ(idOf(detail(sample, "40217")["last_playback"]["episode_id"]), "2170003");
    EXPECT_EQ(Seen::by(*api, sample).history, sampleBefore.history);
}

// Signed out: no favourite action, no favourites on the pages or in the search, no resume point,
// and the feed without its strips but with every other section.
TEST_F(ViewerListsTest, ASignedOutCallerHasNoListsAndMayNotFavourite)
{
    for (int state : { 1, 0 }) {
        ApiReply refused = viewerCall(
            *api, std::nullopt, "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", state } });
        EXPECT_EQ(refused.errorCode, 2000);
        EXPECT_EQ(refused.msg, "请先登录");
    }
    ApiReply stranger = viewerCall(*api, std::string("tk-nobody"), "v1/movie/collect/action",
        { { "movie_id", "40311" }, { "state", 1 } });
    EXPECT_EQ(stranger.errorCode, 2000);
    EXPECT_FALSE(detail(sample, "40311").value("is_collect", true))
        << "nobody's refused favourite reached it";

    json page = detail(std::nullopt, "40217");
    EXPECT_FALSE(page.value("is_collect", true));
    EXPECT_FALSE(page.contains("last_playback"));
    json found = replyData(*api, std::nullopt, "v1/movie/search", { { "keyword", "青石巷的雨季" } });
    ASSERT_FALSE(found.value("list", json::array()).empty());
    EXPECT_FALSE(found["list"][0].value("is_collect", true));

    Seen out = Seen::by(*api, std::nullopt);
    EXPECT_TRUE(out.strips.empty());
    EXPECT_EQ(out.sections + 2, Seen::by(*api, sample).sections);
}

namespace {

class ViewerListsStateTest : public ::testing::Test {
protected:
    zvtest::SampleServer start()
    {
        std::string error;
        std::shared_ptr<StateFolder> folder = StateFolder::open(dir.path(), &error);
        EXPECT_TRUE(folder) << error;
        return zvtest::SampleServer::start(
            zvtest::SampleServer::dataDir(), SamplePreparation::AtStart, folder);
    }

    std::string contents(const std::string& name)
    {
        std::ifstream stream(dir / name, std::ios::binary);
        return { std::istreambuf_iterator<char>(stream), {} };
    }

    zvtest::TempDir dir;
    std::string token = "tk-301877-first";
};

}

// A report, a deletion and a favourite outlive the server: the next one on the same folder
// answers with them, its title page resuming where the report left.
TEST_F(ViewerListsStateTest, ListsWrittenToTheStateFolderAreReadBackByTheNextServer)
{
    std::vector<json> history;
    std::vector<std::string> favourites;
    {
        zvtest::SampleServer first = start();
        ASSERT_TRUE(first.api) << first.error;
        EXPECT_TRUE(contents(kSampleListsFile).empty()) << "nothing changed, nothing written";
        replyData(*first.api, token, "v1/movie_play/report",
            { { "movie_id", "40217" }, { "episode_id", "2170004" }, { "movie_from", "lzm3u8" },
                { "current_time", 3 }, { "duration", 12 } });
        replyData(*first.api, token, "v1/user/playback/delete", { { "ids", "9002" } });
        replyData(*first.api, token, "v1/movie/collect/action", { { "movie_id", "40311" }, { "state", 1 } });
        history = Seen::by(*first.api, token).history;
        favourites = favouriteIds(*first.api, token);
        EXPECT_FALSE(contents(kSampleListsFile).empty());
    }
    zvtest::SampleServer again = start();
    ASSERT_TRUE(again.api) << again.error;
    Seen seen = Seen::by(*again.api, token);
    // The same entries, their pictures on the server that answers now.
    for (json& entry : seen.history) {
        EXPECT_TRUE(entry.value("cover", "").starts_with(again.server->httpsURL() + "/images/"))
            << entry.dump();
        entry.erase("cover");
    }
    for (json& entry : history)
        entry.erase("cover");
    EXPECT_EQ(seen.history, history);
    ASSERT_FALSE(seen.history.empty());
    EXPECT_EQ(idOf(seen.history[0]["episode_id"]), "2170004");
    EXPECT_EQ(favouriteIds(*again.api, token), favourites);
    EXPECT_EQ(favourites.front(), "40311");
    json last = replyData(*again.api, token, "v1/movie/detail", { { "id", "40217" } })
                    .value("last_playback", json());
    EXPECT_EQ(idOf(last["episode_id"]), "2170004");
    EXPECT_EQ(last["current_time"], 3);
    EXPECT_FALSE(
        replyData(*again.api, token, "v1/movie/detail", { { "id", "40311" } }).contains("last_playback"))
        << "its deleted record stays deleted";
}

// A lists file that is not lists stops the start with an error that names it, and is left as it
// was for a person to look at.
TEST_F(ViewerListsStateTest, ADamagedListsFileStopsTheStartNamingIt)
{
    const char* damaged[] = {
        "{\"records\": [",
        "[]",
        "{\"records\": 3, \"favourites\": []}",
        "{\"records\": [], \"favourites\": [{\"id\": \"7001\"}]}",
        "{\"records\": [{\"id\": \"x1\", \"movie_id\": \"40217\", \"episode_id\": \"2170003\"}], "
        "\"favourites\": []}",
        "{\"records\": [{\"id\": \"1\", \"movie_id\": \"40217\", \"episode_id\": \"2170003\", "
        "\"current_time\": -4}],"
        " \"favourites\": []}",
    };
    for (const char* content : damaged) {
        SCOPED_TRACE(content);
        std::filesystem::create_directories(dir / "lists");
        std::ofstream(dir / kSampleListsFile, std::ios::trunc) << content;
        zvtest::SampleServer refused = start();
        EXPECT_FALSE(refused.api);
        EXPECT_NE(refused.error.find((dir / kSampleListsFile).string()), std::string::npos) << refused.error;
        EXPECT_EQ(contents(kSampleListsFile), content);
    }
}

// The bounds of one account: the oldest record goes when a report would make one too many, while a
// favourite too many is refused; a title already held takes no new place.
TEST(AccountListsTest, AnAccountHoldsABoundedNumberOfRecordsAndFavourites)
{
    AccountLists lists;
    for (std::size_t n = 0; n <= AccountLists::maxRecords; ++n)
        lists.report({ .movieID = std::to_string(50000 + n), .episodeID = "1", .duration = 12 });
    EXPECT_EQ(lists.records().size(), AccountLists::maxRecords);
    EXPECT_EQ(lists.records().front().movieID, std::to_string(50000 + AccountLists::maxRecords));
    EXPECT_FALSE(lists.recordOf("50000")) << "the oldest went";

    for (std::size_t n = 0; n < AccountLists::maxFavourites; ++n)
        EXPECT_TRUE(lists.addFavourite({ .movieID = std::to_string(60000 + n) }));
    EXPECT_FALSE(lists.addFavourite({ .movieID = "70000" }));
    EXPECT_FALSE(lists.isFavourite("70000"));
    EXPECT_TRUE(lists.addFavourite({ .movieID = "60000" })) << "again, to the front";
    EXPECT_EQ(lists.favourites().size(), AccountLists::maxFavourites);
    EXPECT_EQ(lists.favourites().front().movieID, "60000");
}
