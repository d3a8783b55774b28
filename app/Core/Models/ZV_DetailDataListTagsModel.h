#pragma once

#include <cstdint>
#include <string>

class JSON;

// One tag of a title.
struct ZV_DetailDataListTagsModel {
    ZV_DetailDataListTagsModel() = default;
    explicit ZV_DetailDataListTagsModel(const JSON& json);

    std::string name;
    std::int64_t tag_id = 0;
};
