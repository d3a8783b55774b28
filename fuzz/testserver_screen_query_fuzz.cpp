// Feeds untrusted JSON to the local test server's filter-page query, as any caller of the API may
// send: the parameters are read into a query, and a page of a small catalogue is cut with it. A
// query stays within its bounds and a page never holds more titles than it may.

#include "tools/testserver/SampleHome.h"

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const nlohmann::json& catalogue()
{
    static const nlohmann::json titles = [] {
        nlohmann::json list = nlohmann::json::array();
        const char* classes[] = { "剧情", "喜剧", "科幻" };
        for (int i = 0; i < 40; ++i) {
            list.push_back({ { "id", std::to_string(41000 + i) }, { "type_id", 1 + i % 2 }, { "name", "片" },
                { "class", classes[i % 3] }, { "area", i % 2 ? "大陆" : "香港" }, { "year", "2024" },
                { "hits", i * 7 % 13 }, { "score", i % 5 }, { "time", 20240000 - i } });
        }
        list.push_back("not a title");
        list.push_back({ { "type_id", "1" }, { "hits", "many" } });
        return list;
    }();
    return titles;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    nlohmann::json parameters = nlohmann::json::parse(text, nullptr, false);
    if (parameters.is_discarded())
        return 0;
    auto query = testserver::SampleHome::parseScreenQuery(parameters);
    if (!query)
        return 0;
    check(query->page >= 1 && query->page <= testserver::SampleHome::maximumPage);
    check(query->pageSize >= 1 && query->pageSize <= testserver::SampleHome::maximumPageSize);
    nlohmann::json page = testserver::SampleHome::screenPage(catalogue(), *query);
    check(page["list"].is_array());
    check(static_cast<std::int64_t>(page["list"].size()) <= query->pageSize);
    return 0;
}
