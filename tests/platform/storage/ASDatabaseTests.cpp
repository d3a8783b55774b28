#include "platform/storage/ASDatabase.h"
#include "tests/platform/storage/StoreFixture.h"
#include "tests/platform/storage/StoreTestRecords.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

using ASDatabaseTest = StoreTest;

TEST_F(ASDatabaseTest, ValuesThatLookLikeSqlAreStoredVerbatim)
{
    const std::vector<std::string> hostile {
        "'); DROP TABLE DownloadRecord; --",
        "\" OR 1=1 --",
        "x' OR 'x'='x",
        std::string("nul\0byte", 8),
        "?",
    };
    for (auto& text : hostile) {
        DownloadRecord record;
        record.name = text;
        record.vod_id = text;
        ASSERT_TRUE(record.save());
    }
    ASSERT_TRUE(DownloadRecord().save()); // one innocent row that no hostile filter may match

    for (auto& text : hostile) {
        auto found = DownloadRecord::findAll({ { "vod_id", text } });
        ASSERT_TRUE(found) << found.error();
        ASSERT_EQ(found->size(), 1u) << text;
        EXPECT_EQ(found->front().name, text);
    }
    EXPECT_EQ(DownloadRecord::findAll()->size(), hostile.size() + 1);
}

TEST_F(ASDatabaseTest, NamesOutsideTheTableAreRefused)
{
    ASSERT_TRUE(DownloadRecord().save());
    for (std::string column : { "state; DROP TABLE DownloadRecord", "\"state\"", "no_such_column", "" }) {
        auto found = DownloadRecord::findAll(ASQuery().equal(column, "x"));
        EXPECT_FALSE(found) << column;
        EXPECT_FALSE(DownloadRecord::findAll(ASQuery().orderBy(column)));
        EXPECT_FALSE(DownloadRecord::deleteWhere({ { column, "x" } }));
    }
    auto database = ASConfigration::defaultDB();
    ASSERT_TRUE(database);
    EXPECT_FALSE((*database)->select("DownloadRecord\" --", { "id" }, {}));
    EXPECT_FALSE((*database)->insert("Missing", { { "a", 1 } }));
    EXPECT_EQ(DownloadRecord::findAll()->size(), 1u);
}

TEST_F(ASDatabaseTest, DamagedCellsAreReadAsDefaultsAndLogged)
{
    DownloadRecord record = DownloadRecord();
    record.name = "kept";
    record.state = "finish";
    record.size = 10;
    ASSERT_TRUE(record.save());

    auto database = ASConfigration::defaultDB();
    ASSERT_TRUE(database);
    ASValues damage { { "state", nullptr }, { "size", "lots" }, { "name", Data { 0xff, 0x00 } } };
    ASSERT_TRUE((*database)->update("DownloadRecord", damage, ASQuery().equal("id", *record.id())));
    MessageRecord message;
    ASSERT_TRUE(message.save());
    ASSERT_TRUE((*database)->update("MessageRecord", { { "seq", 1.5 }, { "revoked", "yes" } }, {}));

    auto loaded = DownloadRecord::findAll();
    ASSERT_TRUE(loaded) << loaded.error();
    ASSERT_EQ(loaded->size(), 1u);
    EXPECT_EQ(loaded->front().id(), record.id());
    EXPECT_EQ(loaded->front().name, "");
    EXPECT_EQ(loaded->front().state, "waiting");
    EXPECT_EQ(loaded->front().size, 0.0);
    EXPECT_EQ(logLines.size(), 3u);
    ASSERT_FALSE(logLines.empty());
    EXPECT_NE(logLines.front().find("DownloadRecord row"), std::string::npos);

    // A missing state is still "not finish" and so is found by the resume query.
    EXPECT_EQ(DownloadRecord::findAll(ASQuery().notEqual("state", "finish"))->size(), 1u);

    logLines.clear();
    auto messages = MessageRecord::findAll();
    ASSERT_TRUE(messages);
    EXPECT_EQ(messages->front().seq, 0);
    EXPECT_FALSE(messages->front().revoked);
    EXPECT_EQ(logLines.size(), 2u);

    // The damaged row can be repaired by writing the record back.
    ASSERT_TRUE(loaded->front().update());
    logLines.clear();
    EXPECT_EQ(DownloadRecord::findAll()->front().state, "waiting");
    EXPECT_TRUE(logLines.empty());
}

