#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "tests/app/Core/Models/ModelSamples.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

TEST(ZV_ConfigData, ReadsTheConfigurationReply)
{
    ZV_ConfigData config(zvtest::sampleReplyData("app_config.json"));

    EXPECT_EQ(config.about.button, "联系我们");
    EXPECT_EQ(config.about.link, "https://www.zentavo.example/about");
    ASSERT_EQ(config.feedback.size(), 4u);
    EXPECT_EQ(config.feedback[0].name, "求片");
    EXPECT_EQ(config.feedback[2].value, 3); // sent as numeric text
    EXPECT_EQ(config.feedback[3].value, 9);
    ASSERT_EQ(config.index_top_nav.size(), 4u);
    EXPECT_EQ(config.index_top_nav[2].id, 2);
    EXPECT_EQ(config.index_top_nav[2].name, "剧集");

    ASSERT_EQ(config.movie_screen.filter.size(), 2u);
    const auto& films = config.movie_screen.filter[0];
    EXPECT_EQ(films.id, 1);
    EXPECT_EQ(films.name, "电影");
    EXPECT_EQ(films.type, (Texts { "剧情", "喜剧", "科幻", "悬疑" }));
    EXPECT_EQ(films.area, (Texts { "大陆", "香港", "美国" }));
    EXPECT_EQ(films.year, (Texts { "2024", "2023", "2022", "更早" }));
    ASSERT_EQ(config.movie_screen.sort.size(), 3u);
    EXPECT_EQ(config.movie_screen.sort[1].name, "最热");
    EXPECT_EQ(config.movie_screen.sort[1].value, "hits");

    EXPECT_EQ(config.share_qrcode, "https://www.zentavo.example/qrcode.png");
    EXPECT_EQ(config.new_notice, "37");
    EXPECT_EQ(config.share_link, "https://www.zentavo.example/d/app 下载Zentavo，海量影视免费看");
}

TEST(ZV_ConfigData, EmptyOrGarbageGivesDefaults)
{
    for (const char* text : { "{}", "null", "[]", "[1,2]", "12", "\"config\"",
             "{\"about\": 5, \"feedback\": {}}", "<html>502</html>" }) {
        SCOPED_TRACE(text);
        ZV_ConfigData config(JSON::parse(text));
        EXPECT_EQ(config.about.button, "");
        EXPECT_EQ(config.about.link, "");
        EXPECT_TRUE(config.feedback.empty());
        EXPECT_TRUE(config.index_top_nav.empty());
        EXPECT_TRUE(config.movie_screen.filter.empty());
        EXPECT_TRUE(config.movie_screen.sort.empty());
        EXPECT_EQ(config.share_qrcode, "");
        EXPECT_EQ(config.new_notice, "");
        EXPECT_EQ(config.share_link, "");
    }
}

TEST(ZV_ConfigData, FilterGroupsReadKindsFromClassOnly)
{
    ZV_ConfigDataMovie_screenFilter wrongKey(
        JSON::parse(R"({"type": ["剧情"], "year": [2021, null, true]})"));
    EXPECT_TRUE(wrongKey.type.empty());
    EXPECT_EQ(wrongKey.year, (Texts { "2021", "", "true" }));

    EXPECT_EQ(ZV_ConfigDataFeedback(JSON::parse(R"({"value": "七"})")).value, 0);
    EXPECT_EQ(ZV_ConfigDataFeedback(JSON::parse(R"({"value": "7"})")).value, 7);
}

TEST(ZV_UserInfoModel, ReadsTheProfileReply)
{
    ZV_UserInfoModel user(zvtest::sampleReplyData("user_info.json"));
    EXPECT_EQ(user.avatar, "https://img.zentavo.example/avatar/u/301877.png");
    EXPECT_EQ(user.create_time, 1693212345);
    EXPECT_EQ(user.email, "xiaoyu@mail.example");
    EXPECT_EQ(user.id, "301877"); // sent as a number
    EXPECT_EQ(user.login_addr, "浙江省杭州市");
    EXPECT_EQ(user.login_ip, "198.51.100.23");
    EXPECT_EQ(user.nickname, "听雨的小鱼");
    EXPECT_EQ(user.phone, "138****5621");
    EXPECT_EQ(user.status, 1);
    EXPECT_EQ(user.username, "xiaoyu2023");
}

TEST(ZV_UserInfoModel, EmptyOrGarbageGivesDefaults)
{
    for (const char* text : { "{}", "null", "[]", "0", "\"\"", "{\"id\": null, \"status\": \"禁用\"}" }) {
        SCOPED_TRACE(text);
        ZV_UserInfoModel user(JSON::parse(text));
        EXPECT_EQ(user.id, "");
        EXPECT_EQ(user.nickname, "");
        EXPECT_EQ(user.avatar, "");
        EXPECT_EQ(user.create_time, 0);
        EXPECT_EQ(user.status, 0);
    }
}

}
