#include "tools/testserver/ApiEndpoints.h"

#include <algorithm>
#include <array>
#include <utility>

namespace testserver {

namespace {

using Endpoint = std::pair<std::string_view, std::string_view>;

// The server's side of the contract, written from the API's own list rather than from a client.
constexpr std::array kEndpoints = {
    Endpoint { "v1/video/display", "GET" }, // the short-video list, under the API on this server
    Endpoint { "v1/user/register/email", "POST" },
    Endpoint { "v1/user/info", "GET" },
    Endpoint { "v1/user/forget/get_token", "GET" },
    Endpoint { "v1/user/forget/send_code", "GET" },
    Endpoint { "v1/user/forget/set_pass", "POST" },
    Endpoint { "v1/user/refresh_token", "GET" },
    Endpoint { "v1/user/movie_collect/list", "GET" },
    Endpoint { "v1/user/movie_collect/delete", "GET" },
    Endpoint { "v1/user/playback/list", "GET" },
    Endpoint { "v1/user/playback/delete", "GET" },
    Endpoint { "v1/notice/list", "GET" },
    Endpoint { "v1/user/get_code", "GET" },
    Endpoint { "v1/user/change/phone", "POST" },
    Endpoint { "v1/user/change/email", "POST" },
    Endpoint { "v1/user/change/password", "POST" },
    Endpoint { "v1/user/change/nickname", "POST" },
    Endpoint { "v1/user/change/username", "POST" },
    Endpoint { "v1/user/change/avatar", "POST" },
    Endpoint { "v1/user/upload_image", "POST" },
    Endpoint { "v1/movie/detail", "GET" },
    Endpoint { "v1/movie_addr/list", "GET" },
    Endpoint { "v1/movie_addr/parse", "GET" },
    Endpoint { "v1/movie/screen/list", "GET" },
    Endpoint { "v1/movie/explore/list", "GET" },
    Endpoint { "v1/movie/collect/action", "POST" },
    Endpoint { "v1/movie_play/report", "POST" },
    Endpoint { "v1/movie/ranking/list", "GET" },
    Endpoint { "v1/movie/ranking/data", "GET" },
    Endpoint { "v1/movie/search_lately_words", "GET" },
    Endpoint { "v1/movie/search_ranking", "GET" },
    Endpoint { "v1/movie/search_complete", "GET" },
    Endpoint { "v1/movie/search", "GET" },
    Endpoint { "v1/user/feedback/submit", "POST" },
    Endpoint { "v1/advert/config", "GET" },
    Endpoint { "v1/room/lastmsg", "GET" },
    Endpoint { "v1/room/current", "GET" },
    Endpoint { "v1/room/blockuser", "POST" },
    Endpoint { "v1/room/sendmsg", "POST" },
    Endpoint { "v1/room/revokemsg", "POST" },
    Endpoint { "v1/room/user", "GET" },
    Endpoint { "v1/room/maxseq", "GET" },
    Endpoint { "v1/app/check_update", "GET" },
    Endpoint { "v1/user/register/phone", "POST" },
    Endpoint { "v1/user/login", "POST" },
    Endpoint { "v1/movie/index_recommend", "GET" },
    Endpoint { "v1/app/config", "GET" },
};

}

std::optional<std::string_view> endpointMethod(std::string_view path)
{
    auto it = std::find_if(kEndpoints.begin(), kEndpoints.end(),
        [path](const Endpoint& endpoint) { return endpoint.first == path; });
    if (it == kEndpoints.end())
        return std::nullopt;
    return it->second;
}

}
