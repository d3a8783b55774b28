#include "app/Core/Helpers/DeviceIdentity.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Keychain.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

class DeviceIdentityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppContainer::setHome(m_home / "app");
        Keychain::setStoreFile(m_home / "keychain" / "keychain.json");
        UserDefaults::resetStandardForTesting();
    }
    void TearDown() override
    {
        UserDefaults::resetStandardForTesting();
        Keychain::setStoreFile({});
        AppContainer::setHome({});
    }

    zvtest::TempDir m_home;
};

}

TEST_F(DeviceIdentityTest, IdentifierIsKeptInTheKeychainAndOutlivesTheAppData)
{
    std::optional<std::string> first = deviceUUID();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size(), 36u);
    EXPECT_EQ(Keychain("keychainGroup").get("uuid"), first);
    EXPECT_EQ(deviceUUID(), first);

    // A reinstall wipes the app's data (and so the vendor identifier), not the keychain.
    std::filesystem::remove_all(m_home / "app");
    AppContainer::setHome(m_home / "app2");
    EXPECT_EQ(deviceUUID(), first);
}

TEST_F(DeviceIdentityTest, AnEmptyStoredIdentifierIsReplaced)
{
    Keychain("keychainGroup").set("", "uuid");
    std::optional<std::string> fresh = deviceUUID();
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(fresh->empty());
    EXPECT_EQ(Keychain("keychainGroup").get("uuid"), fresh);
}

TEST_F(DeviceIdentityTest, SignedInMeansAnyStoredTokenEvenAnEmptyOne)
{
    EXPECT_FALSE(isLoggedIn());
    StoreData::set(PropertyList(""), StoreData::access_token);
    EXPECT_TRUE(isLoggedIn());
    StoreData::set(PropertyList(std::int64_t(3)), StoreData::access_token);
    EXPECT_TRUE(isLoggedIn());
    StoreData::remove(StoreData::access_token);
    EXPECT_FALSE(isLoggedIn());
}
