#include "tools/testserver/SampleMine.h"

#include "tools/testserver/Deferred.h"
#include "tools/testserver/SampleAccounts.h"
#include "tools/testserver/SampleTitles.h"
#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

namespace testserver {

namespace {

constexpr std::size_t kMaxIdsBytes = 4096;
constexpr std::size_t kMaxIdDigits = 18;
constexpr long long kMaxPage = 100000;
constexpr long long kMaxPageSize = 100;

struct Lists {
    std::mutex mutex;
    nlohmann::json playback = nlohmann::json::array(); // sections {title, list}
    nlohmann::json favourites = nlohmann::json::array();
    nlohmann::json notices = nlohmann::json::array();
    long long noticeTotal = 0;
    long long nextFavouriteID = 90000;
};

using TitlesByID = std::map<std::string, nlohmann::json>; // every title the lists show

bool isDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string textOf(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return {};
}

nlohmann::json param(const ApiCall& call, const char* key)
{
    if (!call.parameters.is_object())
        return nullptr;
    return call.parameters.value(key, nlohmann::json());
}

// A whole number within 1...limit, sent as a number or as decimal text.
std::optional<long long> boundedNumber(const nlohmann::json& value, long long limit)
{
    std::string text = textOf(value);
    if (text.empty() || text.size() > 9 || !isDigits(text))
        return std::nullopt;
    long long number = std::stoll(text);
    if (number < 1 || number > limit)
        return std::nullopt;
    return number;
}

// "12,7,30": every part a decimal id; none for anything else.
std::optional<std::set<std::string>> parseIds(const nlohmann::json& value)
{
    if (!value.is_string())
        return std::nullopt;
    const std::string& text = value.get_ref<const std::string&>();
    if (text.empty() || text.size() > kMaxIdsBytes)
        return std::nullopt;
    std::set<std::string> ids;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        if (part.empty() || part.size() > kMaxIdDigits || !isDigits(part))
            return std::nullopt;
        ids.insert(part);
    }
    if (text.back() == ',')
        return std::nullopt;
    return ids;
}

// Removes the items whose id is listed; the number removed.
std::size_t removeIds(nlohmann::json& list, const std::set<std::string>& ids)
{
    std::size_t before = list.size();
    nlohmann::json kept = nlohmann::json::array();
    for (nlohmann::json& item : list) {
        if (!ids.contains(textOf(item.value("id", nlohmann::json()))))
            kept.push_back(std::move(item));
    }
    list = std::move(kept);
    return before - list.size();
}

std::optional<ApiReply> refusePaging(const ApiCall& call, long long& page, long long& pageSize)
{
    std::optional<long long> p = boundedNumber(param(call, "page"), kMaxPage);
    std::optional<long long> size = boundedNumber(param(call, "pageSize"), kMaxPageSize);
    if (!p || !size)
        return ApiReply::error(1101, "参数错误");
    page = *p;
    pageSize = *size;
    return std::nullopt;
}

nlohmann::json pageOf(const nlohmann::json& list, long long page, long long pageSize)
{
    nlohmann::json slice = nlohmann::json::array();
    auto first = static_cast<std::size_t>((page - 1) * pageSize);
    for (std::size_t i = first; i < list.size() && i < first + static_cast<std::size_t>(pageSize); ++i)
        slice.push_back(list[i]);
    return slice;
}

// A new entry of the favourites list, named and with the status line of the title when the
// samples know it.
nlohmann::json favouriteEntry(Lists& l, const TitlesByID& titles, const std::string& movieID)
{
    nlohmann::json entry = { { "id", std::to_string(l.nextFavouriteID++) }, { "movie_id", movieID } };
    auto known = titles.find(movieID);
    if (known != titles.end()) {
        const nlohmann::json& title = known->second;
        entry["movie_name"] = title.value("name", "");
        entry["cover"] = title.value("cover", "");
        entry["movie_dynamic"] = title.value("dynamic", "");
        entry["type_name"] = title.value("type_name", "");
    }
    return entry;
}

std::optional<nlohmann::json> readFile(const std::filesystem::path& file, std::string* error)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || !json.is_object()) {
        if (error)
            *error = "not a JSON object: " + file.string();
        return std::nullopt;
    }
    return json;
}

// The lists installed on each API, for the other samples' questions; an API's entry goes with
// its lists.
std::mutex g_listsMutex;
std::map<const ApiServer*, std::weak_ptr<Lists>>& installedLists()
{
    static std::map<const ApiServer*, std::weak_ptr<Lists>> lists;
    return lists;
}

}

