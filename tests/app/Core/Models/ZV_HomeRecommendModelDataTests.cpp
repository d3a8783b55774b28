#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "tests/app/Core/Models/ModelSamples.h"

#include <gtest/gtest.h>

namespace {

std::vector<ZV_HomeRecommendModelData> sections(const JSON& json)
{
    std::vector<ZV_HomeRecommendModelData> result;
    for (const JSON& element : json.arrayValue())
        result.emplace_back(element);
    return result;
}

TEST(ZV_HomeRecommendModelData, ReadsTheFeedReply)
{
    auto feed = sections(zvtest::sampleReplyData("index_recommend.json"));
    ASSERT_EQ(feed.size(), 4u);

    const auto& carousel = feed[0];
    EXPECT_EQ(carousel.layout, ZV_HomeRecommendModelData::carouselLayout);
    ASSERT_EQ(carousel.list.size(), 2u);
    EXPECT_EQ(carousel.list[0]->type, 1);
    EXPECT_EQ(carousel.list[0]->click, "40217");
    EXPECT_EQ(carousel.list[1]->type, 3);
    EXPECT_EQ(carousel.list[1]->sub_title, "会员暑期活动");

    const auto& playback = feed[1];
    EXPECT_EQ(playback.title, "继续观看");
    ASSERT_EQ(playback.list.size(), 1u);
    EXPECT_EQ(playback.list[0]->movie_id, "40311");
    EXPECT_EQ(playback.list[0]->episode_id, 771203);
    EXPECT_EQ(playback.list[0]->current_time, 1520);
    EXPECT_EQ(playback.list[0]->duration, 2650);
    EXPECT_EQ(playback.right.type, "navigator");
    EXPECT_EQ(playback.right.data.page, "play_record");

    const auto& advert = feed[2];
    EXPECT_EQ(advert.layout, ZV_HomeRecommendModelData::advertLayout);
    EXPECT_EQ(advert.data.data.image, "https://ad.zentavo.example/a/home_mid.png");
    EXPECT_EQ(advert.data.location_id, 12);

    const auto& grid = feed[3];
    ASSERT_EQ(grid.list.size(), 3u);
    EXPECT_EQ(grid.list[2]->id, "40602"); // sent as a number
    EXPECT_EQ(grid.list[0]->label, "新片");
    EXPECT_EQ(grid.list[1]->label, ""); // a later item keeps nothing of an earlier one
    EXPECT_EQ(grid.right.text, "更多");
    EXPECT_EQ(grid.right.type, "tabs");
    EXPECT_EQ(grid.right.data.index, 2);
    EXPECT_EQ(grid.right.data.param.classes, "电影");
}

TEST(ZV_HomeRecommendModelData, MissingPartsGiveEmptyDefaults)
{
    ZV_HomeRecommendModelData section(
        JSON::parse(R"({"layout": "index_recommend_grid", "list": {"id": 1}})"));
    // Absent parts after a full section are checked with the other fresh models.
    EXPECT_TRUE(section.list.empty());

    EXPECT_TRUE(ZV_HomeRecommendModelData(JSON::parse(R"({"list": "片单"})")).list.empty());
    for (const char* garbage : { "null", "[]", "7", "\"x\"" }) {
        ZV_HomeRecommendModelData any(JSON::parse(garbage));
        EXPECT_EQ(any.layout, "") << garbage;
        EXPECT_TRUE(any.list.empty()) << garbage;
    }

    ZV_HomeRightModelData target(JSON::parse(R"({"param": {"classes": "电影"}})"));
    EXPECT_EQ(target.param.classes, "");
}

TEST(ZV_HomeRecommendModelDataList, ReadsIntegersLenientlyAndNeverSelection)
{
    EXPECT_EQ(ZV_HomeRecommendModelDataList(JSON::parse(R"({"episode_id": "12"})")).episode_id, 12);
    EXPECT_EQ(ZV_HomeRecommendModelDataList(JSON::parse(R"({"episode_id": "十二"})")).episode_id, 0);
    EXPECT_EQ(ZV_HomeRecommendModelDataList(JSON::parse(R"({"type": true})")).type, 1);
    EXPECT_EQ(ZV_HomeRecommendModelDataList(JSON::parse(R"({"duration": 5400000000})")).duration, 5400000000);
    EXPECT_FALSE(ZV_HomeRecommendModelDataList(JSON::parse(R"({"isSel": true})")).isSel);
}

}
