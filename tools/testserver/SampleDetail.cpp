#include "tools/testserver/SampleDetail.h"

#include "tools/testserver/Deferred.h"
#include "tools/testserver/JsonText.h"
#include "tools/testserver/SampleMine.h"
#include "tools/testserver/SampleTitles.h"
#include "tools/testserver/StaticFiles.h"
#include "tools/testserver/ViewerLists.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

namespace testserver {

namespace {

// Bounds of what the file may describe and what a report may store.
constexpr long long kMaxEpisodes = 1000;
constexpr std::size_t kMaxTextBytes = 256;
constexpr long long kMaxSeconds = 24 * 3600;
// Titles that only the lists show: at most this many episodes, and related titles.
constexpr long long kMaxGeneratedEpisodes = 60;
constexpr std::size_t kGeneratedRelated = 3;

bool fail(std::string* error, std::string message)
{
    if (error)
        *error = "detail.json: " + std::move(message);
    return false;
}

nlohmann::json param(const ApiCall& call, const char* key)
{
    if (!call.parameters.is_object())
        return nullptr;
    return call.parameters.value(key, nlohmann::json());
}

// A whole number within 0...limit, sent as a number or as decimal text.
std::optional<long long> boundedNumber(const nlohmann::json& value, long long limit)
{
    IntegerRead read = readInteger(value, { 0, limit, true });
    return read ? std::optional<long long>(*read) : std::nullopt;
}

std::set<long long> numberSet(const nlohmann::json& value)
{
    std::set<long long> numbers;
    if (value.is_array()) {
        for (const auto& element : value) {
            if (element.is_number_integer())
                numbers.insert(element.get<long long>());
        }
    }
    return numbers;
}

struct Catalogue {
    std::mutex mutex;
    std::map<std::string, nlohmann::json> titles; // by id, as "v1/movie/detail" gives them
    std::map<std::string, std::optional<std::string>> addresses; // play_url -> video, none: fails
};

struct Builder {
    std::uint16_t httpPort = 0;
    std::uint16_t httpsPort = 0;
    Catalogue& catalogue;

    std::string videoAddress(
        const std::string& video, const std::string& title, const std::string& code, long long n)
    {
        std::string path
            = video == "clip" ? "clip.mp4" : (video == "high" ? "high/index.m3u8" : "low/index.m3u8");
        return pointAtLoopback("https://127.0.0.1:0/video/" + path + "?title=" + title + "&from=" + code
                + "&ep=" + std::to_string(n),
            httpPort, httpsPort);
    }