TEST_F(ASDatabaseTest, AFileThatIsNotADatabaseIsSetAsideAsDamageAndTheRecordsGoOn)
{
    auto path = dir / "notes.db";
    const std::string bytes = "This is a text file, not SQLite.\n" + std::string(4096, 'x');
    writeFile(path, bytes);

    // A connection of its own refuses it and leaves it as it is.
    auto direct = ASDatabase::open(path.string());
    ASSERT_FALSE(direct);
    EXPECT_NE(direct.error().find("not a database"), std::string::npos) << direct.error();
    EXPECT_EQ(readFile(path), bytes);

    // The default store sets it aside, says so once and starts afresh.
    ASConfigration::setDefaultDB(path.string(), "notes.db");
    DownloadRecord record;
    ASSERT_TRUE(record.save());
    EXPECT_EQ(DownloadRecord::findAll()->size(), 1u);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("damaged"), std::string::npos) << logLines[0];
    std::vector<std::string> aside;
    for (auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.path().filename().string().starts_with("notes.db.damaged-"))
            aside.push_back(entry.path().string());
    }
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside[0]), bytes);

    EXPECT_FALSE(ASDatabase::open((dir / "missing" / "x.db").string()));
    EXPECT_FALSE(ASDatabase::open((dir / "absent.db").string(), ASOpenMode::ReadOnly));
    EXPECT_FALSE(ASDatabase::open(""));
}

// A file with a sound header but broken insides opens and then fails every read; it is found out
// when the store opens, set aside with one line, and a fresh store takes its place (once: the next
// start finds the fresh one sound).
TEST_F(ASDatabaseTest, AStoreCutShortOrWithBrokenPagesIsSetAsideOnceAtOpening)
{
    struct Case {
        const char* what;
        std::function<std::string(const std::string&)> damage;
    };
    const Case cases[] = {
        { "cut short", [](const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); } },
        { "broken pages",
            [](const std::string& bytes) {
                std::string broken = bytes;
                for (std::size_t at = 4096; at < broken.size() * 3 / 4; ++at)
                    broken[at] = static_cast<char>(at * 7 % 251);
                return broken;
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directories(dir.path());
        ASConfigration::setDefaultDB(databasePath(), "zvlist.db");
        for (int i = 0; i < 300; ++i) {
            DownloadRecord record;
            record.name = "episode " + std::to_string(i) + std::string(100, 'n');
            ASSERT_TRUE(record.save());
        }
        ASConfigration::closeDefaultDB(); // the log goes into the file
        ASSERT_FALSE(std::filesystem::exists(databasePath() + "-wal"));
        const std::string bytes = c.damage(readFile(databasePath()));
        ASSERT_EQ(bytes.substr(0, 16), std::string("SQLite format 3\0", 16));
        writeFile(databasePath(), bytes);

        logLines.clear();
        auto found = DownloadRecord::findAll();
        ASSERT_TRUE(found) << found.error();
        EXPECT_TRUE(found->empty());
        DownloadRecord fresh;
        EXPECT_TRUE(fresh.save());
        EXPECT_EQ(DownloadRecord::findAll()->size(), 1u);
        ASSERT_EQ(logLines.size(), 1u);
        EXPECT_NE(logLines[0].find("damaged"), std::string::npos) << logLines[0];
        std::vector<std::filesystem::path> aside;
        for (auto& entry : std::filesystem::directory_iterator(dir.path())) {
            std::string name = entry.path().filename().string();
            if (name.starts_with("zvlist.db.damaged-") && name.find('-', 18) == std::string::npos)
                aside.push_back(entry.path());
        }
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFile(aside[0]), bytes);

        // The next start keeps the fresh store and says nothing.
        ASConfigration::closeDefaultDB();
        logLines.clear();
        EXPECT_EQ(DownloadRecord::findAll()->size(), 1u);
        EXPECT_TRUE(logLines.empty());
        ASConfigration::closeDefaultDB();
    }
}

TEST_F(ASDatabaseTest, TheStoreIsTheOwnersOnlyAndOneThatCannotBeReadIsLeftAlone)
{
    DownloadRecord record;
    ASSERT_TRUE(record.save());
    for (const char* suffix : { "", "-wal" }) {
        struct stat info { };
        ASSERT_EQ(::stat((databasePath() + suffix).c_str(), &info), 0) << suffix;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << suffix;
    }
    ASConfigration::closeDefaultDB();

    // Reading the process's own memory at offset 0 fails with EIO, for root as well.
    auto unreadable = dir / "unreadable.db";
    std::filesystem::create_symlink("/proc/self/mem", unreadable);
    ASConfigration::setDefaultDB(unreadable.string(), "unreadable.db");
    logLines.clear();
    EXPECT_FALSE(record.save());
    EXPECT_FALSE(DownloadRecord::findAll());
    EXPECT_EQ(logLines.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(unreadable));
}

}
