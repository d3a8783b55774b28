#pragma once

#include "tools/testserver/ApiServer.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace testserver {

class TestServer;

// The short-video tab's sample replies: the short-video list ("v1/video/display", the path of the
// short-video service on this server), which hands out the clips of data/api/short_video.json
// `pageSize` at a time (16 when absent, 1 to 50) going round the list, and the explore titles of
// data/api/explore.json ("v1/movie/explore/list"), the whole batch on every call. The clips play
// this server's own video (/video/...).
struct SampleShortVideo {
    // False with a message when a file is missing or not the JSON it should be.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr);
    // The QR code image of the share posters, at "/api/down/qrcode.png" (beside the API, whose
    // envelope it does not have), from data/images/qrcode.png.
    static bool installPosterCode(
        TestServer& server, const std::filesystem::path& dataDir, std::string* error = nullptr);
};

}
