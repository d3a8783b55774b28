#pragma once

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/Deferred.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace testserver {

// The sample search and rankings over data/api/search.json: titles in Chinese and Latin text
// searched by name or by cast member (a keyword that matches nothing finds nothing), after them
// every other title that a list shows (SampleTitles), such as the downloads' sample, suggestions,
// hot words, the search page's ranking cards, the ranking tab's rankings (one without titles,
// which "v1/movie/ranking/data" gives by id), the favourite toggle and the request form. A result
// is a favourite (is_collect) when the caller's favourites (SampleMine) hold it.
struct SampleSearch {
    // False with a message when the file is missing or not the JSON it should be; prepared at the
    // first use, the routes answer that with an error reply instead.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr,
        SamplePreparation preparation = SamplePreparation::AtStart);
};

}
