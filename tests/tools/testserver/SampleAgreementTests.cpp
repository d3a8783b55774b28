// The sample data agree with themselves, as a viewer walking the app meets them: what a list says
// of a title (its name, how many episodes it has, where the viewer stopped) is what the title's
// own page says, times lie within durations, and every address a reply holds is answered. A name
// belongs to one title only, a source counts the episodes it lists, rankings go by their heat,
// a picture that bears a name is shown only under that name, and the pop-up advert's picture has
// the proportions of its box.

#include "tests/tools/testserver/PictureSize.h"
#include "tests/tools/testserver/SampleServerFixture.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace {

using json = nlohmann::json;

// The number right before "集": the count of a status line ("全24集", "更新至8集", "S1 全8集") or
// the number of an episode ("第03集", "看到第3集 00:08"); none in "HD" or "正片".
std::optional<long long> numberBeforeEpisodeMark(const std::string& text)
{
    static const std::string mark = "集";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + mark.size())) {
        std::size_t begin = at;
        while (begin > 0 && std::isdigit(static_cast<unsigned char>(text[begin - 1])))
            --begin;
        if (begin < at && at - begin <= 6)
            return std::stoll(text.substr(begin, at - begin));
    }
    return std::nullopt;
}

// The seconds of the last clock in a text ("看到第3集 25:20", "看到 01:02:45"); none without one.
std::optional<long long> clockSeconds(const std::string& text)
{
    std::size_t end = text.find_last_of("0123456789");
    if (end == std::string::npos)
        return std::nullopt;
    std::size_t before = text.find_last_not_of("0123456789:", end);
    std::size_t begin = before == std::string::npos ? 0 : before + 1;
    std::string clock = text.substr(begin, end + 1 - begin);
    if (clock.find(':') == std::string::npos || clock.size() > 9)
        return std::nullopt;
    long long seconds = 0;
    std::stringstream parts(clock);
    for (std::string part; std::getline(parts, part, ':');)
        seconds = seconds * 60 + (part.empty() ? 0 : std::stoll(part));
    return seconds;
}

