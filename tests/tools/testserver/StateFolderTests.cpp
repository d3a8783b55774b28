// The state folder's files: what a server started again reads back, and what it refuses.

#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using testserver::StateFolder;

namespace {

class StateFolderTest : public ::testing::Test {
protected:
    void put(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }

    zvtest::TempDir dir;
};

TEST_F(StateFolderTest, WhatIsWrittenIsReadBackByTheNextServer)
{
    const std::string picture("\x89PNG\0x", 6);
    {
        auto folder = StateFolder::open(dir.path());
        ASSERT_TRUE(folder);
        EXPECT_TRUE(folder->writeJSON("accounts.json", { { "next_id", 7 } }));
        EXPECT_TRUE(folder->writeJSON("accounts.json", { { "next_id", 8 }, { "name", "用户8" } }));
        EXPECT_TRUE(folder->writeBytes("uploads/avatar-8-1.png", picture));
    }
    auto again = StateFolder::open(dir.path());
    ASSERT_TRUE(again);
    StateFolder::Read read = again->readJSON("accounts.json");
    ASSERT_TRUE(read.ok && read.value) << read.error;
    EXPECT_EQ(*read.value, nlohmann::json({ { "next_id", 8 }, { "name", "用户8" } }));
    EXPECT_EQ(again->readBytes("uploads/avatar-8-1.png", 100).value, picture);

    // A first start finds nothing, which is no error.
    StateFolder::Read missing = again->readJSON("rooms.json");
    EXPECT_TRUE(missing.ok);
    EXPECT_FALSE(missing.value);
}

// Each refusal names the file, which is left as it was for a person to look at.
TEST_F(StateFolderTest, DamagedFilesAreErrorsThatNameThemAndAreKept)
{
    auto folder = StateFolder::open(dir.path());
    ASSERT_TRUE(folder);
    for (auto [bytes, says] : { std::pair { "{\"next_id\": 8", "is not JSON" }, { "", "is not JSON" },
             { "[1, 2]", "is not a JSON object" }, { "\"text\"", "is not a JSON object" } }) {
        SCOPED_TRACE(bytes);
        put("accounts.json", bytes);
        StateFolder::Read read = folder->readJSON("accounts.json");
        EXPECT_FALSE(read.ok);
        EXPECT_NE(read.error.find((dir / "accounts.json").string()), std::string::npos) << read.error;
        EXPECT_NE(read.error.find(says), std::string::npos) << read.error;
        std::ifstream kept(dir / "accounts.json", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), bytes);
    }
    put("list.json", "[1, 2]");
    EXPECT_TRUE(folder->readJSON("list.json", false).ok) << "asked for no object";

    put("big.bin", std::string(101, 'x'));
    StateFolder::Bytes big = folder->readBytes("big.bin", 100);
    EXPECT_FALSE(big.ok);
    EXPECT_NE(big.error.find("big.bin"), std::string::npos);

    std::filesystem::create_directories(dir / "rooms.json");
    EXPECT_FALSE(folder->readJSON("rooms.json").ok) << "a folder where the file should be";

    // A link that leads back to itself cannot be read past, even by root.
    std::filesystem::create_symlink("loop.json", dir / "loop.json");
    StateFolder::Read loop = folder->readJSON("loop.json");
    EXPECT_FALSE(loop.ok);
    EXPECT_NE(loop.error.find((dir / "loop.json").string()), std::string::npos) << loop.error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "loop.json"));
    EXPECT_EQ(std::filesystem::read_symlink(dir / "loop.json"), "loop.json") << "nothing was written over it";

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
    for (const char* name :
        { "../outside.json", "uploads/../../outside.json", "/tmp/outside.json", "", "./a.json" }) {
        EXPECT_FALSE(folder->writeJSON(name, nlohmann::json::object())) << name;
        EXPECT_FALSE(folder->readJSON(name).ok) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "outside.json"));
}

TEST_F(StateFolderTest, AWriteCutShortLeavesTheLastWholeFileAndIsClearedAtTheNextStart)
{
    {
        auto folder = StateFolder::open(dir.path());
        ASSERT_TRUE(folder && folder->writeJSON("chat_rooms.json", { { "max_seq", 41 } }));
    }
    // What a server killed in the middle of its next write leaves beside the file.
    put("chat_rooms.json.writing-999-1", "{\"max_se");
    auto again = StateFolder::open(dir.path());
    ASSERT_TRUE(again);
    StateFolder::Read read = again->readJSON("chat_rooms.json");
    ASSERT_TRUE(read.ok && read.value);
    EXPECT_EQ((*read.value)["max_seq"], 41);
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string> { "chat_rooms.json" })) << "the piece is gone";
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

TEST_F(StateFolderTest, ARefusedWriteLeavesTheLastWholeFileAndNoPiece)
{
    auto folder = StateFolder::open(dir.path());
    ASSERT_TRUE(folder && folder->writeJSON("accounts.json", { { "next_id", 7 } }));
    {
        zvtest::FullDisk full;
        ASSERT_TRUE(full.active());
        std::string error;
        EXPECT_FALSE(folder->writeJSON("accounts.json", { { "next_id", 8 }, { "name", "用户8" } }, &error));
        EXPECT_NE(error.find("accounts.json"), std::string::npos) << error;
        EXPECT_FALSE(folder->writeBytes("uploads/avatar-8-1.png", "\x89PNG\r\n\x1A\n"));
    }
    StateFolder::Read read = folder->readJSON("accounts.json");
    ASSERT_TRUE(read.ok && read.value) << read.error;
    EXPECT_EQ(*read.value, nlohmann::json({ { "next_id", 7 } }));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".writing-"), std::string::npos) << entry.path();
    EXPECT_FALSE(std::filesystem::exists(dir / "uploads/avatar-8-1.png"));
}

