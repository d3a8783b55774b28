#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/AppContainer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <unordered_set>

namespace {

class StoreDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppContainer::setHome(m_home.path());
        UserDefaults::resetStandardForTesting();
    }
    void TearDown() override
    {
        UserDefaults::resetStandardForTesting();
        AppContainer::setHome({});
    }

    zvtest::TempDir m_home;
};

TEST_F(StoreDataTest, RawValuesBuildExactlyTheFiveCasesStoredUnderTypeDotCase)
{
    std::unordered_set<StoreData> seen;
    for (std::string name : { "isDarkColor", "access_token", "history", "pureMode", "pureAlert" }) {
        auto key = StoreData::fromRawValue(name);
        ASSERT_TRUE(key) << name;
        EXPECT_EQ(key->rawValue(), name);
        EXPECT_EQ(key->key(), "StoreData." + name);
        seen.insert(*key);
    }
    EXPECT_EQ(seen.size(), StoreData::caseCount);
    EXPECT_EQ(StoreData::fromRawValue("pureMode"), StoreData(StoreData::pureMode));
    for (auto name : { "PureMode", "pureMode ", " pureMode", "StoreData.pureMode", "", "accessToken" })
        EXPECT_FALSE(StoreData::fromRawValue(name)) << name;
}

TEST_F(StoreDataTest, NoneAndRemoveLeaveNoEntryButAnEmptyTokenIsAnEntry)
{
    StoreData::set("token", StoreData::access_token);
    StoreData::set(std::nullopt, StoreData::access_token);
    EXPECT_FALSE(StoreData::value(StoreData::access_token));

    StoreData::set("", StoreData::access_token);
    EXPECT_EQ(StoreData::value(StoreData::access_token), PropertyList(""));

    StoreData::set(std::optional<PropertyList>(), StoreData::access_token);
    EXPECT_FALSE(StoreData::value(StoreData::access_token));

    StoreData::setBool(true, StoreData::pureAlert);
    StoreData::remove(StoreData::pureAlert);
    UserDefaults::resetStandardForTesting();
    EXPECT_FALSE(StoreData::value(StoreData::pureAlert));
    EXPECT_FALSE(StoreData::boolValue(StoreData::pureAlert));
}

}
