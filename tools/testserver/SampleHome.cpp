#include "tools/testserver/SampleHome.h"

#include "tools/testserver/JsonText.h"
#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace testserver {

namespace {

constexpr std::string_view anyOption = "全部";
constexpr std::string_view placeholderHost = "://127.0.0.1:0/";

// The sample's addresses, pointed at the server's own ports.
void pointAtServer(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.find(placeholderHost) != std::string::npos)
            value = pointAtLoopback(text, httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            pointAtServer(element, httpPort, httpsPort);
    }
}

// A number of the query within its field, sent as a number or as digits; none for anything else,
// a number past the field however far past among it.
std::optional<std::int64_t> number(const nlohmann::json& value, std::int64_t low, std::int64_t high)
{
    IntegerRead read = readInteger(value, { low, high, true });
    return read ? std::optional(*read) : std::nullopt;
}

std::optional<std::string> condition(const nlohmann::json& parameters, const char* key)
{
    auto it = parameters.find(key);
    if (it == parameters.end() || !it->is_string())
        return std::nullopt;
    std::string text = it->get<std::string>();
    if (text.empty() || text == anyOption)
        return std::nullopt;
    return text;
}

std::string textOf(const nlohmann::json& title, const char* key)
{
    auto it = title.find(key);
    if (it == title.end())
        return {};
    if (it->is_string())
        return it->get<std::string>();
    if (it->is_number_integer())
        return std::to_string(it->get<std::int64_t>());
    return {};
}

double numberOf(const nlohmann::json& title, const char* key)
{
    auto it = title.find(key);
    return it != title.end() && it->is_number() ? it->get<double>() : 0;
}

bool matches(const nlohmann::json& title, const SampleHome::ScreenQuery& query)
{
    if (textOf(title, "type_id") != std::to_string(query.typeId))
        return false;
    if (query.classes && textOf(title, "class") != *query.classes)
        return false;
    if (query.area && textOf(title, "area") != *query.area)
        return false;
    return !query.year || textOf(title, "year") == *query.year;
}

// What a list item carries: the card's fields, not the filter's.
nlohmann::json listItem(const nlohmann::json& title)
{
    nlohmann::json item = nlohmann::json::object();
    for (const char* key : { "id", "name", "cover", "dynamic", "label", "type_name" }) {
        if (auto it = title.find(key); it != title.end())
            item[key] = *it;
    }
    return item;
}

}

std::optional<SampleHome::ScreenQuery> SampleHome::parseScreenQuery(const nlohmann::json& parameters)
{
    if (!parameters.is_object())
        return std::nullopt;
    ScreenQuery query;
    auto typeId = number(parameters.value("type_id", nlohmann::json()), anyInteger.low, anyInteger.high);
    if (!typeId)
        return std::nullopt;
    query.typeId = *typeId;
    if (parameters.contains("page")) {
        auto page = number(parameters["page"], 1, maximumPage);
        if (!page)
            return std::nullopt;
        query.page = *page;
    }
    if (parameters.contains("pageSize")) {
        auto size = number(parameters["pageSize"], 1, maximumPageSize);
        if (!size)
            return std::nullopt;
        query.pageSize = *size;
    }
    query.classes = condition(parameters, "class");
    query.area = condition(parameters, "area");
    query.year = condition(parameters, "year");
    query.sort = condition(parameters, "sort");
    return query;
}

nlohmann::json SampleHome::screenPage(const nlohmann::json& titles, const ScreenQuery& query)
{
    std::vector<const nlohmann::json*> found;
    if (titles.is_array()) {
        for (const nlohmann::json& title : titles) {
            if (title.is_object() && matches(title, query))
                found.push_back(&title);
        }
    }
    if (query.sort == "time" || query.sort == "hits" || query.sort == "score") {
        const char* key = query.sort->c_str();
        std::stable_sort(found.begin(), found.end(), [key](const nlohmann::json* a, const nlohmann::json* b) {
            return numberOf(*a, key) > numberOf(*b, key);
        });
    }
    nlohmann::json list = nlohmann::json::array();
    // Both factors are bounded by parseScreenQuery, so the product cannot overflow.
    std::int64_t first = (query.page - 1) * query.pageSize;
    for (std::int64_t i = first; i < first + query.pageSize && i < static_cast<std::int64_t>(found.size());
         ++i)
        list.push_back(listItem(*found[i]));
    return { { "list", std::move(list) }, { "page", query.page } };
}

bool SampleHome::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error)
{
    std::filesystem::path file = dataDir / "api" / "home.json";
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json home = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || home.is_discarded() || !home.is_object()) {
        if (error)
            *error = "not a JSON object: " + file.string();
        return false;
    }
    pointAtServer(home, httpPort, httpsPort);

    nlohmann::json update = home.value("check_update", nlohmann::json::object());
    api.handle("v1/app/check_update", [update](const ApiCall&) { return ApiReply::success(update); });

    auto titles
        = std::make_shared<const nlohmann::json>(home.value("screen_titles", nlohmann::json::array()));
    api.handle("v1/movie/screen/list", [titles](const ApiCall& call) {
        std::optional<ScreenQuery> query = parseScreenQuery(call.parameters);
        if (!query)
            return ApiReply::error(1004, "参数错误");
        return ApiReply::success(screenPage(*titles, *query));
    });
    return true;
}

}
