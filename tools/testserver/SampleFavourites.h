#pragma once

#include "tools/testserver/ApiServer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace testserver {

// The viewer's favourites, kept while the server runs: "v1/user/movie_collect/list" (page and
// pageSize, 1-based; `list` and `total`; for a signed-in caller only) and
// "v1/movie/collect/action" (any `movie_id`, with `state` 1 or true to add, 0 or false to remove;
// "收藏成功" / "已取消收藏"). Entries carry the names and covers of the titles of
// data/api/catalogue.json and explore.json; the favourites at start are explore.json's.
struct SampleFavourites {
    using SignedIn = std::function<bool(const ApiCall&)>;

    // False with a message when the file is missing or not the JSON it should be.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, SignedIn signedIn, std::string* error = nullptr);
};

}
