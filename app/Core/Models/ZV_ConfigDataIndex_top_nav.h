#pragma once

#include <cstdint>
#include <string>

class JSON;

// One top tab of the home page.
struct ZV_ConfigDataIndex_top_nav {
    ZV_ConfigDataIndex_top_nav() = default;
    explicit ZV_ConfigDataIndex_top_nav(const JSON& json);

    std::int64_t id = 0;
    std::string name;
};
