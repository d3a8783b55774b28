#pragma once

#include "app/MainController/Explore/Model/ZV_MovieExploreDataListMembersModel.h"
#include "app/MainController/Explore/Model/ZV_MovieExploreDataListTagsModel.h"

#include <string>
#include <vector>

class JSON;

// One title of the explore cards, from an element of the explore list. Never fails: missing or
// unconvertible keys give "" and 0, and a "members" or "tags" value that is no array an empty list.
struct ZV_MovieExploreModel {
    ZV_MovieExploreModel() = default;
    explicit ZV_MovieExploreModel(const JSON& json);

    std::string blurb;
    std::string cover;
    std::string id; // the title's id, as the detail page takes it
    std::vector<ZV_MovieExploreDataListMembersModel> members; // in the order sent
    std::string name;
    std::vector<ZV_MovieExploreDataListTagsModel> tags; // in the order sent
    std::string year;
};
