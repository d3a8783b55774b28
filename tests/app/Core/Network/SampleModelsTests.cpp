// The shared models read what the local test server's sample API delivers for the detail and
// home endpoints, through the whole request road.

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "tests/app/support/ApiTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class SampleModelsTest : public ApiTest { };

TEST_F(SampleModelsTest, DetailReplyBuildsATitleWithSourcesAndEpisodes)
{
    auto reply = send(HTTPMethod::GET, "v1/movie/detail", JSON::object({ { "id", 40217 } }));
    ASSERT_TRUE(reply.has_value());
    ASSERT_FALSE(reply->error.has_value()) << reply->error->domain;
    ASSERT_TRUE(reply->json.has_value());

    ZV_DetailModel model(*reply->json);
    EXPECT_EQ(model.name.value_or(""), "青石巷的雨季");
    ASSERT_TRUE(model.playFrom.has_value());
    ASSERT_FALSE(model.playFrom->empty());
    const auto& source = model.playFrom->front();
    ASSERT_TRUE(source->list.has_value());
    ASSERT_FALSE(source->list->empty());
    EXPECT_TRUE(source->list->front()->episodeId.has_value());
}

TEST_F(SampleModelsTest, HomeFeedReplyBuildsSectionsWithTitles)
{
    auto reply = send(HTTPMethod::GET, "v1/movie/index_recommend");
    ASSERT_TRUE(reply.has_value());
    ASSERT_FALSE(reply->error.has_value()) << reply->error->domain;
    ASSERT_TRUE(reply->json.has_value());

    auto sections = reply->json->arrayValue();
    ASSERT_FALSE(sections.empty());
    std::size_t titles = 0;
    for (const auto& json : sections) {
        ZV_HomeRecommendModelData section(json);
        for (const auto& item : section.list) {
            // Carousel items carry a title, title cards a name.
            EXPECT_FALSE(item->name.empty() && item->title.empty());
            ++titles;
        }
    }
    EXPECT_GT(titles, 0u);
}

}
