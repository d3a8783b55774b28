// The state folder's files: what a server started again reads back, and what it refuses.

#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/FolderSnapshot.h"
#include "tools/testserver/StateFolder.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <set>
#include <sys/file.h>
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

    // The folder as a server that goes on takes it, once its start has read it.
    static std::shared_ptr<StateFolder> taken(const std::filesystem::path& path, std::string* error = nullptr)
    {
        std::shared_ptr<StateFolder> folder = StateFolder::open(path, error);
        return folder && folder->take(error) ? folder : nullptr;
    }

    zvtest::TempDir dir;
};

TEST_F(StateFolderTest, WhatIsWrittenIsReadBackByTheNextServer)
{
    const std::string picture("\x89PNG\0x", 6);
    {
        auto folder = taken(dir.path());
        ASSERT_TRUE(folder);
        EXPECT_TRUE(folder->writeJSON("accounts.json", { { "next_id", 7 } }));
        EXPECT_TRUE(folder->writeJSON("accounts.json", { { "next_id", 8 }, { "name", "用户8" } }));
        EXPECT_TRUE(folder->writeBytes("uploads/avatar-8-1.png", picture));
    }
    auto again = taken(dir.path());
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
    auto folder = taken(dir / "state");
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
        auto folder = taken(dir.path());
        ASSERT_TRUE(folder && folder->writeJSON("chat_rooms.json", { { "max_seq", 41 } }));
    }
    // What a server killed in the middle of its next write leaves beside the file.
    put("chat_rooms.json.writing-999-1", "{\"max_se");
    auto again = taken(dir.path());
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
    auto folder = taken(dir.path());
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
    put("uploads/avatar-3-1.jpg", "x");
    put(StateFolder::lockFile, ""); // an earlier server's
    for (const char* name :
        { ".", "uploads", "accounts.json", "uploads/avatar-3-1.jpg", StateFolder::lockFile })
        ::chmod((dir / name).c_str(), 0755);
    const mode_t umask = ::umask(0);
    auto folder = taken(dir.path());
    const bool written = folder && folder->writeJSON("lists/301877.json", nlohmann::json::object())
        && folder->writeBytes("uploads/avatar-3-2.png", "y");
    ::umask(umask);
    ASSERT_TRUE(written);
    for (const char* name :
        { ".", "uploads", "lists", "accounts.json", "uploads/avatar-3-1.png", "uploads/avatar-3-1.jpg",
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
    std::shared_ptr<StateFolder> second = StateFolder::open(dir.path(), &error, &inUse);
    EXPECT_TRUE(second && second->take(&error)) << error;
    EXPECT_FALSE(inUse);
    EXPECT_FALSE(std::filesystem::exists(dir / "chat_rooms.json.writing-1-1"));
}

// A start changes nothing until every state file is read: a piece left by a killed server, a
// mode and a change the start holds all wait for the folder to be taken.
TEST_F(StateFolderTest, NothingChangesBeforeTheFolderIsTaken)
{
    put("accounts.json", "{}");
    put("accounts.json.writing-9-1", "{\"next");
    ::chmod((dir / "accounts.json").c_str(), 0644);
    const std::map<std::string, std::string> before = zvtest::snapshot(dir.path());
    auto folder = StateFolder::open(dir.path());
    ASSERT_TRUE(folder);
    std::vector<std::string> made;
    folder->atTake([&](std::string*) {
        made.push_back("held");
        return folder->writeJSON("chat_rooms.json", nlohmann::json::object());
    });
    std::string error;
    EXPECT_FALSE(folder->writeJSON("lists/7.json", nlohmann::json::object(), &error));
    EXPECT_NE(error.find((dir / "lists/7.json").string()), std::string::npos) << error;
    EXPECT_FALSE(folder->remove("accounts.json"));
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(zvtest::snapshot(dir.path()), before);

    ASSERT_TRUE(folder->take(&error)) << error;
    EXPECT_EQ(made, std::vector<std::string> { "held" });
    EXPECT_TRUE(std::filesystem::exists(dir / "chat_rooms.json"));
    EXPECT_FALSE(std::filesystem::exists(dir / "accounts.json.writing-9-1"));
}

// A link that appears while the server runs is an error of the call that meets it: nothing is read
// from the place it points at, and nothing lands there.
TEST_F(StateFolderTest, ALinkThatAppearsLaterIsAnErrorAndNothingLandsOutside)
{
    auto folder = taken(dir / "state");
    ASSERT_TRUE(folder && folder->writeJSON("accounts.json", nlohmann::json::object())
        && folder->writeJSON("lists/7.json", nlohmann::json::object())
        && folder->writeBytes("uploads/avatar-7-1.png", "x"));
    for (const char* name : { "outside/accounts.json", "outside/7.json", "outside/avatar-7-1.png" })
        put(name, "{}");
    const std::map<std::string, std::string> outside = zvtest::snapshot(dir / "outside");
    std::filesystem::remove_all(dir / "state/uploads");
    std::filesystem::remove_all(dir / "state/lists");
    std::filesystem::remove(dir / "state/accounts.json");
    std::filesystem::create_directory_symlink("../outside", dir / "state/uploads");
    std::filesystem::create_directory_symlink("../outside", dir / "state/lists");
    std::filesystem::create_symlink("../outside/accounts.json", dir / "state/accounts.json");

    for (const char* name :
        { "accounts.json", "lists/7.json", "uploads/avatar-7-1.png", "uploads/avatar-7-2.png" }) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(folder->writeBytes(name, "written through a link", &error));
        EXPECT_NE(error.find((dir / "state" / name).string()), std::string::npos) << error;
        EXPECT_NE(error.find("link"), std::string::npos) << error;
        StateFolder::Bytes read = folder->readBytes(name, 100);
        EXPECT_FALSE(read.ok && read.value) << "read through a link";
        EXPECT_FALSE(folder->remove(name));
    }
    EXPECT_TRUE(folder->filesIn("uploads").empty());
    EXPECT_EQ(zvtest::snapshot(dir / "outside"), outside);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "state/accounts.json"));
}

