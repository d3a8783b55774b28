#pragma once

// The kinds of section of the search page, in the order the page can show them. Compared, never
// turned into numbers.
enum class ZV_SearchSectionType {
    advert,
    history,
    screenList, // the hot words
    ranking,
    complete, // suggestions
    movie, // results
    tag, // the result-type strip with the result count
};
