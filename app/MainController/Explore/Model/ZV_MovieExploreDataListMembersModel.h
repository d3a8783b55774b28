#pragma once

#include <cstdint>
#include <string>

class JSON;

// A cast or crew member of an explore title; `type` is the role as the server codes it.
struct ZV_MovieExploreDataListMembersModel {
    ZV_MovieExploreDataListMembersModel() = default;
    explicit ZV_MovieExploreDataListMembersModel(const JSON& json);

    std::int64_t member_id = 0;
    std::string name;
    std::int64_t type = 0;
};
