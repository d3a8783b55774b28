#pragma once

#include "app/MainController/Search/Model/ZV_SearchMovieTagsModel.h"

#include <string>
#include <vector>

class JSON;

// One title of the search results. The search page flips `is_collect` when the favourite changes.
struct ZV_SearchMovieModel {
    ZV_SearchMovieModel() = default;
    explicit ZV_SearchMovieModel(const JSON& json);

    std::string blurb;
    std::string cover;
    std::string dynamic; // short text in the poster card's bottom bar
    std::string highlight; // carried, not shown
    std::string id;
    bool is_collect = false;
    std::string name;
    std::vector<ZV_SearchMovieTagsModel> tags;
    std::vector<ZV_SearchMovieTagsModel> members; // cast
    std::string type_name;
    std::string label; // corner tag; empty means none
};
