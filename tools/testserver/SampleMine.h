#pragma once

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/Deferred.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace testserver {

// The viewer's own lists of the sample API, from data/api/mine.json: the playback history in its
// sections, the favourites and the system notices, with the deletions of history and favourites
// kept for the server's life (one set of lists, shared by every signed-in account).
//
//   v1/user/playback/list          GET, signed in: the sections, empty ones included
//   v1/user/playback/delete        GET, signed in: `ids`, decimal ids joined by ","
//   v1/user/movie_collect/list     GET, signed in: `page` and `pageSize` -> {list, total}
//   v1/user/movie_collect/delete   GET, signed in: `ids` as above
//   v1/movie/collect/action        any `movie_id`, `state` 1/true adds it at the front, 0/false
//                                  removes it ("收藏成功" / "已取消收藏")
//   v1/notice/list                 GET: `page` and `pageSize` -> {list, total}; total is the
//                                  file's count of all notices ever sent, not only those listed
//
// A sign-in is any token the accounts (SampleAccounts) know; others get 2000. Bad pages and
// page sizes, and ids that are not a comma-separated list of numbers, get an error envelope.
struct SampleMine {
    // Installs the endpoints, replacing earlier handlers of the same paths (and so starting
    // again from the file). False with a message when the file is missing or malformed.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr,
        SamplePreparation preparation = SamplePreparation::AtStart);

    // Whether the title is among the favourites of the lists installed on this API (the title
    // pages and the search say so of each title); none when none are installed.
    static std::optional<bool> isFavourite(const ApiServer& api, const std::string& movieID);
};

}
