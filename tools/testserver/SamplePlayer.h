#pragma once

#include "tools/testserver/ApiServer.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace testserver {

// The player's side of the sample API, from data/api/player.json: "v1/movie_addr/parse" resolves
// an episode's play_url to one of this server's own videos (or fails for an address it does not
// know), and "v1/movie_play/report" accepts every play report.
struct SamplePlayer {
    // False with a message when the file is missing or not the JSON it should be.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr);
};

}
