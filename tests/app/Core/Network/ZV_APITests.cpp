// The endpoint table as the API defines it: the path of every case, in order, and the method that
// every caller must use (the local test server refuses any other, so the screens' tests against
// it hold each call site to it).

#include "app/Core/Network/ZV_API.h"
#include "platform/foundation/Bundle.h"
#include "tools/testserver/ApiEndpoints.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Endpoint {
    const char* path;
    const char* method;
};

TEST(ZV_API, EveryCaseHasItsPathAndMethod)
{
    const Endpoint cases[] = {
        { "", "GET" },
        { "v1/user/register/email", "POST" },
        { "v1/user/info", "GET" },
        { "v1/user/forget/get_token", "GET" },
        { "v1/user/forget/send_code", "GET" },
        { "v1/user/forget/set_pass", "POST" },
        { "v1/user/refresh_token", "GET" },
        { "v1/user/movie_collect/list", "GET" },
        { "v1/user/movie_collect/delete", "GET" },
        { "v1/user/playback/list", "GET" },
        { "v1/user/playback/delete", "GET" },
        { "v1/notice/list", "GET" },
        { "v1/user/get_code", "GET" },
        { "v1/user/change/phone", "POST" },
        { "v1/user/change/email", "POST" },
        { "v1/user/change/password", "POST" },
        { "v1/user/change/nickname", "POST" },
        { "v1/user/change/username", "POST" },
        { "v1/user/change/avatar", "POST" },
        { "v1/user/upload_image", "POST" },
        { "v1/movie/detail", "GET" },
        { "v1/movie_addr/list", "GET" },
        { "v1/movie_addr/parse", "GET" },
        { "v1/movie/screen/list", "GET" },
        { "v1/movie/explore/list", "GET" },
        { "v1/movie/collect/action", "POST" },
        { "v1/movie_play/report", "POST" },
        { "v1/movie/ranking/list", "GET" },
        { "v1/movie/ranking/data", "GET" },
        { "v1/movie/search_lately_words", "GET" },
        { "v1/movie/search_ranking", "GET" },
        { "v1/movie/search_complete", "GET" },
        { "v1/movie/search", "GET" },
        { "v1/user/feedback/submit", "POST" },
        { "v1/advert/config", "GET" },
        { "v1/room/lastmsg", "GET" },
        { "v1/room/current", "GET" },
        { "v1/room/blockuser", "POST" },
        { "v1/room/sendmsg", "POST" },
        { "v1/room/revokemsg", "POST" },
        { "v1/room/user", "GET" },
        { "v1/room/maxseq", "GET" },
        { "v1/app/check_update", "GET" },
    };
    static_assert(std::size(cases) == ZV_APICaseCount);
    for (std::size_t i = 0; i < ZV_APICaseCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(path(ZV_API(i)), cases[i].path);
        // Case 0 is the short-video base itself, which this server serves under its API.
        std::string served = i == 0 ? "v1/video/display" : cases[i].path;
        EXPECT_EQ(testserver::endpointMethod(served).value_or("none"), cases[i].method);
    }
    EXPECT_EQ(path(ZV_API(ZV_APICaseCount)), "");

    // Sent only as literal paths.
    for (const Endpoint& literal :
        { Endpoint { "v1/user/register/phone", "POST" }, Endpoint { "v1/user/login", "POST" },
            Endpoint { "v1/movie/index_recommend", "GET" }, Endpoint { "v1/app/config", "GET" } })
        EXPECT_EQ(testserver::endpointMethod(literal.path).value_or("none"), literal.method) << literal.path;
    EXPECT_FALSE(testserver::endpointMethod("v1/user/infos"));
}

TEST(ZV_API, JoinsTheDefaultAPIBaseWithASingleSlash)
{
    auto base = Bundle::main().infoString(InfoKey::MainURL).value_or("");
    ASSERT_TRUE(base.ends_with("/api/"));
    EXPECT_TRUE((base + std::string(path(ZV_API::userInfo))).ends_with("/api/v1/user/info"));
}

}
