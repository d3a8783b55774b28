#include "app/Core/Network/ZV_API.h"

#include <array>

namespace {

// Indexed by the case number.
constexpr std::array<std::string_view, ZV_APICaseCount> kPaths = {
    "",
    "v1/user/register/email",
    "v1/user/info",
    "v1/user/forget/get_token",
    "v1/user/forget/send_code",
    "v1/user/forget/set_pass",
    "v1/user/refresh_token",
    "v1/user/movie_collect/list",
    "v1/user/movie_collect/delete",
    "v1/user/playback/list",
    "v1/user/playback/delete",
    "v1/notice/list",
    "v1/user/get_code",
    "v1/user/change/phone",
    "v1/user/change/email",
    "v1/user/change/password",
    "v1/user/change/nickname",
    "v1/user/change/username",
    "v1/user/change/avatar",
    "v1/user/upload_image",
    "v1/movie/detail",
    "v1/movie_addr/list",
    "v1/movie_addr/parse",
    "v1/movie/screen/list",
    "v1/movie/explore/list",
    "v1/movie/collect/action",
    "v1/movie_play/report",
    "v1/movie/ranking/list",
    "v1/movie/ranking/data",
    "v1/movie/search_lately_words",
    "v1/movie/search_ranking",
    "v1/movie/search_complete",
    "v1/movie/search",
    "v1/user/feedback/submit",
    "v1/advert/config",
    "v1/room/lastmsg",
    "v1/room/current",
    "v1/room/blockuser",
    "v1/room/sendmsg",
    "v1/room/revokemsg",
    "v1/room/user",
    "v1/room/maxseq",
    "v1/app/check_update",
};

static_assert(static_cast<std::size_t>(ZV_API::checkUpdate) + 1 == ZV_APICaseCount);

}

std::string_view path(ZV_API api)
{
    auto index = static_cast<std::size_t>(api);
    // A value outside the enumeration (cast from a number) has no path.
    if (index >= kPaths.size())
        return {};
    return kPaths[index];
}