    // The episodes that a source's "episodes" description stands for.
    bool expand(nlohmann::json& source, const std::string& title, std::string* error)
    {
        const nlohmann::json spec = source["episodes"];
        source.erase("episodes");
        std::string code = textOf(source.value("code", nlohmann::json()));
        std::optional<long long> count = boundedNumber(spec.value("count", nlohmann::json()), kMaxEpisodes);
        std::optional<long long> base = boundedNumber(spec.value("id_base", nlohmann::json()), 999'999'999);
        if (!count || !base || code.empty())
            return fail(error, "the episodes of a source of " + title + " need count, id_base and a code");
        bool allReady = spec.value("ready", nlohmann::json()) == "all";
        std::set<long long> ready = numberSet(spec.value("ready", nlohmann::json()));
        std::set<long long> unresolved = numberSet(spec.value("unresolved", nlohmann::json()));
        std::string video = spec.value("video", "low");
        nlohmann::json list = nlohmann::json::array();
        for (long long n = 1; n <= *count; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "第%02lld集", n);
            std::string address = videoAddress(video, title, code, n);
            bool isReady = allReady || ready.contains(n);
            std::string playURL = isReady
                ? address
                : std::string(SampleDetail::unresolvedScheme) + title + "/" + code + "/" + std::to_string(n);
            if (!isReady)
                catalogue.addresses[playURL] = unresolved.contains(n) ? std::nullopt : std::optional(address);
            list.push_back({ { "episode_id", std::to_string(*base + n) }, { "episode_name", name },
                { "from_code", code }, { "headers", nlohmann::json::array() }, { "play_url", playURL },
                { "ready_to_play", isReady }, { "user_agent", "" } });
        }
        source["list"] = std::move(list);
        return true;
    }
};

// What a related title shows of a title of this file or of the catalogue.
nlohmann::json relatedItem(const nlohmann::json& title)
{
    nlohmann::json item = nlohmann::json::object();
    for (const char* key : { "id", "name", "cover", "dynamic", "type_name", "label" })
        item[key] = textOf(title.value(key, nlohmann::json()));
    return item;
}

// How many episodes a status line such as "全24集", "更新至8集" or "S1 全8集" counts: the number
// right before "集" (not the first number of the line); one for a line without a count ("HD").
long long episodeCount(const std::string& dynamic)
{
    std::optional<long long> count = SampleTitles::numberBeforeEpisodeMark(dynamic);
    return count && *count > 0 && *count <= kMaxGeneratedEpisodes ? *count : 1;
}

// The title page of a title that only the lists show: what they tell of it, and one source of
// ready episodes on this server's plain video, as many as its status line counts. `base` is the
// first of the episodes' ids less one; `related` the ids of its related titles.
nlohmann::json generatedTitle(const nlohmann::json& summary, long long base, nlohmann::json related)
{
    auto text = [&summary](const char* key) { return textOf(summary.value(key, nlohmann::json())); };
    std::string id = text("id");
    std::string typeName = text("type_name").empty() ? "剧集" : text("type_name");
    long long count = episodeCount(text("dynamic"));
    std::string dynamic = text("dynamic");
    if (dynamic.empty())
        dynamic = count == 1 ? "HD" : "全" + std::to_string(count) + "集";
    std::string content = !text("content").empty() ? text("content") : text("blurb");
    std::string hot = text("hot");
    if (hot.empty())
        hot = std::to_string(1 + base / 1000 % 9) + "." + std::to_string(base / 1000 % 10) + "万";
    auto listOf = [&summary](const char* key) {
        nlohmann::json list = summary.value(key, nlohmann::json());
        return list.is_array() ? list : nlohmann::json::array();
    };
    return { { "id", id }, { "hot", hot }, { "name", text("name") },
        { "year", text("year").empty() ? "2024" : text("year") }, { "cover", text("cover") },
        { "is_collect", false }, { "dynamic", dynamic },
        { "content", content.empty() ? "暂无简介" : content }, { "type_name", typeName },
        { "blurb", text("blurb") }, { "label", text("label") }, { "tags", listOf("tags") },
        { "members", listOf("members") },
        { "play_from",
            { { { "total", std::to_string(count) }, { "code", "lzm3u8" }, { "name", "线路一" },
                { "tips", "高清" },
                { "episodes",
                    { { "count", count }, { "id_base", base }, { "ready", "all" },
                        { "video", "low" } } } } } },
        { "recommend_ids", std::move(related) } };
}

std::optional<nlohmann::json> readFile(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || json.is_discarded())
        return std::nullopt;
    return json;
}

// Points every placeholder address of a value at this server.
void pointAtServer(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.find("://127.0.0.1:0/") != std::string::npos)
            value = pointAtLoopback(text, httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            pointAtServer(element, httpPort, httpsPort);
    }
}

