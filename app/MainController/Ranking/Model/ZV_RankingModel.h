#pragma once

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Search/Model/ZV_WordsModel.h"

#include <memory>
#include <string>
#include <vector>

class JSON;

// One ranking: its name, its ranked words (the search page's cards) and its ranked titles (the
// ranking tab's pages). Shared by reference: the tab page and the ranking's page hold one object,
// and titles that the page loads stay on it.
struct ZV_RankingModel {
    ZV_RankingModel() = default;
    // Never fails: missing keys give empty texts and lists.
    explicit ZV_RankingModel(const JSON& json);

    std::string id;
    std::string title;
    std::vector<ZV_WordsModel> list;
    std::vector<std::shared_ptr<ZV_DetailModel>> movie_data;

    // Each element of an array as a title, in order; anything but an array gives none.
    static std::vector<std::shared_ptr<ZV_DetailModel>> titlesFrom(const JSON& array);
    // Each element of an array as a ranking, in order; anything but an array gives none.
    static std::vector<std::shared_ptr<ZV_RankingModel>> rankingsFrom(const JSON& array);
};
