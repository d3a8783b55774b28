#pragma once

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/Deferred.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace testserver {

// The title pages' side of the sample API: the titles of data/api/detail.json and
// catalogue.json as written, and a page of one template for every other title that a list shows
// (SampleTitles): what the lists tell of it, one source "线路一" of ready episodes (as many as its
// status line counts, one when it counts none) on this server's plain video, and the next three titles of
// the lists as related titles. Episode n of a generated title has the id title id × 1000 + n.
//
//   "v1/movie/detail"        one of these titles (is_collect: whether the caller's favourites
//                            (SampleMine) hold it, else as the file says; last_playback: where
//                            the caller's playback record (ViewerLists) stopped, if it has one);
//                            other ids go on to the earlier handler (the catalogue)
//   "v1/movie_addr/list"     the episodes of one source of a title (an array, maybe empty)
//   "v1/movie_addr/parse"    the file's "zv-detail://" addresses resolved to /video/ (some fail
//                            on purpose); others go on to the earlier handler (the player's)
//   "v1/movie_play/report"   answered by the earlier handler; a signed-in caller's report of an
//                            episode of one of these titles becomes the account's record of the
//                            title (its history, the feed's strips and this page's last_playback
//                            all follow it), named by the episode's source and name; a report
//                            whose record the state folder refuses gets 5001 and is not taken
//
// A source may list its episodes or describe them with "episodes": {"count", "id_base",
// "ready": [numbers] or "all", "unresolved": [numbers], "video": "low" | "high" | "clip"};
// episode n then has the id id_base + n, the name "第NN集", and either its video address
// (ready) or "zv-detail://<title>/<source>/<n>" to be resolved. Every video address carries the
// title, source and episode in its query, so that each episode is an export of its own.
struct SampleDetail {
    static constexpr const char* unresolvedScheme = "zv-detail://";

    // After the catalogue and the player's sample, whose handlers it extends.
    // False with a message when the file is missing or not what it should be; prepared at the
    // first use, the routes answer that with an error reply instead.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr,
        SamplePreparation preparation = SamplePreparation::AtStart);
};

}
