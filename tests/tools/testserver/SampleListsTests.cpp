// No dead end in the sample data: every title that a list of the sample API shows opens a title
// page with sources and an episode that plays from this server's own video.

#include "tests/tools/testserver/SampleServerFixture.h"
#include "tools/testserver/StaticFiles.h"

#include <deque>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>

using namespace testserver;

namespace {

using json = nlohmann::json;

// The hand-written sample of a title without sources.
constexpr const char* kSampleWithoutSources = "40733";

class SampleListsTest : public zvtest::SampleServerTest { };

}

TEST_F(SampleListsTest, EveryTitleOfEveryListOpensWithSourcesAndAnEpisodeThatPlays)
{
    // The lists, as the screens ask for them; each id with the list that showed it first.
    std::map<std::string, std::string> shownBy;
    std::deque<std::string> queue;
    auto shown = [&](const json& id, const std::string& list) {
        std::string text = idText(id);
        EXPECT_FALSE(text.empty()) << "an item of " << list << " without a title id";
        if (!text.empty() && shownBy.emplace(text, list).second)
            queue.push_back(text);
    };

    for (const json& section : data("v1/movie/index_recommend")) {
        std::string layout = section.value("layout", "");
        for (const json& item : listIn(section, "list")) {
            if (layout == "index_recommend_carousel") {
                if (item.value("type", 0) == 1)
                    shown(item["click"], "feed carousel");
            } else if (layout == "index_recommend_playback") {
                shown(item["movie_id"], "feed strip");
            } else {
                shown(item["id"], "feed grid");
            }
        }
    }
    for (const json& ranking : data("v1/movie/ranking/list")) {
        json titles = listIn(ranking, "movie_data");
        if (titles.empty())
            titles = data("v1/movie/ranking/data", { { "id", ranking.value("id", "") } });
        EXPECT_FALSE(titles.empty()) << ranking.dump();
        for (const json& title : titles)
            shown(title["id"], "ranking " + ranking.value("title", ""));
    }
    // Searches: the hot words, the words of the search rankings, and the full title of each
    // short video ("播放正片" searches for its title).
    std::set<std::string> keywords;
    for (const json& word : data("v1/movie/search_lately_words"))
        keywords.insert(word.value("word", ""));
    for (const json& ranking : data("v1/movie/search_ranking")) {
        for (const json& word : listIn(ranking, "list"))
            keywords.insert(word.value("word", ""));
    }
    std::size_t clips = 0;
    for (const json& clip : listIn(data("v1/video/display", { { "pageSize", 50 } }), "list")) {
        keywords.insert(clip.value("title", ""));
        ++clips;
    }
    EXPECT_GT(clips, 0u);
    for (const std::string& keyword : keywords) {
        std::vector<std::string> found = search(keyword);
        EXPECT_FALSE(found.empty()) << "a search for " << keyword << " finds nothing";
        for (const std::string& id : found)
            shown(id, "search " + keyword);
    }
    for (const json& title : listIn(data("v1/movie/explore/list"), "list"))
        shown(title["id"], "explore");
    for (int typeId : { 1, 2, 3 }) {
        for (int page = 1; page <= 20; ++page) {
            json list = listIn(
                data("v1/movie/screen/list", { { "type_id", typeId }, { "page", page }, { "pageSize", 50 } }),
                "list");
            for (const json& title : list)
                shown(title["id"], "filter catalogue " + std::to_string(typeId));
            if (list.size() < 50)
                break;
        }
    }
    for (const json& section : data("v1/user/playback/list")) {
        for (const json& item : listIn(section, "list"))
            shown(item["movie_id"], "history");
    }
    for (const json& item :
        listIn(data("v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 50 } }), "list"))
        shown(item["movie_id"], "favourites");
    for (const json& notice : listIn(data("v1/notice/list", { { "page", 1 }, { "pageSize", 50 } }), "list")) {
        if (notice.value("type", 0) == 2)
            shown(notice["content"], "notices");
    }
    std::size_t fromLists = shownBy.size();

    // Each title: its page, every source's episodes, the first episode's address answered with
    // video; its related titles join the walk.
    std::size_t generated = 0;
    while (!queue.empty()) {
        std::string id = queue.front();
        queue.pop_front();
        SCOPED_TRACE("title " + id + " of " + shownBy[id]);
        json title = data("v1/movie/detail", { { "id", id } });
        ASSERT_TRUE(title.is_object());
        EXPECT_EQ(idText(title["id"]), id);
        EXPECT_FALSE(idText(title.value("name", json())).empty());
        for (const json& related : listIn(title, "recommendList"))
            shown(related["id"], "related titles of " + id);
        json sources = listIn(title, "play_from");
        if (id == kSampleWithoutSources) {
            EXPECT_TRUE(sources.empty());
            continue;
        }
        ASSERT_FALSE(sources.empty());
        json first;
        for (const json& source : sources) {
            std::string code = idText(source.value("code", json()));
            json episodes = data("v1/movie_addr/list", { { "movie_id", id }, { "from_code", code } });
            ASSERT_TRUE(episodes.is_array()) << code;
            EXPECT_EQ(episodes, listIn(source, "list")) << code;
            if (first.is_null() && !episodes.empty())
                first = episodes[0];
        }
        ASSERT_TRUE(first.is_object()) << "no source with episodes";
        std::string address = first.value("play_url", "");
        if (!first.value("ready_to_play", false))
            address = data(
                "v1/movie_addr/parse", { { "play_url", address }, { "from_code", first["from_code"] } })
                          .value("url", "");
        auto [status, body] = fetch(address);
        EXPECT_EQ(status, 200) << address;
        EXPECT_FALSE(body.empty()) << address;
        if (address.find(".m3u8") != std::string::npos) {
            EXPECT_TRUE(body.starts_with("#EXTM3U")) << address;
        }
        generated += idText(first.value("episode_id", json())) == id + "001";
    }
    EXPECT_GE(fromLists, 120u);
    EXPECT_GE(generated, 100u) << "pages of the template";
    for (const char* id : { "40609", "50102", "40603", "42018" })
        EXPECT_TRUE(shownBy.contains(id)) << id;
}

// The downloads' sample is found by its name, a favourite of a title that only a list shows
// keeps its name, and the hand-written title pages are served as written.
TEST_F(SampleListsTest, HandWrittenTitlesStayAsWrittenAndOthersAreFoundAndKeptByName)
{
    EXPECT_EQ(search("山间信号站"), std::vector<std::string> { "40805" });
    EXPECT_EQ(search("雾港来信").front(), "40618");
    data("v1/movie/collect/action", { { "movie_id", "40609" }, { "state", 1 } });
    json favourite = listIn(data("v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 1 } }), "list");
    ASSERT_EQ(favourite.size(), 1u);
    EXPECT_EQ(favourite[0]["movie_id"], "40609");
    EXPECT_EQ(favourite[0]["movie_name"], "纸鸢少年");

    std::ifstream stream(dataDir() / "api" / "catalogue.json");
    std::stringstream text;
    text << stream.rdbuf();
    json catalogue = json::parse(text.str());
    std::function<void(json&)> point = [&](json& value) {
        if (value.is_string() && value.get<std::string>().find("://127.0.0.1:0/") != std::string::npos)
            value = pointAtLoopback(value.get<std::string>(), server->httpPort(), server->httpsPort());
        else if (value.is_structured())
            for (json& element : value)
                point(element);
    };
    point(catalogue);
    for (json& title : catalogue["titles"]) {
        std::string id = idText(title["id"]);
        if (id == "40618" || id == "40805") {
            EXPECT_EQ(data("v1/movie/detail", { { "id", id } }), title) << id;
        }
    }
    json longTitle = data("v1/movie/detail", { { "id", "40311" } });
    EXPECT_EQ(longTitle["play_from"][0]["list"].size(), 120u);
    EXPECT_EQ(longTitle["name"], "北方的灯塔");
}

TEST_F(SampleListsTest, ANumberOfAQueryPastItsFieldIsNeverWrappedIntoIt)
{
    constexpr std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    auto reply = [&](const std::string& path, json parameters) {
        testserver::ApiCall call;
        call.method = std::string(testserver::endpointMethod(path).value_or("GET"));
        call.path = path;
        call.parameters = std::move(parameters);
        call.token = sampleToken;
        return api->handler(path)(call);
    };
    // A query past its field is refused, not answered as the small or negative number it wraps to.
    struct Refused {
        const char* what;
        const char* path;
        json parameters;
    };
    const Refused refused[] = {
        { "a filter page of the class 2^64 - 1", "v1/movie/screen/list", { { "type_id", top } } },
        { "a filter page of a class past every number, as text", "v1/movie/screen/list",
            { { "type_id", "99999999999999999999" } } },
        { "the filter page 2^64 - 1", "v1/movie/screen/list", { { "type_id", 1 }, { "page", top } } },
        { "the notices' page 2^64 - 1", "v1/notice/list", { { "page", top }, { "pageSize", 10 } } },
        { "the notices' page past every number, as text", "v1/notice/list",
            { { "page", "99999999999999999999" }, { "pageSize", 10 } } },
    };
    for (const Refused& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_NE(reply(c.path, c.parameters).errorCode, 0);
    }
    // The short videos take a page size past either end as that end: the most a page holds.
    for (const json& size : { json(top), json("99999999999999999999"), json(50) }) {
        SCOPED_TRACE(size.dump());
        EXPECT_EQ(listIn(data("v1/video/display", { { "pageSize", size } }), "list").size(), 50u);
    }
    EXPECT_EQ(listIn(data("v1/video/display", { { "pageSize", -5 } }), "list").size(), 1u);
}
