// The state folder's files: what a server started again reads back, and what it refuses.

#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testserver::StateFolder;

namespace {

class StateFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path()
            / ("zv-state-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
    }
    void TearDown() override
    {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
        std::filesystem::remove_all(dir);
    }

    void put(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string contents(const std::string& name)
    {
        std::ifstream stream(dir / name, std::ios::binary);
        return { std::istreambuf_iterator<char>(stream), {} };
    }

    std::filesystem::path dir;
};

TEST_F(StateFolderTest, WhatIsWrittenIsReadBackByTheNextServer)
{
    {
        auto folder = StateFolder::open(dir);
        ASSERT_TRUE(folder);
        EXPECT_TRUE(folder->writeJSON("accounts.json", { { "next_id", 7 } }));
        EXPECT_TRUE(folder->writeJSON("accounts.json", { { "next_id", 8 }, { "name", "用户8" } }));
        EXPECT_TRUE(folder->writeBytes("uploads/avatar-8-1.png", std::string("\x89PNG\0x", 6)));
    }
    auto again = StateFolder::open(dir);
    ASSERT_TRUE(again);
    StateFolder::Read read = again->readJSON("accounts.json");
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_TRUE(read.value);
    EXPECT_EQ((*read.value)["next_id"], 8);
    EXPECT_EQ((*read.value)["name"], "用户8");
    StateFolder::Bytes bytes = again->readBytes("uploads/avatar-8-1.png", 100);
    ASSERT_TRUE(bytes.ok && bytes.value);
    EXPECT_EQ(*bytes.value, std::string("\x89PNG\0x", 6));

    // A first start finds nothing, which is no error.
    StateFolder::Read missing = again->readJSON("rooms.json");
    EXPECT_TRUE(missing.ok);
    EXPECT_FALSE(missing.value);
}

TEST_F(StateFolderTest, DamagedFilesAreErrorsThatNameThemAndAreKept)
{
    auto folder = StateFolder::open(dir);
    ASSERT_TRUE(folder);
    struct Case {
        const char* bytes;
        bool expectObject;
        const char* says;
    };
    const Case cases[] = {
        { "{\"next_id\": 8", true, "is not JSON" },
        { "", true, "is not JSON" },
        { "[1, 2]", true, "is not a JSON object" },
        { "\"text\"", true, "is not a JSON object" },
    };
    for (const Case& c : cases) {
        put("accounts.json", c.bytes);
        StateFolder::Read read = folder->readJSON("accounts.json", c.expectObject);
        EXPECT_FALSE(read.ok) << c.bytes;
        EXPECT_NE(read.error.find((dir / "accounts.json").string()), std::string::npos) << read.error;
        EXPECT_NE(read.error.find(c.says), std::string::npos) << read.error;
        EXPECT_EQ(contents("accounts.json"), c.bytes);
    }
    put("list.json", "[1, 2]");
    EXPECT_TRUE(folder->readJSON("list.json", false).ok);

    // Larger than the reader takes.
    put("big.bin", std::string(101, 'x'));
    StateFolder::Bytes big = folder->readBytes("big.bin", 100);
    EXPECT_FALSE(big.ok);
    EXPECT_NE(big.error.find("big.bin"), std::string::npos);

    // A folder where a file should be.
    std::filesystem::create_directories(dir / "rooms.json");
    EXPECT_FALSE(folder->readJSON("rooms.json").ok);

    if (::geteuid() != 0) {
        put("locked.json", "{}");
        std::filesystem::permissions(dir / "locked.json", std::filesystem::perms::none);
        StateFolder::Read locked = folder->readJSON("locked.json");
        EXPECT_FALSE(locked.ok);
        EXPECT_NE(locked.error.find("locked.json"), std::string::npos);
    }
}

TEST_F(StateFolderTest, NamesStayWithinTheFolder)
{
    auto folder = StateFolder::open(dir / "state");
    ASSERT_TRUE(folder);
    for (const char* name : { "../outside.json", "uploads/../../outside.json", "/tmp/outside.json", "", "./a.json" }) {
        EXPECT_FALSE(folder->writeJSON(name, nlohmann::json::object())) << name;
        EXPECT_FALSE(folder->readJSON(name).ok) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "outside.json"));
}

TEST_F(StateFolderTest, AWriteCutShortLeavesTheLastWholeFileAndIsClearedAtTheNextStart)
{
    auto folder = StateFolder::open(dir);
    ASSERT_TRUE(folder);
    ASSERT_TRUE(folder->writeJSON("rooms.json", { { "max_seq", 41 } }));
    // What a server killed in the middle of its next write leaves beside the file.
    put("rooms.json.writing-999-1", "{\"max_se");
    auto again = StateFolder::open(dir);
    ASSERT_TRUE(again);
    StateFolder::Read read = again->readJSON("rooms.json");
    ASSERT_TRUE(read.ok && read.value);
    EXPECT_EQ((*read.value)["max_seq"], 41);
    EXPECT_FALSE(std::filesystem::exists(dir / "rooms.json.writing-999-1"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(StateFolderTest, AFolderThatCannotBeUsedIsRefused)
{
    put("file", "x");
    std::string error;
    EXPECT_FALSE(StateFolder::open(dir / "file", &error));
    EXPECT_NE(error.find("file"), std::string::npos);
    EXPECT_FALSE(StateFolder::open(dir / "file" / "below", &error));
    EXPECT_FALSE(error.empty());
}

}
