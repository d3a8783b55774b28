#pragma once

#include "tools/testserver/ApiServer.h"

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace testserver {

// The home tab's sample replies from data/api/home.json: the update offer ("v1/app/check_update")
// and the catalogue that the filter pages page through ("v1/movie/screen/list"). The feed is
// SampleFeed's; the configuration comes with the other fixed replies of SampleApi.
struct SampleHome {
    // What a filter page asks for. A text of "全部" (or none, or empty) puts no condition on its
    // field; an unknown sort keeps the catalogue's order.
    struct ScreenQuery {
        std::int64_t typeId = 0;
        std::optional<std::string> classes;
        std::optional<std::string> area;
        std::optional<std::string> year;
        std::optional<std::string> sort; // "time", "hits" or "score": newest, most watched, best first
        std::int64_t page = 1;
        std::int64_t pageSize = 18;
    };
    static constexpr std::int64_t maximumPage = 10000;
    static constexpr std::int64_t maximumPageSize = 50;

    // False with a message when the file is missing or not the JSON it should be.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr);

    // The query of a request's parameters: numbers as numbers or decimal text; nullopt when a
    // number is missing, not a number or out of range (page 1...maximumPage, size
    // 1...maximumPageSize; type_id is required).
    static std::optional<ScreenQuery> parseScreenQuery(const nlohmann::json& parameters);
    // One page of the titles matching the query: {"list": [...], "page": n}; titles that are not
    // objects are skipped.
    static nlohmann::json screenPage(const nlohmann::json& titles, const ScreenQuery& query);
};

}
