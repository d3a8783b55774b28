// The short-video and explore models from sparse and odd JSON.

#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "platform/json/JSON.h"

#include <gtest/gtest.h>

namespace {

// Whether every field is present (true) or every field is absent (false); anything else fails.
::testing::AssertionResult allFields(const ZV_ShortModel& m, bool present)
{
    std::vector<bool> has { m.avatar.has_value(), m.cover.has_value(), m.cover1.has_value(),
        m.createTime.has_value(), m.desc.has_value(), m.douban.has_value(), m.mixId.has_value(),
        m.mixItems.has_value(), m.mixName.has_value(), m.nickname.has_value(), m.no.has_value(),
        m.playAddr.has_value(), m.title.has_value(), m.type.has_value(), m.updateTime.has_value(),
        m.vid.has_value() };
    for (std::size_t i = 0; i < has.size(); ++i) {
        if (has[i] != present)
            return ::testing::AssertionFailure() << "field " << i << (present ? " absent" : " present");
    }
    return ::testing::AssertionSuccess();
}

TEST(ZV_ShortModel, AnEmptyValueLeavesEveryFieldAbsentAnythingElseFillsThemAll)
{
    // A non-empty array is no empty value: its keys are read (and missing).
    for (const char* empty : { "{}", "[]", "null", "7", "\"clip\"", "[1, 2]" })
        EXPECT_TRUE(allFields(ZV_ShortModel(JSON::parse(empty)), std::string_view(empty) == "[1, 2]"))
            << empty;

    ZV_ShortModel nulled(JSON::parse(R"({"title": null})"));
    EXPECT_TRUE(allFields(nulled, true));
    EXPECT_EQ(nulled.title, "");
    EXPECT_EQ(nulled.playAddr, "");
    EXPECT_EQ(nulled.createTime, 0);
    EXPECT_EQ(nulled.updateTime, 0.0);
    EXPECT_EQ(nulled.mixItems->size(), 0u);
}

TEST(ZV_ShortModel, ValuesAreReadLenientlyUnderTheirKeys)
{
    ZV_ShortModel clip(JSON::parse(R"({
        "avatar": "a.png", "cover": "c.jpg", "cover_1": "c1.jpg", "create_time": "1717000000",
        "desc": "说明", "douban": 7.5, "mix_id": 901, "mix_name": "合集", "nickname": "小站", "no": "3",
        "play_addr": "https://cdn.test/v.mp4", "title": "逆光而行", "type": true, "update_time": 1.5,
        "vid": 42, "mix_items": "not a list"})"));
    EXPECT_EQ(clip.cover1, "c1.jpg");
    EXPECT_EQ(clip.createTime, 1717000000);
    EXPECT_EQ(clip.douban, "7.5");
    EXPECT_EQ(clip.mixId, 901);
    EXPECT_EQ(clip.no, 3);
    EXPECT_EQ(clip.playAddr, "https://cdn.test/v.mp4");
    EXPECT_EQ(clip.updateTime, 1.5);
    EXPECT_EQ(clip.vid, "42");
    EXPECT_EQ(clip.mixItems->size(), 0u);

    ZV_ShortModel mix(JSON::parse(R"({"mix_items": [{"title": "第1集", "mix_items": [{"vid": "x"}]}, {}]})"));
    ASSERT_EQ(mix.mixItems->size(), 2u);
    const ZV_ShortModel& first = mix.mixItems->at(0);
    EXPECT_TRUE(allFields(first, true));
    EXPECT_EQ(first.title, "第1集");
    EXPECT_EQ(first.desc, "");
    ASSERT_EQ(first.mixItems->size(), 1u);
    EXPECT_EQ(first.mixItems->at(0).vid, "x");
    EXPECT_TRUE(allFields(mix.mixItems->at(1), false));
}

TEST(ZV_MovieExploreModel, ReadsTitlesMembersAndTagsWhateverTheShape)
{
    ZV_MovieExploreModel title(JSON::parse(R"({
        "id": 50101, "name": "山海之间", "year": 2024, "blurb": "简介", "cover": "e.jpg",
        "members": [{"member_id": "60000", "name": "林远舟", "type": 1}, {"name": "乔安"}, "odd"],
        "tags": {"name": "冒险"}})"));
    EXPECT_EQ(title.id, "50101");
    EXPECT_EQ(title.year, "2024");
    ASSERT_EQ(title.members.size(), 3u);
    EXPECT_EQ(title.members[0].member_id, 60000);
    EXPECT_EQ(title.members[0].type, 1);
    EXPECT_EQ(title.members[1].name, "乔安");
    EXPECT_EQ(title.members[1].type, 0);
    EXPECT_EQ(title.members[2].name, "");
    EXPECT_TRUE(title.tags.empty());

    ZV_MovieExploreModel empty(JSON::parse("null"));
    EXPECT_EQ(empty.name, "");
    EXPECT_TRUE(empty.members.empty());
    ZV_MovieExploreModel tagged(JSON::parse(R"({"tags": [{"name": "悬疑", "tag_id": 3}, {"tag_id": "4"}]})"));
    ASSERT_EQ(tagged.tags.size(), 2u);
    EXPECT_EQ(tagged.tags[0].name, "悬疑");
    EXPECT_EQ(tagged.tags[1].tag_id, 4);
}

}
