#pragma once

#include "app/Core/Models/ZV_DetailDataListPlayFromListModel.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class JSON;

// One play source of a title with its episodes. Built from an empty JSON
// value every field stays absent, the episode list included.
struct ZV_DetailDataListPlayFromModel {
    ZV_DetailDataListPlayFromModel() = default;
    explicit ZV_DetailDataListPlayFromModel(const JSON& json);

    std::optional<std::string> total; // the episode count as the server words it
    std::optional<std::string> code;
    std::optional<std::string> name;
    std::optional<std::string> tips;
    std::optional<std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>> list;
};
