// What the local test server answers the short-video tab, as the app's client reads it: clips of
// its own video going round a list longer than a page, and favourites that count.

#include "tests/app/support/ApiTestSupport.h"

#include <set>

namespace {

using SampleTest = zvtest::ApiTest;

TEST_F(SampleTest, ClipsComeRoundInPagesAndFavouritesFollowTheActions)
{
    std::set<std::string> titles;
    for (int page = 0; page < 2; ++page) {
        // The short-video base of this server is this path under the API's.
        auto reply = send(HTTPMethod::GET, "v1/video/display", JSON::object({ { "pageSize", 16 } }));
        ASSERT_TRUE(reply && reply->json) << page;
        std::vector<JSON> list = (*reply->json)["list"].arrayValue();
        ASSERT_EQ(list.size(), 16u);
        for (const JSON& clip : list) {
            titles.insert(clip["title"].stringValue());
            EXPECT_EQ(clip["play_addr"].stringValue().rfind(serverURL() + "/video/", 0), 0u);
        }
    }
    EXPECT_GE(titles.size(), 20u) << "more clips than a page, so that paging brings new ones";

    setToken("tk-301877-first");
    auto total = [&] {
        auto reply = send(HTTPMethod::GET, "v1/user/movie_collect/list",
            JSON::object({ { "page", 1 }, { "pageSize", 1 } }));
        return reply && reply->json ? (*reply->json)["total"].intValue() : -1;
    };
    std::int64_t before = total();
    ASSERT_GE(before, 0);
    for (const auto& [state, change] :
        std::vector<std::pair<JSON, int>> { { 1, 1 }, { true, 1 }, { 0, 0 } }) {
        auto done = send(HTTPMethod::POST, "v1/movie/collect/action",
            JSON::object({ { "movie_id", "50101" }, { "state", state } }));
        ASSERT_TRUE(done && done->json);
        EXPECT_EQ(total(), before + change);
    }
}

}