// Every title page of the sample, with its episodes and related titles; null with the reason
// when the data cannot make them.
std::shared_ptr<Catalogue> buildCatalogue(
    const std::filesystem::path& dataDir, std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    auto failed = [error](std::string message) -> std::shared_ptr<Catalogue> {
        fail(error, std::move(message));
        return nullptr;
    };
    std::optional<nlohmann::json> file = readFile(dataDir / "api" / "detail.json");
    if (!file || !file->is_object() || !file->value("titles", nlohmann::json()).is_array())
        return failed("missing, or not an object with a list of titles");
    pointAtServer(*file, httpPort, httpsPort);

    auto catalogue = std::make_shared<Catalogue>();
    Builder builder { httpPort, httpsPort, *catalogue };
    for (nlohmann::json title : (*file)["titles"]) {
        std::string id = title.is_object() ? textOf(title.value("id", nlohmann::json())) : std::string();
        if (id.empty())
            return failed("a title without an id");
        nlohmann::json& sources = title["play_from"];
        if (!sources.is_array())
            sources = nlohmann::json::array();
        for (nlohmann::json& source : sources) {
            if (!source.is_object())
                return failed("a source of " + id + " is not an object");
            if (source.contains("episodes") && !builder.expand(source, id, error))
                return nullptr;
            if (!source.value("list", nlohmann::json()).is_array())
                source["list"] = nlohmann::json::array();
        }
        catalogue->titles[id] = std::move(title);
    }

    // The catalogue's own title pages (catalogue.json) are served as they are written.
    // What a related title shows of each title, by id (not the whole page with its episodes).
    std::map<std::string, nlohmann::json> known;
    if (std::optional<nlohmann::json> titles = readFile(dataDir / "api" / "catalogue.json")) {
        pointAtServer(*titles, httpPort, httpsPort);
        for (const auto& title : titles->value("titles", nlohmann::json::array())) {
            std::string id = textOf(title.value("id", nlohmann::json()));
            known[id] = relatedItem(title);
            if (!id.empty() && title.is_object())
                catalogue->titles.try_emplace(id, title);
        }
    }

    // Every other title that a list shows gets a page of one template; its related titles are the
    // next ones of the lists.
    std::optional<nlohmann::json> summaries = SampleTitles::load(dataDir, error);
    if (!summaries)
        return nullptr;
    pointAtServer(*summaries, httpPort, httpsPort);
    std::vector<std::string> order;
    for (const auto& summary : *summaries)
        order.push_back(textOf(summary.value("id", nlohmann::json())));
    for (std::size_t place = 0; place < order.size(); ++place) {
        const std::string& id = order[place];
        if (catalogue->titles.contains(id))
            continue;
        std::optional<long long> number = boundedNumber(id, 999'999);
        if (!number)
            return failed("a title of the lists has an id that is no number of up to six digits: " + id);
        nlohmann::json related = nlohmann::json::array();
        for (std::size_t next = 1; next <= kGeneratedRelated && next < order.size(); ++next)
            related.push_back(order[(place + next) % order.size()]);
        nlohmann::json title = generatedTitle((*summaries)[place], *number * 1000, std::move(related));
        if (!builder.expand(title["play_from"][0], id, error))
            return nullptr;
        catalogue->titles[id] = std::move(title);
    }

    // Related titles by id, from this file or from the catalogue.
    for (const auto& [id, title] : catalogue->titles)
        known[id] = relatedItem(title);
    for (auto& [id, title] : catalogue->titles) {
        if (!title.contains("recommend_ids"))
            continue;
        nlohmann::json related = nlohmann::json::array();
        for (const auto& other : title.value("recommend_ids", nlohmann::json::array())) {
            auto found = known.find(textOf(other));
            if (found == known.end())
                return failed("related title " + textOf(other) + " of " + id + " is unknown");
            related.push_back(found->second);
        }
        title.erase("recommend_ids");
        title["recommendList"] = std::move(related);
    }
    return catalogue;
}

// The episode a report names, with the source it is in: the named source first, else any that
// lists it; none when the title has no such episode.
std::optional<std::pair<std::string, std::string>> reportedEpisode(
    const nlohmann::json& title, const std::string& episode, const std::string& from)
{
    std::optional<std::pair<std::string, std::string>> elsewhere;
    for (const auto& source : title.value("play_from", nlohmann::json::array())) {
        if (!source.is_object())
            continue;
        std::string code = textOf(source.value("code", nlohmann::json()));
        for (const auto& each : source.value("list", nlohmann::json::array())) {
            if (!each.is_object() || textOf(each.value("episode_id", nlohmann::json())) != episode)
                continue;
            std::pair<std::string, std::string> found { code,
                textOf(each.value("episode_name", nlohmann::json())) };
            if (code == from)
                return found;
            if (!elsewhere)
                elsewhere = std::move(found);
        }
    }
    return elsewhere;
}

}

