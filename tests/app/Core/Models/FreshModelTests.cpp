// A model built from a JSON value that lacks a field shows that field's
// default, never a value of a model built before it. These cases build a full
// model and then a sparse one in a row, as a list or a repeated reply does.
#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "tests/app/Core/Models/ModelSamples.h"

#include <gtest/gtest.h>

namespace {

TEST(FreshModels, DetailAfterDetail)
{
    auto full = std::make_shared<ZV_DetailModel>(zvtest::sampleReplyData("movie_detail.json"));
    auto sparse = std::make_shared<ZV_DetailModel>(zvtest::sampleReplyData("movie_detail_sparse.json"));

    EXPECT_EQ(sparse->id, "40318");
    EXPECT_EQ(sparse->name, "风起洛川");
    EXPECT_EQ(sparse->hot, "");
    EXPECT_EQ(sparse->cover, "");
    EXPECT_EQ(sparse->content, "");
    EXPECT_EQ(sparse->isCollect, false);
    EXPECT_TRUE(sparse->tags->empty());
    EXPECT_TRUE(sparse->members->empty());
    EXPECT_TRUE(sparse->playFrom->empty());
    EXPECT_TRUE(sparse->recommendList->empty());
    EXPECT_FALSE(sparse->lastPlayback);

    // The first model is untouched by the later ones.
    EXPECT_EQ(full->name, "青石巷的雨季");
    EXPECT_TRUE(full->lastPlayback);
}

TEST(FreshModels, EpisodesOfOneSource)
{
    ZV_DetailDataListPlayFromModel source(JSON::parse(R"({"name": "线路一", "list": [
        {"episode_id": "1", "play_url": "https://media.zentavo.example/1.m3u8", "ready_to_play": true,
         "user_agent": "UA/1", "headers": [{"Referer": "r"}]},
        {"episode_id": "2"},
        {}
    ]})"));
    ASSERT_EQ(source.list->size(), 3u);
    const auto& second = *source.list->at(1);
    EXPECT_EQ(second.episodeId, "2");
    EXPECT_EQ(second.playUrl, "");
    EXPECT_EQ(second.readyToPlay, false);
    EXPECT_EQ(second.userAgent, "");
    EXPECT_TRUE(second.headers->empty());
    const auto& third = *source.list->at(2);
    EXPECT_FALSE(third.episodeId);
    EXPECT_FALSE(third.readyToPlay);
}

TEST(FreshModels, FeedItemsAndSections)
{
    JSON full = JSON::parse(R"({"layout": "index_recommend_grid", "title": "热门", "list": [
        {"id": "1", "label": "独播", "dynamic": "HD", "episode_id": 9, "current_time": 60}, {"id": "2"}],
        "right": {"text": "更多", "type": "tabs", "data": {"page": "p", "index": 3, "param": {"class": "动漫"}}},
        "data": {"channel": "c", "data": {"image": "i", "url": "u"}, "location_id": 4}})");
    ZV_HomeRecommendModelData first(full);
    ZV_HomeRecommendModelData second(JSON::parse(R"({"layout": "index_recommend_grid"})"));

    ASSERT_EQ(first.list.size(), 2u);
    EXPECT_EQ(first.list[1]->label, "");
    EXPECT_EQ(first.list[1]->dynamic, "");
    EXPECT_EQ(first.list[1]->episode_id, 0);
    EXPECT_EQ(first.list[1]->current_time, 0);

    EXPECT_EQ(second.title, "");
    EXPECT_TRUE(second.list.empty());
    EXPECT_EQ(second.right.text, "");
    EXPECT_EQ(second.right.data.index, 0);
    EXPECT_EQ(second.right.data.param.classes, "");
    EXPECT_EQ(second.data.channel, "");
    EXPECT_EQ(second.data.data.image, "");
    EXPECT_EQ(second.data.location_id, 0);
}

TEST(FreshModels, ConfigurationProfileAndAdverts)
{
    ZV_ConfigData fullConfig(zvtest::sampleReplyData("app_config.json"));
    ZV_ConfigData sparseConfig(
        JSON::parse(R"({"new_notice": "38", "movie_screen": {"filter": [{"id": 2}]}})"));
    EXPECT_EQ(sparseConfig.new_notice, "38");
    EXPECT_EQ(sparseConfig.share_link, "");
    EXPECT_TRUE(sparseConfig.feedback.empty());
    ASSERT_EQ(sparseConfig.movie_screen.filter.size(), 1u);
    EXPECT_TRUE(sparseConfig.movie_screen.filter[0].type.empty());
    EXPECT_EQ(sparseConfig.movie_screen.filter[0].name, "");

    ZV_UserInfoModel fullUser(zvtest::sampleReplyData("user_info.json"));
    ZV_UserInfoModel sparseUser(JSON::parse(R"({"id": "9"})"));
    EXPECT_EQ(sparseUser.id, "9");
    EXPECT_EQ(sparseUser.nickname, "");
    EXPECT_EQ(sparseUser.status, 0);

    ZV_AdvertConfigModel fullAdverts(zvtest::sampleReplyData("advert_config.json"));
    ZV_AdvertConfigModel sparseAdverts(JSON::parse(R"({"start": {"remarks": "启动页"}})"));
    EXPECT_EQ(sparseAdverts.start.remarks, "启动页");
    EXPECT_EQ(sparseAdverts.start.data.image, "");
    EXPECT_EQ(sparseAdverts.index_popup.data.image, "");
    EXPECT_FALSE(fullAdverts.index_popup.data.image.empty());
}

}
