#include "app/Core/Config/ConfigSingleton.h"
#include "platform/json/JSON.h"

#include <gtest/gtest.h>

namespace {

// Runs first in this program: nothing has touched the holder yet.
TEST(ConfigSingleton, StartsEmptyAndIsOneInstance)
{
    ConfigSingleton& config = ConfigSingleton::shared();
    EXPECT_FALSE(config.zv_configData);
    EXPECT_FALSE(config.advertConfigModel);
    EXPECT_FALSE(config.zv_userInfoModel);
    EXPECT_EQ(&config, &ConfigSingleton::shared());
}

TEST(ConfigSingleton, HoldsTheWritersInstanceAndIsReplacedWhole)
{
    auto profile
        = std::make_shared<ZV_UserInfoModel>(JSON::parse(R"({"id": 301877, "nickname": "听雨的小鱼"})"));
    ConfigSingleton::shared().zv_userInfoModel = profile;
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel, profile); // the very object the writer keeps
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel->id, "301877");

    ConfigSingleton::shared().zv_configData
        = std::make_shared<ZV_ConfigData>(JSON::parse(R"({"new_notice": "3"})"));
    auto earlier = ConfigSingleton::shared().zv_configData;
    ConfigSingleton::shared().zv_configData = std::make_shared<ZV_ConfigData>(JSON::parse(R"({})"));
    EXPECT_EQ(earlier->new_notice, "3"); // a reader holding the old one keeps it intact
    EXPECT_EQ(ConfigSingleton::shared().zv_configData->new_notice, "");

    ConfigSingleton::shared().zv_userInfoModel.reset();
    ConfigSingleton::shared().zv_configData.reset();
    EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
}

}
