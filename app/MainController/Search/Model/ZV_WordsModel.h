#pragma once

#include <cstdint>
#include <string>

class JSON;

// A word of the search page: a hot word, or one entry of a ranking's word list.
struct ZV_WordsModel {
    ZV_WordsModel() = default;
    explicit ZV_WordsModel(const JSON& json);

    std::int64_t hot = 0; // carried; nothing shows it
    std::string word;
};
