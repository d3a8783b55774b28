#pragma once

#include "tools/testserver/AccountLists.h"
#include "tools/testserver/ApiServer.h"

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace testserver {

// The home feed of the sample API ("v1/movie/index_recommend"): the sections of
// data/api/index_recommend.json as written, but for its two strips of titles being watched
// (layout "index_recommend_playback"), which are the caller's own (ViewerLists):
//
//   "继续观看"  the account's playback records, newest first: the title, where it stopped
//              ("看到第3集 00:08", "看到 00:09" for a title of one episode) and that episode
//   "我的追剧"  the account's favourites that are series (more than one episode), newest first:
//              where it stopped when it has a record, else the title's status line
//
// each at most maxStripItems titles. A caller signed out, or with nothing to show in a strip,
// gets the feed without that strip, as a real server leaves out a section it has nothing for.
struct SampleFeed {
    static constexpr std::size_t maxStripItems = 10;
    static constexpr const char* continueWatching = "继续观看";
    static constexpr const char* following = "我的追剧";

    // `sections` are the file's, their addresses pointed at this server.
    static void install(
        ApiServer& api, nlohmann::json sections, std::uint16_t httpPort, std::uint16_t httpsPort);

    // What a strip says of where a record stopped.
    static std::string progressLine(const PlaybackRecord& record);
};

}
