#pragma once

#include <string>

class JSON;

// One title of the search results.
struct ZV_SearchMovieModel {
    ZV_SearchMovieModel() = default;
    explicit ZV_SearchMovieModel(const JSON& json);

    std::string cover;
    std::string dynamic; // short text in the poster card's bottom bar
    std::string label; // corner tag; empty means none
};
