#pragma once

#include <cstdint>
#include <string>
#include <vector>

class JSON;

// One filter group of the filter screen.
struct ZV_ConfigDataMovie_screenFilter {
    ZV_ConfigDataMovie_screenFilter() = default;
    explicit ZV_ConfigDataMovie_screenFilter(const JSON& json);

    std::vector<std::string> area;
    std::vector<std::string> type; // sent by the server under "class"
    std::int64_t id = 0;
    std::string name;
    std::vector<std::string> year;
};
