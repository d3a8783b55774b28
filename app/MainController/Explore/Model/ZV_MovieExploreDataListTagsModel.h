#pragma once

#include <cstdint>
#include <string>

class JSON;

// A genre tag of an explore title.
struct ZV_MovieExploreDataListTagsModel {
    ZV_MovieExploreDataListTagsModel() = default;
    explicit ZV_MovieExploreDataListTagsModel(const JSON& json);

    std::string name;
    std::int64_t tag_id = 0;
};
