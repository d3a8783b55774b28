#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace testserver {

// Every title that a list of the sample API shows, one summary per id, so that each of them has
// a title page (SampleDetail) and can be searched (SampleSearch).
//
// The lists, in the order read: the hand-written title pages (detail.json, then
// catalogue.json), the search titles (search.json, which the rankings name by id), the home feed
// (index_recommend.json: grids and the strip first, then the carousels), the filter catalogue
// (home.json), the explore titles (explore.json), the viewer's lists (mine.json: the history, the
// favourites, the notices that open a title) and the full titles of the short videos
// (short_video.json), which their "播放正片" searches for by name. A short video whose title no
// other title bears gets a title of its own, with the id clipTitleIdBase + its place in the file
// (from 1).
//
// A summary is an object with "id" (text) and what the lists tell of the title: "name", "cover",
// "dynamic", "label", "type_name", "year", "blurb", "hot", "content", "tags", "members"; the
// first list that gives a member with a value gives it, so a title's own page outranks every
// list. A title that no list gives a status line ("dynamic") gets "HD" when it is a film
// ("type_name" "电影"), else "全12集". Addresses keep their placeholder host ("https://127.0.0.1:0/").
//
// A title's cover bears no name: the title pages, the viewer's lists and the feed's strips write
// the title's name, status or progress over it. A picture that a list shows bearing a name (a
// short video's poster, an explore card) gives the title, in its place, the plain cover that
// images/drawn-names.json ("covers", written with the pictures) names for it; the list itself
// keeps its picture.
struct SampleTitles {
    static constexpr long long clipTitleIdBase = 45000;

    // The summaries in the order above; none with a message when a file is missing or is not the
    // JSON it should be.
    static std::optional<nlohmann::json> load(
        const std::filesystem::path& dataDir, std::string* error = nullptr);

    // The number right before the first "集" that follows digits: the count of a status line
    // ("全24集", "更新至8集", "S1 全8集": not the line's first number) or the number of an
    // episode's name ("第03集"); none in "HD" or "正片", or past nine digits.
    static std::optional<long long> numberBeforeEpisodeMark(const std::string& text);
};

}
