#include "platform/foundation/AppContainer.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SecureRandom.h"
#include "platform/foundation/UUID.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <set>

namespace {

bool isUpperCaseUUIDText(const std::string& text)
{
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

TEST(UUID, RandomIdentifiersAreVersion4AndDistinct)
{
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        auto text = UUID::random().uuidString();
        ASSERT_TRUE(isUpperCaseUUIDText(text)) << text;
        EXPECT_EQ(text[14], '4');
        EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos);
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(UUID, TextFormIsParsedStrictly)
{
    auto parsed = UUID::fromString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    for (const char* bad : { "", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
             "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", "E621E1F-8C36C-495A-93FC-0C247A3E6E5F",
             "E621E1F8-C36C-495A-93FC-0C247A3E6E5F " })
        EXPECT_FALSE(UUID::fromString(bad)) << bad;
}

TEST(SecureRandom, UniformStaysInRangeAndCoversIt)
{
    EXPECT_EQ(SecureRandom::uniform(0), 0u);
    EXPECT_EQ(SecureRandom::uniform(1), 0u);
    int counts[6] = {};
    for (int i = 0; i < 6000; ++i) {
        auto value = SecureRandom::uniform(6);
        ASSERT_LT(value, 6u);
        ++counts[value];
    }
    // Each face near 1000; the bound is over 10 standard deviations away.
    for (int count : counts)
        EXPECT_GT(count, 700);
}

TEST(DeviceInfo, VendorIdentifierIsKeptInTheContainer)
{
    zvtest::TempDir home;
    AppContainer::setHome(home.path());
    auto first = DeviceInfo::identifierForVendor();
    ASSERT_TRUE(first);
    EXPECT_TRUE(isUpperCaseUUIDText(*first));
    EXPECT_EQ(DeviceInfo::identifierForVendor(), first);

    // A damaged file is set aside and replaced by a new identifier, which then stays.
    auto file = home.path() / "Library/VendorIdentifier";
    FileSystem::writeFileAtomically(file, dataFromString("garbage"));
    Log::setSink([](std::string_view) {});
    auto replaced = DeviceInfo::identifierForVendor();
    ASSERT_TRUE(replaced);
    EXPECT_NE(replaced, first);
    EXPECT_EQ(DeviceInfo::identifierForVendor(), replaced);
    EXPECT_EQ(FileSystem::list(home.path() / "Library").size(), 2u);

    // One that cannot be read is never replaced.
    FileSystem::remove(file);
    std::filesystem::create_symlink("/proc/self/mem", file);
    EXPECT_FALSE(DeviceInfo::identifierForVendor());
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    Log::setSink({});

    // Another container (a reinstall) gets another identifier.
    zvtest::TempDir other;
    AppContainer::setHome(other.path());
    EXPECT_NE(DeviceInfo::identifierForVendor(), replaced);
    AppContainer::setHome({});
}

}