bool SampleDetail::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error, SamplePreparation preparation)
{
    auto deferred = std::make_shared<Deferred<Catalogue>>([dataDir, httpPort, httpsPort](std::string* error) {
        return buildCatalogue(dataDir, httpPort, httpsPort, error);
    });
    if (preparation == SamplePreparation::AtStart && !deferred->get(error))
        return false;

    ApiServer* server = &api;
    ApiHandler catalogueDetail = api.handler("v1/movie/detail");
    api.handle("v1/movie/detail",
        overSample<Catalogue>(deferred, [catalogueDetail, server](Catalogue& catalogue, const ApiCall& call) {
            std::string id = textOf(param(call, "id"));
            nlohmann::json title;
            {
                std::lock_guard lock(catalogue.mutex);
                auto found = catalogue.titles.find(id);
                if (found == catalogue.titles.end())
                    return catalogueDetail ? catalogueDetail(call) : ApiReply::error(1001, "影片不存在");
                title = found->second;
            }
            // The caller's favourites say whether the title is one; without them, the file.
            if (std::optional<bool> listed = SampleMine::isFavourite(*server, call.token, id))
                title["is_collect"] = *listed;
            std::shared_ptr<ViewerLists> lists = ViewerLists::of(*server);
            std::optional<std::int64_t> account = ViewerLists::accountOf(*server, call.token);
            if (lists && account) {
                lists->read(*account, [&title, &id](const AccountLists& own) {
                    if (const PlaybackRecord* record = own.recordOf(id))
                        title["last_playback"] = AccountLists::lastPlayback(*record);
                });
            }
            return ApiReply::success(std::move(title));
        }));

    api.handle(
        "v1/movie_addr/list", overSample<Catalogue>(deferred, [](Catalogue& catalogue, const ApiCall& call) {
            std::string id = textOf(param(call, "movie_id"));
            std::string code = textOf(param(call, "from_code"));
            std::lock_guard lock(catalogue.mutex);
            auto found = catalogue.titles.find(id);
            if (found == catalogue.titles.end())
                return ApiReply::error(1001, "影片不存在");
            for (const auto& source : found->second.value("play_from", nlohmann::json::array())) {
                if (source.is_object() && !code.empty()
                    && textOf(source.value("code", nlohmann::json())) == code)
                    return ApiReply::success(source.value("list", nlohmann::json::array()));
            }
            return ApiReply::error(1002, "暂无该线路");
        }));

    ApiHandler playerParse = api.handler("v1/movie_addr/parse");
    api.handle("v1/movie_addr/parse",
        overSample<Catalogue>(deferred, [playerParse](Catalogue& catalogue, const ApiCall& call) {
            std::string playURL = textOf(param(call, "play_url"));
            {
                std::lock_guard lock(catalogue.mutex);
                auto found = catalogue.addresses.find(playURL);
                if (found != catalogue.addresses.end()) {
                    if (!found->second)
                        return ApiReply::error(1101, "解析失败");
                    return ApiReply::success({ { "url", *found->second } });
                }
            }
            return playerParse ? playerParse(call) : ApiReply::error(1101, "解析失败");
        }));

    ApiHandler playerReport = api.handler("v1/movie_play/report");
    api.handle("v1/movie_play/report",
        overSample<Catalogue>(deferred, [playerReport, server](Catalogue& catalogue, const ApiCall& call) {
            ApiReply reply = playerReport ? playerReport(call) : ApiReply::success(nlohmann::json::object());
            std::string id = textOf(param(call, "movie_id"));
            std::string episode = textOf(param(call, "episode_id"));
            std::string from = textOf(param(call, "movie_from"));
            std::optional<long long> position = boundedNumber(param(call, "current_time"), kMaxSeconds);
            std::optional<long long> duration = boundedNumber(param(call, "duration"), kMaxSeconds);
            std::shared_ptr<ViewerLists> lists = ViewerLists::of(*server);
            std::optional<std::int64_t> account = ViewerLists::accountOf(*server, call.token);
            if (reply.errorCode != 0 || !lists || !account || !position || !duration || *duration == 0
                || episode.empty() || episode.size() > kMaxTextBytes || from.size() > kMaxTextBytes)
                return reply;
            std::optional<std::pair<std::string, std::string>> found;
            {
                std::lock_guard lock(catalogue.mutex);
                auto title = catalogue.titles.find(id);
                if (title != catalogue.titles.end())
                    found = reportedEpisode(title->second, episode, from);
            }
            // Only an episode of a title of the samples has a place in the lists.
            if (!found)
                return reply;
            PlaybackRecord record;
            record.movieID = id;
            record.episodeID = episode;
            record.from = found->first;
            record.episodeName = found->second;
            record.duration = *duration;
            // A position past the end (a report at the last frame) is the end.
            record.currentTime = std::min(*position, *duration);
            record.watchedAt = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch())
                                   .count();
            record.title = lists->names(id).value_or(TitleNames {});
            switch (lists->change(
                *account, [&record](AccountLists& own) { return own.report(std::move(record)); })) {
            case ViewerLists::Change::unchanged:
                return ViewerLists::noIDLeft();
            case ViewerLists::Change::notKept:
                return ApiReply::notKept();
            case ViewerLists::Change::kept:
                break;
            }
            return reply;
        }));

    return true;
}

}
