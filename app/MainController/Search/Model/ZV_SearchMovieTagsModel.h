#pragma once

#include <cstdint>
#include <string>

class JSON;

// A genre tag or a cast member of a search result.
struct ZV_SearchMovieTagsModel {
    ZV_SearchMovieTagsModel() = default;
    explicit ZV_SearchMovieTagsModel(const JSON& json);

    std::string name;
    std::int64_t tag_id = 0;
    std::int64_t member_id = 0;
};
