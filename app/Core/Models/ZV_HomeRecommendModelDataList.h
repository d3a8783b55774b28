#pragma once

#include <cstdint>
#include <string>

class JSON;

// The app-wide summary of a title: a feed item, a related title, a filter
// result, a favourite or a history entry. Each reply fills its own subset of
// the keys; the rest keep their empty defaults. Lists hold items by shared_ptr
// because their owners flip `isSel` on the instance the cells show.
struct ZV_HomeRecommendModelDataList {
    ZV_HomeRecommendModelDataList() = default;
    explicit ZV_HomeRecommendModelDataList(const JSON& json);

    std::string id;
    std::string click; // a title id when `type` is 1, a web address when 3
    std::string image;
    std::string label;
    std::string sub_title;
    std::string title;
    std::int64_t type = 0;
    std::string dynamic;
    std::string name;
    std::string movie_name;
    std::string cover;
    std::string movie_dynamic;
    std::string type_name;
    std::int64_t current_time = 0;
    std::int64_t duration = 0;
    std::int64_t episode_id = 0;
    std::string episode_name;
    std::string from_name;
    std::string movie_from;
    std::string movie_id;
    bool isSel = false; // edit-mode selection; never read from a reply
};
