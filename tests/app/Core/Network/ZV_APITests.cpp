#include "app/Core/Network/ZV_API.h"
#include "platform/foundation/Bundle.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

TEST(ZV_API, CaseZeroAndCasesOutOfRangeHaveTheEmptyPath)
{
    // Case zero stands for the short-video base itself.
    EXPECT_EQ(path(ZV_API::shortVideoList), "");
    EXPECT_EQ(ZV_APICaseCount, 43u);
    EXPECT_EQ(path(ZV_API(1)), "v1/user/register/email");
    EXPECT_EQ(path(ZV_API(42)), "v1/app/check_update");
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