// A server of an earlier release locks the file "lock" of the folder instead of the folder: started
// after this one, it is kept out (the other order is the program's, CommandLineTests), and the
// file is honoured only while it is there, never made.
TEST_F(StateFolderTest, AnEarlierServerStartedAfterIsKeptOut)
{
    auto folder = taken(dir.path());
    ASSERT_TRUE(folder);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / StateFolder::lockFile)));
    folder.reset();
    put(StateFolder::lockFile, "");
    folder = taken(dir.path());
    ASSERT_TRUE(folder);
    // The earlier server as it locks: its file, made when missing.
    const int earlier
        = ::open((dir / StateFolder::lockFile).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    EXPECT_NE(::flock(earlier, LOCK_EX | LOCK_NB), 0) << "the earlier server runs beside this one";
    folder.reset();
    EXPECT_EQ(::flock(earlier, LOCK_EX | LOCK_NB), 0) << "this server kept its lock past its end";
    ::close(earlier);
}

// A folder given by mistake (".", a home folder) loses nothing: it is refused unless its account
// book, which every start writes first, is there (the start judges it), and then only the server's
// own names are tidied. A link of someone else's is never followed.
TEST_F(StateFolderTest, AFolderOfOtherThingsIsLeftAsItWas)
{
    for (const char* name : { "state/docs/chapter.writing-draft.md", "state/bin/run.sh", "state/README",
             "state/notes.json.writing-1-2", "state/accounts.json.writing-1-x", "state/uploads/notes.txt",
             "state/uploads/avatar-3-1.gif", "outside.json" }) {
        put(name, name);
        ::chmod((dir / name).c_str(), 0755);
    }
    std::filesystem::create_symlink("../outside.json", dir / "state/rooms.json");
    std::filesystem::create_symlink("../../outside.json", dir / "state/uploads/avatar-3-9.gif");

    // A file of the server's that the folder holds besides (none: refused), whether it is a piece
    // of a write, and whether the account book is there too.
    struct Case {
        const char* own;
        bool piece, book;
    };
    const Case cases[] = { { nullptr, false, false }, { "lists/301877.json", false, false },
        { "uploads/avatar-3-1.png", false, false }, { "chat_rooms.json", false, false },
        { "accounts.json", false, true }, { "lists/301877.json", false, true },
        { "uploads/avatar-3-1.png", false, true }, { "uploads/avatar-3-1.jpg", false, true },
        { "chat_rooms.json.writing-4-2", true, true }, { "lists/7.json.writing-1-1", true, true },
        { "uploads/avatar-3-1.jpg.writing-1-1", true, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            std::string(c.own ? c.own : "nothing of the server's") + (c.book ? " beside a book" : ""));
        if (c.book)
            put("state/accounts.json", "{}");
        if (c.own)
            put(std::string("state/") + c.own, "{}");
        const std::map<std::string, std::string> before = zvtest::snapshot(dir.path());
        std::string error;
        std::shared_ptr<StateFolder> folder = taken(dir / "state", &error);
        if (!c.book) {
            EXPECT_FALSE(folder);
            EXPECT_NE(error.find((dir / "state").string() + " is not a state folder"), std::string::npos)
                << error;
            EXPECT_EQ(zvtest::snapshot(dir.path()), before);
        } else {
            ASSERT_TRUE(folder) << error;
            struct stat info { };
            EXPECT_EQ(::stat((dir / "state" / c.own).c_str(), &info) == 0 && (info.st_mode & 07777) == 0600,
                !c.piece);
            const bool upload = !c.piece && std::string_view(c.own).starts_with("uploads/");
            EXPECT_EQ(folder->filesIn("uploads"),
                upload ? std::vector<std::string> { c.own } : std::vector<std::string> {});
        }
        folder.reset();
        // Beside what the case put there, and the server's subfolders made private, all is as it was.
        std::vector<std::string> mine = { "state/uploads", "state/lists", "state/accounts.json" };
        if (c.own)
            mine.push_back(std::string("state/") + c.own);
        std::map<std::string, std::string> after = zvtest::snapshot(dir.path()), expected = before;
        for (const std::string& name : mine) {
            if (std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / name)))
                std::filesystem::remove(dir / name);
            expected.erase(name);
            after.erase(name);
        }
        EXPECT_EQ(after, expected);
    }
}

}
