#include "app/Core/Models/ZV_DetailModel.h"

#include <gtest/gtest.h>

namespace {

using MembersType = ZV_DetailDataListMembersModel::membersType;

void expectAllAbsent(const ZV_DetailModel& model)
{
    EXPECT_FALSE(model.id);
    EXPECT_FALSE(model.hot);
    EXPECT_FALSE(model.name);
    EXPECT_FALSE(model.year);
    EXPECT_FALSE(model.cover);
    EXPECT_FALSE(model.isCollect);
    EXPECT_FALSE(model.dynamic);
    EXPECT_FALSE(model.content);
    EXPECT_FALSE(model.typeName);
    EXPECT_FALSE(model.blurb);
    EXPECT_FALSE(model.tags);
    EXPECT_FALSE(model.members);
    EXPECT_FALSE(model.playFrom);
    EXPECT_FALSE(model.recommendList);
    EXPECT_FALSE(model.lastPlayback);
}

TEST(ZV_DetailModel, EmptyValuesLeaveEveryFieldAbsent)
{
    for (const char* text : { "{}", "[]", "null", "42", "\"标题\"", "true", "not json" }) {
        SCOPED_TRACE(text);
        expectAllAbsent(ZV_DetailModel(JSON::parse(text)));
    }
    // A non-empty array is not an object either: every key reads as missing.
    ZV_DetailModel fromArray(JSON::parse("[1]"));
    EXPECT_EQ(fromArray.name, "");
    expectAllAbsent(ZV_DetailModel());
}

// A non-empty object gives present defaults: checked with the other fresh models.
TEST(ZV_DetailModel, LastPlaybackOnlyWhenANonEmptyObject)
{
    EXPECT_FALSE(ZV_DetailModel(JSON::parse(R"({"id": "1", "last_playback": {}})")).lastPlayback);
    EXPECT_FALSE(ZV_DetailModel(JSON::parse(R"({"id": "1", "last_playback": 5})")).lastPlayback);
    ZV_DetailModel played(JSON::parse(R"({"id": "1", "last_playback": {"current_time": 30}})"));
    ASSERT_TRUE(played.lastPlayback);
    EXPECT_EQ(played.lastPlayback->current_time, 30);
    EXPECT_EQ(played.lastPlayback->episode_id, "");
}

TEST(ZV_DetailModel, MemberRoles)
{
    auto roleOf = [](const char* type) {
        return ZV_DetailDataListMembersModel(JSON::parse(std::string(R"({"type": )") + type + "}")).type;
    };
    EXPECT_EQ(roleOf("1"), MembersType::actor);
    EXPECT_EQ(roleOf("2"), MembersType::director);
    EXPECT_EQ(roleOf("\"3\""), MembersType::screenwriter);
    for (const char* unknown : { "0", "4", "-1", "\"编剧\"", "null", "256", "259" })
        EXPECT_EQ(roleOf(unknown), MembersType::actor) << unknown;
    EXPECT_EQ(ZV_DetailDataListMembersModel(JSON()).type, MembersType::actor);
}

TEST(ZV_DetailModel, PlaySourcesAndEpisodesKeepAbsentVersusEmpty)
{
    ZV_DetailDataListPlayFromModel emptySource(JSON::object());
    EXPECT_FALSE(
        emptySource.total || emptySource.code || emptySource.name || emptySource.tips || emptySource.list);

    ZV_DetailDataListPlayFromModel sourceWithoutList(JSON::parse(R"({"name": "线路三"})"));
    ASSERT_TRUE(sourceWithoutList.list);
    EXPECT_TRUE(sourceWithoutList.list->empty());
    EXPECT_EQ(sourceWithoutList.tips, "");

    ZV_DetailDataListPlayFromListModel emptyEpisode(JSON::object());
    EXPECT_FALSE(emptyEpisode.readyToPlay);
    EXPECT_FALSE(emptyEpisode.episodeId || emptyEpisode.playUrl || emptyEpisode.headers);

    ZV_DetailDataListPlayFromListModel episode(
        JSON::parse(R"({"episode_id": 7, "headers": [{"Origin": "x"}, 3]})"));
    EXPECT_EQ(episode.episodeId, "7");
    EXPECT_EQ(episode.readyToPlay, false);
    EXPECT_EQ(episode.userAgent, "");
    ASSERT_TRUE(episode.headers);
    ASSERT_EQ(episode.headers->size(), 2u);
    EXPECT_EQ(episode.headers->at(0).size(), 1u);
    EXPECT_TRUE(episode.headers->at(1).empty());
}

TEST(ZV_DetailModel, DuplicatesStayInReplyOrder)
{
    ZV_DetailModel model(JSON::parse(R"({
        "tags": [{"name": "爱情"}, {"name": "爱情"}, {"name": "喜剧"}],
        "play_from": [{"code": "a"}, {"code": "a"}, {"code": "b"}]
    })"));
    ASSERT_EQ(model.tags->size(), 3u);
    EXPECT_EQ(model.tags->at(0)->name, "爱情");
    EXPECT_EQ(model.tags->at(1)->name, "爱情");
    EXPECT_EQ(model.tags->at(2)->name, "喜剧");
    ASSERT_EQ(model.playFrom->size(), 3u);
    EXPECT_EQ(model.playFrom->at(2)->code, "b");
    EXPECT_NE(model.playFrom->at(0), model.playFrom->at(1)); // two instances, not one shared twice
}

TEST(ZV_DetailModel, RemoveEpisodeMatchesAbsentIdsToo)
{
    auto episode = [](const char* text) {
        return std::make_shared<ZV_DetailDataListPlayFromListModel>(JSON::parse(text));
    };
    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> list { episode(R"({"episode_id": "1"})"),
        episode("{}"), episode(R"({"episode_id": "1"})"), episode(R"({"episode_id": "2"})"), episode("{}") };

    removeEpisode(list, *list.front());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_FALSE(list[0]->episodeId);

    removeEpisode(list, ZV_DetailDataListPlayFromListModel());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->episodeId, "2");
}

}
