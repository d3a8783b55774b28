#pragma once

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/Deferred.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace testserver {

// Each account's own lists on the sample API (ViewerLists): the playback history in its sections
// and the favourites, and the system notices, which are one list for everyone. The sample account
// (account.json) starts with the lists of data/api/mine.json, whose history entries resume where
// data/api/detail.json's "viewer_last_playback" says (the source played); every other account
// starts with none. Play reports (SampleDetail) move an account's records.
//
//   v1/user/playback/list          GET, signed in: the sections "今天", "一周内" and "更早" by
//                                  the time of each record, newest first, empty ones included
//   v1/user/playback/delete        GET, signed in: `ids`, decimal ids joined by ","
//   v1/user/movie_collect/list     GET, signed in: `page` and `pageSize` -> {list, total}
//   v1/user/movie_collect/delete   GET, signed in: `ids` as above
//   v1/movie/collect/action        signed in: any `movie_id`, `state` 1/true adds it at the front,
//                                  0/false removes it ("收藏成功" / "已取消收藏")
//   v1/notice/list                 GET: `page` and `pageSize` -> {list, total}; total is the
//                                  file's count of all notices ever sent, not only those listed
//
// A sign-in is any token the accounts (SampleAccounts) know; others get 2000. Bad pages and
// page sizes, and ids that are not a comma-separated list of numbers, get an error envelope.
// With the API's state folder the lists are kept there (see ViewerLists): a change (a deletion,
// a favourite added or removed) whose write the folder refuses gets 5001 "保存失败，请稍后重试"
// and leaves the lists as they were.
struct SampleMine {
    // Installs the endpoints, replacing earlier handlers of the same paths (and so starting
    // again from the file, or from the API's state folder). False with a message when the file is
    // missing or malformed, or a state file damaged.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr,
        SamplePreparation preparation = SamplePreparation::AtStart);

    // Whether the title is among the favourites of the account that the token signs in (the title
    // pages and the search say so of each title): false for a caller signed out, none when no
    // lists are installed on this API.
    static std::optional<bool> isFavourite(
        const ApiServer& api, const std::optional<std::string>& token, const std::string& movieID);
};

}