// The number of a time field: an integer or decimal text; none otherwise.
std::optional<long long> seconds(const json& value)
{
    if (value.is_number_integer())
        return value.get<long long>();
    std::string text = value.is_string() ? value.get<std::string>() : std::string();
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

// A heat as rankings give it: a whole number, or a text of one with "万" (ten thousand) or "亿"
// (a hundred million) after it ("9.1万", "1.2亿", "850"); none for anything else.
std::optional<double> heat(const json& value)
{
    if (value.is_number())
        return value.get<double>();
    std::string text = value.is_string() ? value.get<std::string>() : std::string();
    double unit = 1;
    for (auto [mark, worth] : { std::pair { "万", 1e4 }, std::pair { "亿", 1e8 } }) {
        if (text.ends_with(mark)) {
            text.resize(text.size() - std::string_view(mark).size());
            unit = worth;
        }
    }
    std::size_t point = text.find('.');
    bool digits = !text.empty() && text.size() <= 12 && text.front() != '.' && text.back() != '.'
        && text.find_first_not_of("0123456789.") == std::string::npos
        && (point == std::string::npos || text.find('.', point + 1) == std::string::npos);
    if (!digits)
        return std::nullopt;
    return std::stod(text) * unit;
}

// The whole number a text is ("8", "120"); none for any other text ("全8集", "HD", "", "08x").
std::optional<long long> wholeNumber(const json& value)
{
    std::string text = value.is_string() ? value.get<std::string>() : std::string();
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

// A title as a list shows it: where, the id it opens, the name and the status line it shows
// (none when the list shows no such text).
struct Shown {
    std::string list;
    std::string id;
    std::optional<std::string> name;
    std::optional<std::string> status;
};

// An item that tells where the viewer stopped: a history entry or an item of the feed's strip.
struct Watched {
    std::string list;
    std::string id;
    json item;
};

class SampleAgreementTest : public zvtest::SampleServerTest {
protected:
    std::vector<Shown> shown;
    std::vector<Watched> watched;
    std::map<std::string, std::string> links; // address -> the reply that holds it first
    std::map<std::string, json> pages; // the title pages of every id shown, for the viewer
    std::vector<std::pair<std::string, json>> replies; // where, and what it delivered

    // Every list the server serves, and the page of every title they show (related titles too).
    void walk()
    {
        json feed = data("v1/movie/index_recommend");
        linksIn(feed, "the home feed");
        for (const json& section : feed) {
            std::string layout = section.value("layout", "");
            std::string where = "feed " + layout + " " + section.value("title", "");
            for (const json& item : listIn(section, "list")) {
                if (layout == "index_recommend_carousel") {
                    if (item.value("type", 0) == 1)
                        show(where, item.value("click", json()), item.value("title", json()), json());
                } else if (layout == "index_recommend_playback") {
                    // An item with an episode tells where the viewer stopped; a followed series
                    // not started yet shows its status line instead.
                    bool started = item.contains("episode_id");
                    json status = started ? json() : item.value("dynamic", json());
                    show(where, item.value("movie_id", json()), item.value("movie_name", json()), status);
                    if (item.contains("name"))
                        show(where, item.value("movie_id", json()), item["name"], json());
                    if (started)
                        watched.push_back({ where, idText(item.value("movie_id", json())), item });
                } else if (layout != "advert_self") {
                    show(where, item.value("id", json()), item.value("name", json()),
                        item.value("dynamic", json()));
                }
            }
        }

        for (const json& ranking : data("v1/movie/ranking/list")) {
            json titles = listIn(ranking, "movie_data");
            if (titles.empty())
                titles = data("v1/movie/ranking/data", { { "id", ranking.value("id", "") } });
            std::string where = "ranking " + ranking.value("title", "");
            linksIn(titles, where);
            for (const json& title : titles)
                show(where, title.value("id", json()), title.value("name", json()),
                    title.value("dynamic", json()));
        }

        // Searches for the hot words, the words of the search rankings and the full title of each
        // short video, whose "播放正片" opens the title of that name.
        std::set<std::string> keywords;
        for (const json& word : data("v1/movie/search_lately_words"))
            keywords.insert(word.value("word", ""));
        for (const json& ranking : data("v1/movie/search_ranking")) {
            for (const json& word : listIn(ranking, "list"))
                keywords.insert(word.value("word", ""));
        }
        json clips = listIn(data("v1/video/display", { { "pageSize", 50 } }), "list");
        linksIn(clips, "the short videos");
        std::set<std::string> clipTitles;
        for (const json& clip : clips)
            clipTitles.insert(clip.value("title", ""));
        keywords.insert(clipTitles.begin(), clipTitles.end());
        for (const std::string& keyword : keywords) {
            json found = listIn(data("v1/movie/search", { { "keyword", keyword } }), "list");
            linksIn(found, "search " + keyword);
            bool named = false;
            for (const json& title : found) {
                show("search " + keyword, title.value("id", json()), title.value("name", json()),
                    title.value("dynamic", json()));
                named = named || title.value("name", "") == keyword;
            }
            if (clipTitles.contains(keyword)) {
                EXPECT_TRUE(named) << "no title is named as the short video " << keyword;
            }
        }

        json explore = listIn(data("v1/movie/explore/list"), "list");
        linksIn(explore, "explore");
        for (const json& title : explore)
            show("explore", title.value("id", json()), title.value("name", json()),
                title.value("dynamic", json()));

        for (int typeId : { 1, 2, 3 }) {
            for (int page = 1; page <= 20; ++page) {
                json list = listIn(data("v1/movie/screen/list",
                                       { { "type_id", typeId }, { "page", page }, { "pageSize", 50 } }),
                    "list");
                std::string where = "filter catalogue " + std::to_string(typeId);
                linksIn(list, where);
                for (const json& title : list)
                    show(where, title.value("id", json()), title.value("name", json()),
                        title.value("dynamic", json()));
                if (list.size() < 50)
                    break;
            }
        }

        json history = data("v1/user/playback/list");
        linksIn(history, "the history");
        for (const json& section : history) {
            for (const json& item : listIn(section, "list")) {
                std::string where
                    = "history " + section.value("title", "") + " " + idText(item.value("id", json()));
                show(where, item.value("movie_id", json()), item.value("movie_name", json()),
                    item.value("dynamic", json()));
                watched.push_back({ where, idText(item.value("movie_id", json())), item });
            }
        }
        json favourites
            = listIn(data("v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } }), "list");
        linksIn(favourites, "the favourites");
        for (const json& item : favourites)
            show("favourite " + idText(item.value("id", json())), item.value("movie_id", json()),
                item.value("movie_name", json()), item.value("movie_dynamic", json()));
        json notices = listIn(data("v1/notice/list", { { "page", 1 }, { "pageSize", 100 } }), "list");
        linksIn(notices, "the notices");
        for (const json& notice : notices) {
            if (notice.value("type", 0) != 2)
                continue;
            // "《name》更新啦" names the title the notice opens.
            std::string title = notice.value("title", "");
            std::size_t open = title.find("《");
            std::size_t close = title.find("》", open);
            json name = open != std::string::npos && close != std::string::npos
                ? json(title.substr(open + 3, close - open - 3))
                : json();
            show("notice " + title, notice.value("content", json()), name, json());
        }

        linksIn(data("v1/app/config"), "the configuration");
        linksIn(data("v1/advert/config"), "the adverts");
        linksIn(data("v1/app/check_update"), "the update offer");
        auto [status, domainFile] = fetch(server->httpURL() + "/domain_v2.json");
        EXPECT_EQ(status, 200);
        json domains = json::parse(domainFile, nullptr, false);
        for (const char* page : { "help_url", "captcha_url" })
            linksIn(domains.is_object() ? domains.value(page, json()) : json(), "the server-address file");

        // Each title's page; its related titles join the walk.
        std::deque<std::string> queue;
        for (const Shown& each : shown)
            queue.push_back(each.id);
        while (!queue.empty()) {
            std::string id = queue.front();
            queue.pop_front();
            if (id.empty() || pages.contains(id))
                continue;
            json page = data("v1/movie/detail", { { "id", id } });
            pages[id] = page;
            linksIn(page, "the title page of " + id);
            for (const json& related : listIn(page, "recommendList")) {
                show("related titles of " + id, related.value("id", json()), related.value("name", json()),
                    related.value("dynamic", json()));
                queue.push_back(idText(related.value("id", json())));
            }
        }
    }

    void show(const std::string& list, const json& id, const json& name, const json& status)
    {
        std::string text = idText(id);
        EXPECT_FALSE(text.empty()) << "an item of " << list << " opens no title";
        auto optionalText = [](const json& value) {
            return value.is_string() ? std::optional(value.get<std::string>()) : std::nullopt;
        };
        shown.push_back({ list, text, optionalText(name), optionalText(status) });
    }

    // Keeps the reply, and every web address in it.
    void linksIn(const json& reply, const std::string& where)
    {
        replies.emplace_back(where, reply);
        addressesIn(reply, where);
    }

    // Every web address of a value, but for the header fields that go with a video's requests.
    void addressesIn(const json& value, const std::string& where)
    {
        if (value.is_string()) {
            const std::string& text = value.get_ref<const std::string&>();
            if (text.starts_with("http://") || text.starts_with("https://"))
                links.emplace(text, where);
        } else if (value.is_object()) {
            for (const auto& [key, member] : value.items()) {
                if (key != "headers")
                    addressesIn(member, where);
            }
        } else if (value.is_array()) {
            for (const json& element : value)
                addressesIn(element, where);
        }
    }

    // The episodes a title plays first: those of its first source with episodes.
    static std::pair<std::string, json> firstEpisodes(const json& page)
    {
        for (const json& source : listIn(page, "play_from")) {
            json episodes = listIn(source, "list");
            if (!episodes.empty())
                return { idText(source.value("code", json())), episodes };
        }
        return { "", json::array() };
    }

    // The pictures that bear a name (images/drawn-names.json, written with them): picture -> name.
    static std::map<std::string, std::string> drawnNames()
    {
        std::ifstream file(dataDir() / "images" / "drawn-names.json", std::ios::binary);
        json table = json::parse(file, nullptr, false);
        EXPECT_TRUE(table.is_object() && table.value("names", json()).is_object());
        std::map<std::string, std::string> drawn;
        json names = table.is_object() ? table.value("names", json::object()) : json::object();
        for (const auto& [picture, name] : names.items()) {
            EXPECT_TRUE(std::filesystem::is_regular_file(dataDir() / "images" / picture)) << picture;
            EXPECT_TRUE(name.is_string() && !name.get<std::string>().empty()) << picture;
            drawn[picture] = name.is_string() ? name.get<std::string>() : std::string();
        }
        return drawn;
    }

    // The picture a text addresses on this server, by its file's name; empty for any other text.
    static std::string pictureOf(const json& value)
    {
        std::string text = value.is_string() ? value.get<std::string>() : std::string();
        std::size_t at = text.find("/images/");
        if (!text.starts_with("http") || at == std::string::npos)
            return {};
        std::string picture = text.substr(at + 8);
        return picture.substr(0, picture.find_first_of("?#"));
    }

    // The length in seconds of the video every episode plays (the sum of its playlist's segments).
    long long videoSeconds()
    {
        auto [status, playlist] = fetch(server->httpURL() + "/video/low/index.m3u8");
        EXPECT_EQ(status, 200);
        double total = 0;
        std::stringstream lines(playlist);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("#EXTINF:"))
                total += std::atof(line.c_str() + 8);
        }
        return static_cast<long long>(total + 0.5);
    }
};

}

// Names and counts of episodes: every list names a title as its page does and counts as many
// episodes as its page; the page counts the episodes it plays first. Favourites
// added from other lists (a short video's title, an explore card, a series of the filter pages)
// join the walk.
TEST_F(SampleAgreementTest, EveryListNamesAndCountsATitleAsItsPageDoes)
{
    for (const char* id : { "45001", "44004", "42001" })
        data("v1/movie/collect/action", { { "movie_id", id }, { "state", 1 } });
    walk();
    ASSERT_GE(pages.size(), 150u);
    for (const Shown& each : shown) {
        const json& page = pages[each.id];
        ASSERT_TRUE(page.is_object()) << each.list << ": no page for " << each.id;
        std::string pageName = page.value("name", "");
        std::string pageStatus = page.value("dynamic", "");
        if (each.name) {
            EXPECT_EQ(*each.name, pageName)
                << each.list << " names " << each.id << " otherwise than its page";
        }
        if (each.status && !each.status->empty()) {
            EXPECT_EQ(numberBeforeEpisodeMark(*each.status), numberBeforeEpisodeMark(pageStatus))
                << each.list << " says \"" << *each.status << "\" of " << each.id << " " << pageName
                << ", its page \"" << pageStatus << "\"";
        }
    }
    for (const auto& [id, page] : pages) {
        std::string status = page.value("dynamic", "");
        if (std::optional<long long> count = numberBeforeEpisodeMark(status)) {
            EXPECT_EQ(static_cast<long long>(firstEpisodes(page).second.size()), *count)
                << id << " " << page.value("name", "") << " says \"" << status << "\"";
        }
    }
}

// Where the viewer stopped: the history (its newest entry of a title) and the feed's strip of
// titles being watched tell the episode and the time that the title's page resumes at, and the
// pages resume only titles of the history; every time lies within its duration, and no duration
// outlasts the video that plays.
TEST_F(SampleAgreementTest, TheLastPlaybackIsWhereTheStripAndTheHistorySayTheViewerStopped)
{
    walk();
    const long long video = videoSeconds();
    ASSERT_GT(video, 0);
    auto checkTimes = [video](const std::string& where, const json& record) {
        std::optional<long long> time = seconds(record.value("current_time", json()));
        std::optional<long long> duration = seconds(record.value("duration", json()));
        ASSERT_TRUE(time && duration) << where << ": " << record.dump();
        EXPECT_GT(*duration, 0) << where;
        EXPECT_LE(*time, *duration) << where << ": the time lies beyond the duration";
        EXPECT_GE(*time, 0) << where;
        EXPECT_LE(*duration, video) << where << ": longer than the video that plays";
    };

    std::map<std::string, std::string> inHistory; // title -> its newest entry
    std::size_t strips = 0;
    // The history first: the strip's titles are looked up in it.
    std::stable_partition(
        watched.begin(), watched.end(), [](const Watched& each) { return each.list.starts_with("history"); });
    for (const Watched& each : watched) {
        SCOPED_TRACE(each.list + ", title " + each.id);
        checkTimes(each.list, each.item);
        bool fromHistory = each.list.starts_with("history");
        strips += !fromHistory;
        if (fromHistory && !inHistory.emplace(each.id, each.list).second)
            continue; // an older entry of a title: its page resumes the newest
        if (!fromHistory) {
            EXPECT_TRUE(inHistory.contains(each.id)) << "a title being watched that the history lacks";
        }
        const json& page = pages[each.id];
        json last = page.value("last_playback", json());
        if (!last.is_object() || last.empty()) {
            ADD_FAILURE() << "its page resumes nowhere";
            continue;
        }
        std::string episode = idText(last.value("episode_id", json()));
        EXPECT_EQ(idText(each.item.value("episode_id", json())), episode);
        EXPECT_EQ(
            seconds(each.item.value("current_time", json())), seconds(last.value("current_time", json())));
        EXPECT_EQ(seconds(each.item.value("duration", json())), seconds(last.value("duration", json())));

        // The page plays the episode from its first source with episodes, the source it names.
        auto [code, episodes] = firstEpisodes(page);
        EXPECT_EQ(last.value("movie_from", ""), code);
        std::string episodeName;
        for (const json& candidate : episodes) {
            if (idText(candidate.value("episode_id", json())) == episode)
                episodeName = candidate.value("episode_name", "");
        }
        if (episodeName.empty()) {
            ADD_FAILURE() << "its page has no episode " << episode << " to resume";
            continue;
        }
        if (fromHistory) {
            EXPECT_EQ(each.item.value("episode_name", ""), episodeName);
        } else {
            // "看到第3集 25:20": the episode's number and the time.
            std::string progress = each.item.value("dynamic", "");
            EXPECT_EQ(numberBeforeEpisodeMark(progress), numberBeforeEpisodeMark(episodeName)) << progress;
            EXPECT_EQ(clockSeconds(progress), seconds(last.value("current_time", json()))) << progress;
        }
    }
    EXPECT_GE(inHistory.size(), 3u);
    EXPECT_GE(strips, 3u);
    for (const auto& [id, page] : pages) {
        json last = page.value("last_playback", json());
        if (!last.is_object() || last.empty())
            continue;
        EXPECT_TRUE(inHistory.contains(id)) << "the page of " << id << " resumes a title the history lacks";
        checkTimes("the last playback of " + id, last);
    }
}

// The strips are the lists: "继续观看" the history's titles newest first, "我的追剧" the
// favourites whose pages count more than one episode, newest first; ten at most each.
TEST_F(SampleAgreementTest, TheStripsAreTheHistoryAndTheFollowedSeries)
{
    // Enough series among the favourites for the strip to be cut.
    for (const char* id : { "40311", "46001", "46002" })
        data("v1/movie/collect/action", { { "movie_id", id }, { "state", 1 } });
    walk();
    std::map<std::string, std::vector<std::string>> strips;
    for (const json& section : data("v1/movie/index_recommend")) {
        if (section.value("layout", "") != "index_recommend_playback")
            continue;
        for (const json& item : listIn(section, "list"))
            strips[section.value("title", "")].push_back(idText(item.value("movie_id", json())));
    }
    std::vector<std::string> history;
    for (const Watched& each : watched) {
        if (each.list.starts_with("history"))
            history.push_back(each.id);
    }
    std::vector<std::string> series;
    json favourites
        = listIn(data("v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } }), "list");
    for (const json& item : favourites) {
        std::string id = idText(item.value("movie_id", json()));
        if (numberBeforeEpisodeMark(pages[id].value("dynamic", "")).value_or(1) > 1)
            series.push_back(id);
    }
    ASSERT_GE(history.size(), 3u);
    ASSERT_GT(series.size(), 10u);
    history.resize(std::min<std::size_t>(history.size(), 10));
    series.resize(10);
    EXPECT_EQ(strips["继续观看"], history);
    EXPECT_EQ(strips["我的追剧"], series);
}

// Links: every web address that a reply holds (pages, pictures, videos, the configuration's links)
// is answered by the server.
TEST_F(SampleAgreementTest, EveryAddressTheRepliesHoldIsAnswered)
{
    walk();
    ASSERT_GE(links.size(), 100u);
    for (const auto& [address, where] : links) {
        auto [status, body] = fetch(address);
        EXPECT_EQ(status, 200) << address << " of " << where;
        EXPECT_FALSE(body.empty()) << address << " of " << where;
    }
}

// Favourites: the page of each title of the favourites, and the search result of it, say it is
// one, and those of another title say it is not; adding and removing a favourite changes all
// three alike.
TEST_F(SampleAgreementTest, TitlePagesAndSearchResultsSayWhatTheFavouritesHold)
{
    auto favourites = [&] {
        std::map<std::string, std::string> names;
        json page = data("v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 100 } });
        for (const json& item : listIn(page, "list"))
            names[idText(item.value("movie_id", json()))] = item.value("movie_name", "");
        return names;
    };
    auto pageSays = [&](const std::string& id) {
        return data("v1/movie/detail", { { "id", id } }).value("is_collect", false);
    };
    // What the search for the name says of the title; none when it does not find it.
    auto searchSays = [&](const std::string& name, const std::string& id) -> std::optional<bool> {
        for (const json& title : listIn(data("v1/movie/search", { { "keyword", name } }), "list")) {
            if (idText(title.value("id", json())) == id)
                return title.value("is_collect", false);
        }
        return std::nullopt;
    };

    std::map<std::string, std::string> held = favourites();
    ASSERT_EQ(held.size(), 23u);
    for (const auto& [id, name] : held) {
        EXPECT_TRUE(pageSays(id)) << id << " " << name;
        EXPECT_EQ(searchSays(name, id), std::optional(true)) << id << " " << name;
    }
    const std::string other = "40311";
    const std::string otherName = "北方的灯塔";
    ASSERT_FALSE(held.contains(other));
    EXPECT_FALSE(pageSays(other));
    EXPECT_EQ(searchSays(otherName, other), std::optional(false));

    data("v1/movie/collect/action", { { "movie_id", other }, { "state", 1 } });
    const std::string dropped = held.begin()->first;
    const std::string droppedName = held.begin()->second;
    data("v1/movie/collect/action", { { "movie_id", dropped }, { "state", 0 } });
    held = favourites();
    EXPECT_TRUE(held.contains(other));
    EXPECT_TRUE(pageSays(other));
    EXPECT_EQ(searchSays(otherName, other), std::optional(true));
    EXPECT_FALSE(held.contains(dropped));
    EXPECT_FALSE(pageSays(dropped));
    EXPECT_EQ(searchSays(droppedName, dropped), std::optional(false));
}

// One name, one title: no two titles (different ids) share a name anywhere a list shows them, and
// no title goes by two names, so that a search, a like or a ranking of one never meets the other.
TEST_F(SampleAgreementTest, EveryNameBelongsToOneTitleAndEveryTitleHasOneName)
{
    walk();
    std::map<std::string, std::set<std::string>> idsOfName;
    std::map<std::string, std::set<std::string>> namesOfId;
    std::map<std::string, std::string> whereNamed; // name -> the first list that shows it
    for (const Shown& each : shown) {
        if (!each.name || each.id.empty())
            continue;
        idsOfName[*each.name].insert(each.id);
        namesOfId[each.id].insert(*each.name);
        whereNamed.emplace(*each.name, each.list);
    }
    ASSERT_GE(idsOfName.size(), 100u);
    for (const auto& [name, ids] : idsOfName) {
        std::ostringstream listed;
        for (const std::string& id : ids)
            listed << " " << id;
        EXPECT_EQ(ids.size(), 1u) << name << " names the titles" << listed.str() << " (first in "
                                  << whereNamed[name] << ")";
    }
    for (const auto& [id, names] : namesOfId) {
        std::ostringstream listed;
        for (const std::string& name : names)
            listed << " " << name;
        EXPECT_EQ(names.size(), 1u) << id << " goes by" << listed.str();
    }
}

// Sources: every source of every title page (those of the catalogue and the generated ones alike)
// gives as its total the number of its episodes as a bare count ("8", shown as "8个视频"), and the
// server's list of that source's addresses holds as many.
TEST_F(SampleAgreementTest, EverySourceCountsItsEpisodes)
{
    walk();
    std::size_t sources = 0;
    for (const auto& [id, page] : pages) {
        for (const json& source : listIn(page, "play_from")) {
            ++sources;
            std::string code = idText(source.value("code", json()));
            SCOPED_TRACE(id + " " + page.value("name", "") + " source " + code);
            json total = source.value("total", json());
            std::optional<long long> count = wholeNumber(total);
            EXPECT_TRUE(count) << "its total is no count of episodes: " << total.dump();
            std::size_t listed = listIn(source, "list").size();
            if (count) {
                EXPECT_EQ(*count, static_cast<long long>(listed));
            }
            json addresses = data("v1/movie_addr/list", { { "movie_id", id }, { "from_code", code } });
            ASSERT_TRUE(addresses.is_array()) << addresses.dump();
            EXPECT_EQ(addresses.size(), listed);
        }
    }
    EXPECT_GE(sources, pages.size());
}

// Rankings: the titles of every ranking (those that came with it and those loaded by its id) and
// the words of every search ranking go from the hottest down.
TEST_F(SampleAgreementTest, EveryRankingGoesFromTheHottestDown)
{
    std::vector<std::pair<std::string, json>> rankings; // name, its entries
    for (const json& ranking : data("v1/movie/ranking/list")) {
        json titles = listIn(ranking, "movie_data");
        if (titles.empty())
            titles = data("v1/movie/ranking/data", { { "id", ranking.value("id", "") } });
        rankings.emplace_back("ranking " + ranking.value("title", ""), titles);
    }
    for (const json& ranking : data("v1/movie/search_ranking"))
        rankings.emplace_back("search ranking " + ranking.value("title", ""), listIn(ranking, "list"));
    ASSERT_GE(rankings.size(), 7u);

    for (const auto& [name, entries] : rankings) {
        SCOPED_TRACE(name);
        EXPECT_GE(entries.size(), 2u);
        std::optional<double> previous;
        std::string previousText;
        for (const json& entry : entries) {
            json given = entry.value("hot", json());
            std::optional<double> hot = heat(given);
            std::string label = entry.value("name", entry.value("word", std::string())) + " " + given.dump();
            if (!hot) {
                ADD_FAILURE() << label << ": no heat";
                continue;
            }
            if (previous) {
                EXPECT_LE(*hot, *previous) << label << " after " << previousText;
            }
            previous = hot;
            previousText = label;
        }
    }
}

// Pictures that bear a name (images/drawn-names.json, written with them): every item of a reply
// that shows one gives that name, so that no cover reads another title's name; every picture the
// table names is in the folder.
TEST_F(SampleAgreementTest, APictureThatBearsANameIsShownOnlyUnderThatName)
{
    const std::map<std::string, std::string> drawn = drawnNames();
    ASSERT_FALSE(drawn.empty());

    walk();
    std::size_t checked = 0;
    auto check = [&](auto& self, const json& value, const std::string& where) -> void {
        if (value.is_array()) {
            for (const json& element : value)
                self(self, element, where);
            return;
        }
        if (!value.is_object())
            return;
        for (const auto& [key, member] : value.items()) {
            self(self, member, where);
            auto found = drawn.find(pictureOf(member));
            if (found == drawn.end())
                continue;
            ++checked;
            std::set<std::string> given;
            for (const char* said : { "name", "title", "movie_name" })
                given.insert(idText(value.value(said, json())));
            EXPECT_TRUE(given.contains(found->second))
                << where << ": " << key << " " << found->first << " bears \"" << found->second << "\" under "
                << value.value("name", value.value("title", value.value("movie_name", json()))).dump();
        }
    };
    for (const auto& [where, reply] : replies)
        check(check, reply, where);
    EXPECT_GE(checked, 50u);
}

// Covers under the app's own labels: the feed's strips "继续观看" and "我的追剧", the history, the
// favourites and the title pages (their related titles too) write a title's name, status or
// progress over its cover, so none of these covers bears a drawn name, after a play report and
// a favourite of every title the lists show (the full titles of the short videos among them).
TEST_F(SampleAgreementTest, NoCoverUnderTheAppsOwnLabelBearsADrawnName)
{
    const std::map<std::string, std::string> drawn = drawnNames();
    ASSERT_FALSE(drawn.empty());
    std::size_t checked = 0;
    auto checkCover = [&](const json& item, const std::string& where) {
        std::string picture = pictureOf(item.value("cover", json()));
        EXPECT_FALSE(picture.empty()) << where << ": no cover on this server " << item.dump();
        if (auto found = drawn.find(picture); found != drawn.end())
            ADD_FAILURE() << where << ": the cover " << picture << " of "
                          << item.value("movie_name", item.value("name", json())).dump() << " bears \""
                          << found->second << "\"";
        ++checked;
    };
    auto checkStrips = [&](const std::string& after) {
        for (const json& section : data("v1/movie/index_recommend")) {
            if (section.value("layout", "") != "index_recommend_playback")
                continue;
            for (const json& item : listIn(section, "list"))
                checkCover(item, section.value("title", "") + " after " + after);
        }
    };
    auto checkLists = [&](const std::string& when) {
        checkStrips(when);
        for (const json& section : data("v1/user/playback/list")) {
            for (const json& item : listIn(section, "list"))
                checkCover(item, "the history " + section.value("title", "") + " at " + when);
        }
        for (int page = 1; page <= 10; ++page) {
            json list = listIn(
                data("v1/user/movie_collect/list", { { "page", page }, { "pageSize", 100 } }), "list");
            for (const json& item : list)
                checkCover(item, "the favourites at " + when);
            if (list.size() < 100)
                break;
        }
    };

    walk();
    std::set<std::string> clipTitles;
    for (const json& clip : listIn(data("v1/video/display", { { "pageSize", 50 } }), "list"))
        clipTitles.insert(clip.value("title", ""));
    std::size_t clipsPlayed = 0;
    checkLists("the start");
    for (const auto& [id, page] : pages) {
        auto [code, episodes] = firstEpisodes(page);
        if (episodes.empty())
            continue;
        data("v1/movie_play/report",
            { { "movie_id", id }, { "episode_id", idText(episodes[0].value("episode_id", json())) },
                { "movie_from", code }, { "current_time", 5 }, { "duration", 12 } });
        data("v1/movie/collect/action", { { "movie_id", id }, { "state", 1 } });
        std::string name = page.value("name", "");
        clipsPlayed += clipTitles.contains(name) ? 1 : 0;
        checkStrips("a play report of " + id + " " + name);
        checkCover(page, "the title page of " + id);
        for (const json& related : listIn(page, "recommendList"))
            checkCover(related, "a related title on the page of " + id);
    }
    EXPECT_EQ(clipsPlayed, clipTitles.size()) << "a short video's full title was not played";

    checkLists("every title played and favourited");
    EXPECT_GE(checked, 1000u);
}

// The home pop-up advert's picture has the proportions of the 280 x 340 box that shows it, within
// a few hundredths, rather than a wide banner stretched into it.
TEST_F(SampleAgreementTest, ThePopUpAdvertsPictureHasItsBoxsProportions)
{
    json popup = data("v1/advert/config").value("index_popup", json());
    std::string address = popup.is_object() ? popup.value("data", json()).value("image", "") : "";
    ASSERT_FALSE(address.empty()) << popup.dump();
    auto [status, bytes] = fetch(address);
    ASSERT_EQ(status, 200) << address;
    std::optional<zvtest::PictureSize> size = zvtest::pictureSize(bytes);
    ASSERT_TRUE(size) << address << " is no PNG or JPEG";
    double proportion = static_cast<double>(size->width) / size->height;
    EXPECT_NEAR(proportion / (280.0 / 340.0), 1.0, 0.03)
        << address << " is " << size->width << " x " << size->height;
}

// The measures these checks read: heats as rankings write them, and the size in a picture's header.
TEST(SampleMeasures, HeatsAndPictureSizesReadAsWritten)
{
    struct HeatCase {
        json given;
        std::optional<double> read;
    };
    for (const HeatCase& each :
        std::vector<HeatCase> { { "9.1万", 91000 }, { "12.8万", 128000 }, { "1.2亿", 1.2e8 }, { "850", 850 },
            { 963, 963 }, { "万", std::nullopt }, { "9.1.2万", std::nullopt }, { "热", std::nullopt },
            { ".5万", std::nullopt }, { json(), std::nullopt } })
        EXPECT_EQ(heat(each.given), each.read) << each.given.dump();

    auto bytesOf = [](const char* picture) {
        std::ifstream file(zvtest::SampleServer::dataDir() / "images" / picture, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    struct SizeCase {
        std::string what;
        std::string bytes;
        std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
    };
    std::string png = bytesOf("cover.png");
    std::string jpeg = bytesOf("advert-start.jpg");
    for (const SizeCase& each : std::vector<SizeCase> { { "a PNG", png, std::pair { 60u, 90u } },
             { "a JPEG", jpeg, std::pair { 390u, 844u } },
             { "a PNG cut short", png.substr(0, 20), std::nullopt },
             { "a JPEG cut before its frame", jpeg.substr(0, 40), std::nullopt },
             { "neither", "GIF89a.........................", std::nullopt },
             { "nothing", "", std::nullopt } }) {
        std::optional<zvtest::PictureSize> read = zvtest::pictureSize(each.bytes);
        EXPECT_EQ(read ? std::optional(std::pair { read->width, read->height }) : std::nullopt, each.size)
            << each.what;
    }
}