// It holds sign-ins and password hashes: no one else on the machine reads them, whatever a server
// before this one left or the process's umask would allow.
TEST_F(StateFolderTest, TheFolderAndItsFilesAreTheOwnersAlone)
{
    put("accounts.json", "{}");
    put("uploads/avatar-3-1.png", "x");
    put(StateFolder::lockFile, ""); // an earlier server's
    for (const char* name : { ".", "uploads", "accounts.json", StateFolder::lockFile })
        ::chmod((dir / name).c_str(), 0755);
    const mode_t umask = ::umask(0);
    auto folder = StateFolder::open(dir.path());
    const bool written = folder && folder->writeJSON("lists/301877.json", nlohmann::json::object())
        && folder->writeBytes("uploads/avatar-3-2.png", "y");
    ::umask(umask);
    ASSERT_TRUE(written);
    for (const char* name : { ".", "uploads", "lists", "accounts.json", "uploads/avatar-3-1.png",
             "uploads/avatar-3-2.png", "lists/301877.json", StateFolder::lockFile }) {
        struct stat info { };
        ASSERT_EQ(::stat((dir / name).c_str(), &info), 0) << name;
        EXPECT_EQ(info.st_mode & 07777, S_ISDIR(info.st_mode) ? 0700u : 0600u) << name;
    }
}

TEST_F(StateFolderTest, OneServerAtATimeUsesTheFolder)
{
    auto first = StateFolder::open(dir.path());
    ASSERT_TRUE(first);
    // A write of the first server under way: the second must not take it for a killed one's piece.
    put("chat_rooms.json.writing-1-1", "{\"rooms");
    std::string error;
    bool inUse = false;
    EXPECT_FALSE(StateFolder::open(dir.path(), &error, &inUse));
    EXPECT_TRUE(inUse);
    EXPECT_NE(error.find(dir.path().string() + " is in use"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::exists(dir / "chat_rooms.json.writing-1-1"));

    first.reset();
    EXPECT_TRUE(StateFolder::open(dir.path(), &error, &inUse)) << error;
    EXPECT_FALSE(inUse);
    EXPECT_FALSE(std::filesystem::exists(dir / "chat_rooms.json.writing-1-1"));
}

// Every entry below a folder: its mode, and its bytes or where it links to.
std::map<std::string, std::string> snapshot(const std::filesystem::path& dir)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        struct stat info { };
        ::lstat(entry.path().c_str(), &info);
        std::string& line = entries[entry.path().lexically_relative(dir).string()]
            = std::to_string(info.st_mode);
        if (entry.is_symlink())
            line += " -> " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            line
                += " " + std::string(std::istreambuf_iterator<char>(std::ifstream(entry.path()).rdbuf()), {});
    }
    return entries;
}

// A folder given by mistake (".", a home folder) loses nothing: it is refused unless it holds state
// of the server, and then only the server's own names are tidied. A link is never followed, one
// with a name of the server's neither.
TEST_F(StateFolderTest, AFolderOfOtherThingsIsLeftAsItWas)
{
    for (const char* name : { "state/docs/chapter.writing-draft.md", "state/bin/run.sh", "state/README",
             "state/notes.json.writing-1-2", "state/accounts.json.writing-1-x", "state/uploads/notes.txt",
             "state/uploads/avatar-3-1.gif", "outside.json" }) {
        put(name, name);
        ::chmod((dir / name).c_str(), 0755);
    }
    std::filesystem::create_symlink("../outside.json", dir / "state/chat_rooms.json");
    std::filesystem::create_symlink("../../outside.json", dir / "state/uploads/avatar-3-9.png");
    const std::map<std::string, std::string> before = snapshot(dir.path());

    // A file of the server's that the folder holds besides (none: refused), and whether it is a
    // piece of a write.
    const std::pair<const char*, bool> cases[] = { { nullptr, false }, { "accounts.json", false },
        { "lists/301877.json", false }, { "uploads/avatar-3-1.png", false },
        { "chat_rooms.json.writing-4-2", true }, { "lists/7.json.writing-1-1", true } };
    for (auto [own, piece] : cases) {
        SCOPED_TRACE(own ? own : "nothing of the server's");
        if (own)
            put(std::string("state/") + own, "{}");
        std::string error;
        std::shared_ptr<StateFolder> folder = StateFolder::open(dir / "state", &error);
        if (!own) {
            EXPECT_FALSE(folder);
            EXPECT_NE(error.find((dir / "state").string() + " is not a state folder"), std::string::npos)
                << error;
            EXPECT_EQ(snapshot(dir.path()), before);
            continue;
        }
        ASSERT_TRUE(folder) << error;
        struct stat info { };
        EXPECT_EQ(
            ::stat((dir / "state" / own).c_str(), &info) == 0 && (info.st_mode & 07777) == 0600, !piece);
        const bool upload = std::string_view(own).starts_with("uploads/");
        EXPECT_EQ(folder->filesIn("uploads"),
            upload ? std::vector<std::string> { own } : std::vector<std::string> {});
        std::filesystem::remove(dir / "state" / own);
        std::map<std::string, std::string> after = snapshot(dir.path()), expected = before;
        for (const char* mine : { "state/uploads", "state/lists" }) {
            expected.erase(mine);
            after.erase(mine);
        }
        EXPECT_EQ(after, expected);
    }
}

}