bool SampleMine::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error, SamplePreparation preparation)
{
    std::optional<nlohmann::json> file = readFile(dataDir / "api" / "mine.json", error);
    if (!file)
        return false;
    auto lists = std::make_shared<Lists>();
    lists->playback = file->value("playback", nlohmann::json::array());
    lists->favourites = file->value("favourites", nlohmann::json::array());
    nlohmann::json notices = file->value("notices", nlohmann::json::object());
    lists->notices = notices.value("list", nlohmann::json::array());
    lists->noticeTotal = notices.value("total", static_cast<long long>(lists->notices.size()));
    if (!lists->playback.is_array() || !lists->favourites.is_array() || !lists->notices.is_array()) {
        if (error)
            *error = "mine.json needs the arrays playback, favourites and notices.list";
        return false;
    }
    // Addresses in the file lead back to this server.
    auto point = [httpPort, httpsPort](auto& self, nlohmann::json& value) -> void {
        if (value.is_string()) {
            const std::string& text = value.get_ref<const std::string&>();
            if (text.find("://127.0.0.1:0/") != std::string::npos)
                value = pointAtLoopback(text, httpPort, httpsPort);
            return;
        }
        if (value.is_structured()) {
            for (auto& element : value)
                self(self, element);
        }
    };
    point(point, lists->playback);
    point(point, lists->favourites);
    point(point, lists->notices);
    // Every title that a list shows, so that a favourite added from any of them has its name.
    auto titles = std::make_shared<Deferred<const TitlesByID>>(
        [dataDir, point](std::string* error) -> std::shared_ptr<const TitlesByID> {
            std::optional<nlohmann::json> summaries = SampleTitles::load(dataDir, error);
            if (!summaries)
                return nullptr;
            auto byID = std::make_shared<TitlesByID>();
            for (nlohmann::json title : *summaries) {
                std::string id = textOf(title.value("id", nlohmann::json()));
                if (id.empty())
                    continue;
                point(point, title);
                (*byID)[id] = std::move(title);
            }
            return byID;
        });
    if (preparation == SamplePreparation::AtStart && !titles->get(error))
        return false;

    ApiServer* server = &api;
    auto signedIn = [server](const ApiCall& call) {
        std::shared_ptr<SampleAccounts> accounts = SampleAccounts::of(*server);
        return accounts && call.token && accounts->profileForToken(*call.token);
    };
    auto guarded = [&api, signedIn, lists](std::string path, bool needsSignIn,
                       std::function<ApiReply(Lists&, const ApiCall&)> endpoint) {
        api.handle(std::move(path), [signedIn, lists, needsSignIn, endpoint](const ApiCall& call) {
            if (call.method != "GET")
                return ApiReply::error(405, "请求方式错误");
            if (needsSignIn && !signedIn(call))
                return ApiReply::error(2000, "请先登录");
            std::lock_guard lock(lists->mutex);
            return endpoint(*lists, call);
        });
    };

    guarded("v1/user/playback/list", true,
        [](Lists& l, const ApiCall&) { return ApiReply::success(l.playback); });
    guarded("v1/user/playback/delete", true, [](Lists& l, const ApiCall& call) {
        std::optional<std::set<std::string>> ids = parseIds(param(call, "ids"));
        if (!ids)
            return ApiReply::error(1101, "参数错误");
        std::size_t removed = 0;
        for (nlohmann::json& section : l.playback) {
            if (section.is_object() && section.contains("list") && section["list"].is_array())
                removed += removeIds(section["list"], *ids);
        }
        if (removed == 0)
            return ApiReply::error(1102, "记录不存在");
        return ApiReply::success(nlohmann::json::object(), "删除成功");
    });
    guarded("v1/user/movie_collect/list", true, [](Lists& l, const ApiCall& call) {
        long long page = 0;
        long long pageSize = 0;
        if (auto refusal = refusePaging(call, page, pageSize))
            return *refusal;
        return ApiReply::success({ { "list", pageOf(l.favourites, page, pageSize) },
            { "total", static_cast<long long>(l.favourites.size()) } });
    });
    guarded("v1/user/movie_collect/delete", true, [](Lists& l, const ApiCall& call) {
        std::optional<std::set<std::string>> ids = parseIds(param(call, "ids"));
        if (!ids)
            return ApiReply::error(1101, "参数错误");
        if (removeIds(l.favourites, *ids) == 0)
            return ApiReply::error(1102, "记录不存在");
        return ApiReply::success(nlohmann::json::object(), "删除成功");
    });
    // Any title id is taken; `state` 1 or true adds the title at the front of the favourites, 0 or
    // false removes it. No `data`: the client hands the caller the message.
    api.handle("v1/movie/collect/action", [lists, titles](const ApiCall& call) {
        std::string movieID = textOf(param(call, "movie_id"));
        if (movieID.empty() || movieID.size() > kMaxIdDigits)
            return ApiReply::error(1001, "影片不存在");
        const nlohmann::json state = param(call, "state");
        bool add = state.is_boolean() ? state.get<bool>() : textOf(state) == "1";
        std::string unbuilt;
        std::shared_ptr<const TitlesByID> named = add ? titles->get(&unbuilt) : nullptr;
        if (add && !named)
            return unbuiltSample(unbuilt);
        std::lock_guard lock(lists->mutex);
        nlohmann::json kept = nlohmann::json::array();
        for (nlohmann::json& item : lists->favourites) {
            if (textOf(item.value("movie_id", nlohmann::json())) != movieID)
                kept.push_back(std::move(item));
        }
        if (add)
            kept.insert(kept.begin(), favouriteEntry(*lists, *named, movieID));
        lists->favourites = std::move(kept);
        ApiReply reply;
        reply.msg = add ? "收藏成功" : "已取消收藏";
        return reply;
    });
    guarded("v1/notice/list", false, [](Lists& l, const ApiCall& call) {
        long long page = 0;
        long long pageSize = 0;
        if (auto refusal = refusePaging(call, page, pageSize))
            return *refusal;
        return ApiReply::success(
            { { "list", pageOf(l.notices, page, pageSize) }, { "total", l.noticeTotal } });
    });
    std::lock_guard registryLock(g_listsMutex);
    std::erase_if(installedLists(), [](const auto& entry) { return entry.second.expired(); });
    installedLists()[&api] = lists;
    return true;
}

std::optional<bool> SampleMine::isFavourite(const ApiServer& api, const std::string& movieID)
{
    std::shared_ptr<Lists> lists;
    {
        std::lock_guard registryLock(g_listsMutex);
        auto found = installedLists().find(&api);
        if (found != installedLists().end())
            lists = found->second.lock();
    }
    if (!lists)
        return std::nullopt;
    std::lock_guard lock(lists->mutex);
    return std::any_of(
        lists->favourites.begin(), lists->favourites.end(), [&movieID](const nlohmann::json& item) {
            return item.is_object() && textOf(item.value("movie_id", nlohmann::json())) == movieID;
        });
}

}
