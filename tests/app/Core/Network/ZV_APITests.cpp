#include "app/Core/Network/ZV_API.h"
#include "platform/foundation/Bundle.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

TEST(ZV_API, CaseZeroIsTheEmptyPathOfTheShortVideoBase)
{
    EXPECT_EQ(path(ZV_API::shortVideoList), "");
    std::string base = "http://127.0.0.1:4399/api/v1/video/display";
    EXPECT_EQ(base + std::string(path(ZV_API::shortVideoList)), base);
}

TEST(ZV_API, PathsStandInTheirFixedOrder)
{
    EXPECT_EQ(ZV_APICaseCount, 43u);
    EXPECT_EQ(path(ZV_API(1)), "v1/user/register/email");
    EXPECT_EQ(path(ZV_API(2)), "v1/user/info");
    EXPECT_EQ(path(ZV_API(6)), "v1/user/refresh_token");
    EXPECT_EQ(path(ZV_API(18)), "v1/user/change/avatar");
    EXPECT_EQ(path(ZV_API(19)), "v1/user/upload_image");
    EXPECT_EQ(path(ZV_API(20)), "v1/movie/detail");
    EXPECT_EQ(path(ZV_API(25)), "v1/movie/collect/action");
    EXPECT_EQ(path(ZV_API(34)), "v1/advert/config");
    EXPECT_EQ(path(ZV_API(41)), "v1/room/maxseq");
    EXPECT_EQ(path(ZV_API(42)), "v1/app/check_update");
    EXPECT_EQ(path(ZV_API::movieDetail), "v1/movie/detail");
    EXPECT_EQ(path(ZV_API::checkUpdate), "v1/app/check_update");
    EXPECT_EQ(path(ZV_API(43)), "");
}

TEST(ZV_API, EveryOtherCaseIsADistinctPathUnderV1)
{
    std::set<std::string> paths;
    for (std::size_t i = 1; i < ZV_APICaseCount; ++i) {
        std::string text(path(ZV_API(i)));
        EXPECT_TRUE(text.starts_with("v1/")) << i;
        EXPECT_FALSE(text.ends_with("/")) << i;
        paths.insert(text);
    }
    EXPECT_EQ(paths.size(), ZV_APICaseCount - 1);
}

TEST(ZV_API, JoinsTheDefaultAPIBaseWithASingleSlash)
{
    auto base = Bundle::main().infoString(InfoKey::MainURL).value_or("");
    ASSERT_TRUE(base.ends_with("/api/"));
    EXPECT_TRUE((base + std::string(path(ZV_API::userInfo))).ends_with("/api/v1/user/info"));
}

}
