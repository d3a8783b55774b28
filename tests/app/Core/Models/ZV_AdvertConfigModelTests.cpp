#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "tests/app/Core/Models/ModelSamples.h"

#include <gtest/gtest.h>

namespace {

struct Placement {
    const char* key;
    ZV_AdvertModel ZV_AdvertConfigModel::*field;
};

// The reply key of every place, next to the field that must hold it.
constexpr Placement placements[] = {
    { "collect_up", &ZV_AdvertConfigModel::collect_up },
    { "downloaded_up", &ZV_AdvertConfigModel::downloaded_up },
    { "index_popup", &ZV_AdvertConfigModel::index_popup },
    { "notice_up", &ZV_AdvertConfigModel::notice_up },
    { "play_record_up", &ZV_AdvertConfigModel::play_record_up },
    { "player_episode_up", &ZV_AdvertConfigModel::player_episode_up },
    { "player_pause", &ZV_AdvertConfigModel::player_pause },
    { "player_recommend_up", &ZV_AdvertConfigModel::player_recommend_up },
    { "projection_up", &ZV_AdvertConfigModel::projection_up },
    { "screen_index", &ZV_AdvertConfigModel::screen_index },
    { "search_input_under", &ZV_AdvertConfigModel::search_input_under },
    { "search_result_up", &ZV_AdvertConfigModel::search_result_up },
    { "user_index", &ZV_AdvertConfigModel::user_index },
    { "start", &ZV_AdvertConfigModel::start },
};

TEST(ZV_AdvertConfigModel, FillsEachOfTheFourteenPlaces)
{
    static_assert(std::size(placements) == 14);
    JSON reply = zvtest::sampleReplyData("advert_config.json");
    ZV_AdvertConfigModel config(reply);

    for (const auto& [key, field] : placements) {
        SCOPED_TRACE(key);
        const ZV_AdvertModel& advert = config.*field;
        EXPECT_EQ(advert.data.image, reply[key]["data"]["image"].stringValue());
        EXPECT_EQ(advert.data.url, reply[key]["data"]["url"].stringValue());
        EXPECT_EQ(advert.remarks, reply[key]["remarks"].stringValue());
        EXPECT_EQ(advert.location_id, reply[key]["location_id"].intValue());
        EXPECT_EQ(advert.type, 1);
    }
    EXPECT_EQ(config.start.data.image, "https://ad.zentavo.example/a/start.gif");
    EXPECT_EQ(config.start.channel, "2024"); // sent as a number
    EXPECT_EQ(config.search_result_up.location_id, 11); // sent as text
    EXPECT_EQ(config.player_pause.remarks, "暂停广告");
    EXPECT_TRUE(config.projection_up.data.image.empty());
}

TEST(ZV_AdvertConfigModel, MissingPlacesAreEmptyNotMissing)
{
    ZV_AdvertConfigModel config(
        JSON::parse(R"({"index_popup": {"data": {"image": "https://ad.zentavo.example/p.png"}}})"));
    EXPECT_EQ(config.index_popup.data.image, "https://ad.zentavo.example/p.png");
    EXPECT_EQ(config.index_popup.data.url, "");
    EXPECT_EQ(config.index_popup.channel, "");
    for (const auto& [key, field] : placements) {
        if (std::string_view(key) == "index_popup")
            continue;
        const ZV_AdvertModel& advert = config.*field;
        EXPECT_EQ(advert.data.image, "") << key;
        EXPECT_EQ(advert.location_id, 0) << key;
    }

    ZV_AdvertModel garbage(JSON::parse(R"({"data": "x", "type": "横幅", "location_id": [3]})"));
    EXPECT_EQ(garbage.data.image, "");
    EXPECT_EQ(garbage.type, 0);
    EXPECT_EQ(garbage.location_id, 0);
}

}
