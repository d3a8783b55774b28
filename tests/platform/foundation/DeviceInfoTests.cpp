#include "platform/foundation/AppContainer.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SecureRandom.h"
#include "platform/foundation/UUID.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

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

    // One that cannot be read is never replaced, and is reported once, not with every request.
    FileSystem::remove(file);
    std::filesystem::create_symlink("/proc/self/mem", file);
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    for (int request = 0; request < 3; ++request)
        EXPECT_FALSE(DeviceInfo::identifierForVendor());
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    Log::setSink({});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("cannot read"), std::string::npos);

    // Another container (a reinstall) gets another identifier.
    zvtest::TempDir other;
    AppContainer::setHome(other.path());
    EXPECT_NE(DeviceInfo::identifierForVendor(), replaced);
    AppContainer::setHome({});
}

}
