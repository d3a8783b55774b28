#include "tools/testserver/SampleSearch.h"

#include "tools/testserver/Deferred.h"
#include "tools/testserver/JsonText.h"
#include "tools/testserver/SampleMine.h"
#include "tools/testserver/SampleTitles.h"
#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace testserver {

namespace {

using nlohmann::json;

constexpr std::string_view kPlaceholderHost = "://127.0.0.1:0/";
constexpr std::size_t kMaximumSuggestions = 10;

void pointAtServer(json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.find(kPlaceholderHost) != std::string::npos)
            value = pointAtLoopback(text, httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            pointAtServer(element, httpPort, httpsPort);
    }
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Substring search that ignores the letter case of Latin letters.
bool contains(const std::string& text, const std::string& keyword)
{
    return !keyword.empty() && lowered(text).find(lowered(keyword)) != std::string::npos;
}

// A success without `data`: the client hands over `msg` instead (a text in `data` would be taken
// for an encrypted one).
ApiReply messageOnly(std::string msg)
{
    ApiReply reply;
    reply.msg = std::move(msg);
    return reply;
}

struct Catalogue {
    json titles = json::array();
    json latelyWords = json::array();
    json searchRanking = json::array();
    json rankingList = json::array();
    json rankingData = json::object();

    json titleById(const std::string& id) const
    {
        for (const json& title : titles) {
            if (textOf(title.value("id", json())) == id)
                return title;
        }
        return nullptr;
    }
    json titlesByIds(const json& ids) const
    {
        json list = json::array();
        if (!ids.is_array())
            return list;
        for (const json& id : ids) {
            json title = titleById(textOf(id));
            if (!title.is_null())
                list.push_back(std::move(title));
        }
        return list;
    }
    bool matches(const json& title, const std::string& keyword, bool byMember) const
    {
        if (!byMember)
            return contains(title.value("name", ""), keyword);
        for (const json& member : title.value("members", json::array())) {
            if (contains(member.value("name", ""), keyword))
                return true;
        }
        return false;
    }
};

// The titles and rankings of the sample; null with the reason when the data cannot make them.
std::shared_ptr<const Catalogue> buildCatalogue(
    const std::filesystem::path& dataDir, std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    std::filesystem::path file = dataDir / "api" / "search.json";
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    json data = json::parse(text.str(), nullptr, false);
    if (!stream || !data.is_object() || !data.value("titles", json()).is_array()) {
        if (error)
            *error = "not the search sample: " + file.string();
        return nullptr;
    }
    pointAtServer(data, httpPort, httpsPort);

    auto catalogue = std::make_shared<Catalogue>();
    catalogue->titles = data["titles"];
    // After the file's own titles, every other title that a list shows, so that each one can be
    // found by its name.
    std::optional<json> others = SampleTitles::load(dataDir, error);
    if (!others)
        return nullptr;
    pointAtServer(*others, httpPort, httpsPort);
    std::set<std::string> own;
    for (const json& title : catalogue->titles)
        own.insert(textOf(title.value("id", json())));
    for (json& title : *others) {
        if (own.contains(textOf(title.value("id", json()))))
            continue;
        for (const char* list : { "tags", "members" }) {
            if (!title.contains(list))
                title[list] = json::array();
        }
        title["is_collect"] = false;
        title["highlight"] = "";
        catalogue->titles.push_back(std::move(title));
    }
    catalogue->latelyWords = data.value("lately_words", json::array());
    catalogue->searchRanking = data.value("search_ranking", json::array());
    catalogue->rankingData = data.value("ranking_data", json::object());
    for (json ranking : data.value("ranking_list", json::array())) {
        ranking["movie_data"] = catalogue->titlesByIds(ranking.value("movie_data", json::array()));
        catalogue->rankingList.push_back(std::move(ranking));
    }
    return catalogue;
}

}

bool SampleSearch::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error, SamplePreparation preparation)
{
    auto deferred
        = std::make_shared<Deferred<const Catalogue>>([dataDir, httpPort, httpsPort](std::string* error) {
              return buildCatalogue(dataDir, httpPort, httpsPort, error);
          });
    if (preparation == SamplePreparation::AtStart && !deferred->get(error))
        return false;

    // Each result says whether it is among the caller's favourites (the file's flag without them).
    ApiServer* server = &api;
    api.handle("v1/movie/search",
        overSample<const Catalogue>(deferred, [server](const Catalogue& sample, const ApiCall& call) {
            std::string keyword = textOf(call.parameters.value("keyword", json()));
            bool byMember = textOf(call.parameters.value("res_type", json())) == "by_member_name";
            json list = json::array();
            for (const json& title : sample.titles) {
                if (!sample.matches(title, keyword, byMember))
                    continue;
                list.push_back(title);
                if (std::optional<bool> listed
                    = SampleMine::isFavourite(*server, call.token, textOf(title.value("id", json()))))
                    list.back()["is_collect"] = *listed;
            }
            std::size_t total = list.size();
            return ApiReply::success({ { "list", std::move(list) }, { "total", total }, { "page", 1 } });
        }));
    api.handle("v1/movie/search_complete",
        overSample<const Catalogue>(deferred, [](const Catalogue& sample, const ApiCall& call) {
            std::string keyword = textOf(call.parameters.value("keyword", json()));
            json suggestions = json::array();
            for (const json& title : sample.titles) {
                if (suggestions.size() < kMaximumSuggestions && sample.matches(title, keyword, false))
                    suggestions.push_back({ { "name", title.value("name", "") },
                        { "dynamic", title.value("dynamic", "") }, { "highlight", keyword } });
            }
            return ApiReply::success(std::move(suggestions));
        }));
    api.handle("v1/movie/search_lately_words",
        overSample<const Catalogue>(deferred,
            [](const Catalogue& sample, const ApiCall&) { return ApiReply::success(sample.latelyWords); }));
    api.handle("v1/movie/search_ranking",
        overSample<const Catalogue>(deferred,
            [](const Catalogue& sample, const ApiCall&) { return ApiReply::success(sample.searchRanking); }));
    api.handle("v1/movie/ranking/list",
        overSample<const Catalogue>(deferred,
            [](const Catalogue& sample, const ApiCall&) { return ApiReply::success(sample.rankingList); }));
    api.handle("v1/movie/ranking/data",
        overSample<const Catalogue>(deferred, [](const Catalogue& sample, const ApiCall& call) {
            std::string id = textOf(call.parameters.value("id", json()));
            return ApiReply::success(sample.titlesByIds(sample.rankingData.value(id, json::array())));
        }));
    api.handle("v1/user/feedback/submit", [](const ApiCall& call) {
        const json& type = call.parameters.value("type_id", json());
        std::string content = textOf(call.parameters.value("content", json()));
        if (!type.is_number_integer() || content.empty())
            return ApiReply::error(1001, "参数错误");
        return messageOnly("感谢反馈，我们会尽快处理");
    });
    return true;
}

}
