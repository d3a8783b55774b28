#include "tools/testserver/SampleMine.h"

#include "tools/testserver/Deferred.h"
#include "tools/testserver/JsonText.h"
#include "tools/testserver/SampleTitles.h"
#include "tools/testserver/StoredAddresses.h"
#include "tools/testserver/ViewerLists.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

namespace testserver {

namespace {

constexpr std::size_t kMaxIdsBytes = 4096;
constexpr std::size_t kMaxIdDigits = 18;
constexpr long long kMaxPage = 100000;
constexpr long long kMaxPageSize = 100;
constexpr std::int64_t kDay = 24 * 3600;

// The history's sections, newest first.
constexpr const char* kToday = "今天";
constexpr const char* kThisWeek = "一周内";
constexpr const char* kEarlier = "更早";

// The lists that are one for everyone.
struct Notices {
    nlohmann::json list = nlohmann::json::array();
    long long total = 0;
};

using TitlesByID = std::map<std::string, nlohmann::json>; // every title the lists show

bool isDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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
    IntegerRead read = readInteger(value, { 1, limit, true });
    return read ? std::optional<long long>(*read) : std::nullopt;
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

std::int64_t nowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The first second of the server's local day of the time.
std::int64_t startOfDay(std::int64_t time)
{
    std::time_t t = static_cast<std::time_t>(time);
    std::tm local {};
    if (!localtime_r(&t, &local))
        return time - time % kDay;
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

// The sample account's lists at the first start: mine.json's history, each entry in the source
// that detail.json's "viewer_last_playback" names and timed so that it falls in the section the
// file puts it in, and mine.json's favourites. A damaged detail.json names no source: the title
// pages report it themselves.
std::optional<AccountLists> sampleLists(
    const nlohmann::json& mine, const nlohmann::json& detail, std::int64_t now, std::string* error)
{
    auto failed = [error](std::string message) -> std::optional<AccountLists> {
        if (error)
            *error = "mine.json: " + std::move(message);
        return std::nullopt;
    };
    nlohmann::json lastPlaybacks
        = detail.is_object() ? detail.value("viewer_last_playback", nlohmann::json()) : nullptr;
    if (!lastPlaybacks.is_object())
        lastPlaybacks = nlohmann::json::object();
    const std::int64_t today = startOfDay(now);
    std::vector<PlaybackRecord> records;
    std::string problem;
    for (const nlohmann::json& section : mine.value("playback", nlohmann::json::array())) {
        nlohmann::json list = section.is_object() ? section.value("list", nlohmann::json()) : nullptr;
        if (!list.is_array())
            return failed("a history section without a list");
        std::string title = section.value("title", "");
        for (const nlohmann::json& entry : list) {
            // A second apart, in the order of the file.
            auto place = static_cast<std::int64_t>(records.size()) + 1;
            std::int64_t at = title == kToday ? std::max(today, now - place)
                : title == kThisWeek          ? now - 3 * kDay - place
                                              : now - 30 * kDay - place;
            std::optional<PlaybackRecord> record = AccountLists::recordFrom(entry, at, &problem);
            if (!record)
                return failed("a history entry: " + problem);
            nlohmann::json last = lastPlaybacks.value(record->movieID, nlohmann::json());
            if (last.is_object())
                record->from = textOf(last.value("movie_from", nlohmann::json()));
            records.push_back(std::move(*record));
        }
    }
    std::stable_sort(records.begin(), records.end(),
        [](const PlaybackRecord& a, const PlaybackRecord& b) { return a.watchedAt > b.watchedAt; });
    AccountLists lists;
    // Oldest first: each lands at the front in its turn.
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        lists.report(std::move(*it));
    nlohmann::json favourites = mine.value("favourites", nlohmann::json::array());
    for (auto it = favourites.rbegin(); it != favourites.rend(); ++it) {
        std::optional<Favourite> favourite = AccountLists::favouriteFrom(*it, &problem);
        if (!favourite)
            return failed("a favourite: " + problem);
        lists.addFavourite(std::move(*favourite));
    }
    return lists;
}

// The history in its sections by the time of each record; the records are newest first.
nlohmann::json historySections(const AccountLists& lists, std::int64_t now)
{
    nlohmann::json today = nlohmann::json::array();
    nlohmann::json thisWeek = nlohmann::json::array();
    nlohmann::json earlier = nlohmann::json::array();
    const std::int64_t startOfToday = startOfDay(now);
    for (const PlaybackRecord& record : lists.records()) {
        nlohmann::json& section = record.watchedAt >= startOfToday ? today
            : record.watchedAt >= now - 7 * kDay                   ? thisWeek
                                                                   : earlier;
        section.push_back(AccountLists::historyEntry(record));
    }
    return nlohmann::json::array({ { { "title", kToday }, { "list", std::move(today) } },
        { { "title", kThisWeek }, { "list", std::move(thisWeek) } },
        { { "title", kEarlier }, { "list", std::move(earlier) } } });
}

// The reply to a deletion from the history or the favourites.
ApiReply deletion(ViewerLists::Change change)
{
    switch (change) {
    case ViewerLists::Change::unchanged:
        return ApiReply::error(1102, "记录不存在");
    case ViewerLists::Change::notKept:
        return ApiReply::notKept();
    case ViewerLists::Change::kept:
        break;
    }
    return ApiReply::success(nlohmann::json::object(), "删除成功");
}

TitleNames namesOf(const nlohmann::json& summary)
{
    return { textOf(summary.value("name", nlohmann::json())),
        textOf(summary.value("cover", nlohmann::json())), textOf(summary.value("dynamic", nlohmann::json())),
        textOf(summary.value("type_name", nlohmann::json())),
        textOf(summary.value("label", nlohmann::json())) };
}

}

bool SampleMine::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error, SamplePreparation preparation)
{
    std::optional<nlohmann::json> file = readFile(dataDir / "api" / "mine.json", error);
    if (!file)
        return false;
    std::optional<nlohmann::json> accountFile = readFile(dataDir / "api" / "account.json", error);
    if (!accountFile)
        return false;
    auto notices = std::make_shared<Notices>();
    nlohmann::json noticeFile = file->value("notices", nlohmann::json::object());
    notices->list = noticeFile.is_object() ? noticeFile.value("list", nlohmann::json()) : nullptr;
    if (!file->value("playback", nlohmann::json()).is_array()
        || !file->value("favourites", nlohmann::json()).is_array() || !notices->list.is_array()) {
        if (error)
            *error = "mine.json needs the arrays playback, favourites and notices.list";
        return false;
    }
    notices->total = noticeFile.value("total", static_cast<long long>(notices->list.size()));
    // Addresses in the replies lead back to this server; the lists keep the file's own.
    auto pointed = [httpPort, httpsPort](nlohmann::json value) {
        restoreAddresses(value, httpPort, httpsPort);
        return value;
    };
    restoreAddresses(notices->list, httpPort, httpsPort);

    std::optional<nlohmann::json> detail = readFile(dataDir / "api" / "detail.json", nullptr);
    std::optional<AccountLists> sample = sampleLists(*file, detail.value_or(nullptr), nowSeconds(), error);
    if (!sample)
        return false;
    // Every title that a list shows, so that a favourite or record made of any of them has its name.
    auto titles = std::make_shared<Deferred<const TitlesByID>>(
        [dataDir](std::string* error) -> std::shared_ptr<const TitlesByID> {
            std::optional<nlohmann::json> summaries = SampleTitles::load(dataDir, error);
            if (!summaries)
                return nullptr;
            auto byID = std::make_shared<TitlesByID>();
            for (nlohmann::json title : *summaries) {
                std::string id = textOf(title.value("id", nlohmann::json()));
                if (!id.empty())
                    (*byID)[id] = std::move(title);
            }
            return byID;
        });
    if (preparation == SamplePreparation::AtStart && !titles->get(error))
        return false;
    auto namer = [titles](const std::string& movieID) -> std::optional<TitleNames> {
        std::shared_ptr<const TitlesByID> named = titles->get();
        auto found = named ? named->find(movieID) : TitlesByID::const_iterator();
        if (!named || found == named->end())
            return std::nullopt;
        return namesOf(found->second);
    };
    nlohmann::json sampleUser = accountFile->value("user", nlohmann::json::object());
    std::int64_t sampleAccount
        = sampleUser.is_object() ? sampleUser.value("id", std::int64_t(1)) : std::int64_t(1);
    std::shared_ptr<ViewerLists> lists
        = ViewerLists::open(api.stateFolder(), sampleAccount, std::move(*sample), namer, error);
    if (!lists)
        return false;

    ApiServer* server = &api;
    // The endpoints of the caller's own lists: GET, signed in.
    auto own = [&api, server, lists](std::string path,
                   std::function<ApiReply(ViewerLists&, std::int64_t, const ApiCall&)> endpoint) {
        api.handle(std::move(path), [server, lists, endpoint](const ApiCall& call) {
            if (call.method != "GET")
                return ApiReply::error(405, "请求方式错误");
            std::optional<std::int64_t> account = ViewerLists::accountOf(*server, call.token);
            if (!account)
                return ApiReply::error(2000, "请先登录");
            return endpoint(*lists, *account, call);
        });
    };

    own("v1/user/playback/list", [pointed](ViewerLists& l, std::int64_t account, const ApiCall&) {
        nlohmann::json sections;
        l.read(account,
            [&sections](const AccountLists& lists) { sections = historySections(lists, nowSeconds()); });
        return ApiReply::success(pointed(std::move(sections)));
    });
    own("v1/user/playback/delete", [](ViewerLists& l, std::int64_t account, const ApiCall& call) {
        std::optional<std::set<std::string>> ids = parseIds(param(call, "ids"));
        if (!ids)
            return ApiReply::error(1101, "参数错误");
        return deletion(
            l.change(account, [&ids](AccountLists& lists) { return lists.removeRecords(*ids) > 0; }));
    });
    own("v1/user/movie_collect/list", [pointed](ViewerLists& l, std::int64_t account, const ApiCall& call) {
        long long page = 0;
        long long pageSize = 0;
        if (auto refusal = refusePaging(call, page, pageSize))
            return *refusal;
        nlohmann::json entries = nlohmann::json::array();
        l.read(account, [&entries](const AccountLists& lists) {
            for (const Favourite& favourite : lists.favourites())
                entries.push_back(AccountLists::favouriteEntry(favourite));
        });
        auto total = static_cast<long long>(entries.size());
        return ApiReply::success(
            { { "list", pointed(pageOf(entries, page, pageSize)) }, { "total", total } });
    });
    own("v1/user/movie_collect/delete", [](ViewerLists& l, std::int64_t account, const ApiCall& call) {
        std::optional<std::set<std::string>> ids = parseIds(param(call, "ids"));
        if (!ids)
            return ApiReply::error(1101, "参数错误");
        return deletion(
            l.change(account, [&ids](AccountLists& lists) { return lists.removeFavourites(*ids) > 0; }));
    });
    // Any title id is taken; `state` 1 or true adds the title at the front of the caller's
    // favourites, 0 or false removes it. No `data`: the client hands the caller the message.
    api.handle("v1/movie/collect/action", [server, lists, titles, namer](const ApiCall& call) {
        std::optional<std::int64_t> account = ViewerLists::accountOf(*server, call.token);
        if (!account)
            return ApiReply::error(2000, "请先登录");
        std::string movieID = textOf(param(call, "movie_id"));
        if (movieID.empty() || movieID.size() > kMaxIdDigits)
            return ApiReply::error(1001, "影片不存在");
        const nlohmann::json state = param(call, "state");
        bool add = state.is_boolean() ? state.get<bool>() : textOf(state) == "1";
        ApiReply reply;
        reply.msg = add ? "收藏成功" : "已取消收藏";
        if (!add) {
            // Removing a title that is no favourite is no error: the viewer sees it removed.
            if (lists->change(*account, [&movieID](AccountLists& l) { return l.removeFavourite(movieID); })
                == ViewerLists::Change::notKept)
                return ApiReply::notKept();
            return reply;
        }
        std::string unbuilt;
        if (!titles->get(&unbuilt))
            return unbuiltSample(unbuilt);
        Favourite favourite { "", movieID, namer(movieID).value_or(TitleNames {}) };
        bool noIDLeft = false;
        switch (lists->change(*account, [&favourite, &noIDLeft](AccountLists& l) {
            return l.addFavourite(std::move(favourite), &noIDLeft);
        })) {
        case ViewerLists::Change::unchanged:
            return noIDLeft ? ViewerLists::noIDLeft() : ApiReply::error(1103, "收藏已达上限");
        case ViewerLists::Change::notKept:
            return ApiReply::notKept();
        case ViewerLists::Change::kept:
            break;
        }
        return reply;
    });
    api.handle("v1/notice/list", [notices](const ApiCall& call) {
        if (call.method != "GET")
            return ApiReply::error(405, "请求方式错误");
        long long page = 0;
        long long pageSize = 0;
        if (auto refusal = refusePaging(call, page, pageSize))
            return *refusal;
        return ApiReply::success(
            { { "list", pageOf(notices->list, page, pageSize) }, { "total", notices->total } });
    });
    ViewerLists::attach(api, lists);
    return true;
}

std::optional<bool> SampleMine::isFavourite(
    const ApiServer& api, const std::optional<std::string>& token, const std::string& movieID)
{
    std::shared_ptr<ViewerLists> lists = ViewerLists::of(api);
    if (!lists)
        return std::nullopt;
    std::optional<std::int64_t> account = ViewerLists::accountOf(api, token);
    if (!account)
        return false;
    bool held = false;
    lists->read(*account, [&held, &movieID](const AccountLists& l) { held = l.isFavourite(movieID); });
    return held;
}

}
