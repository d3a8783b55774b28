#include "platform/foundation/AppContainer.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct LogCapture {
    std::vector<std::string> lines;
    LogCapture()
    {
        Log::setSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { Log::setSink({}); }
};

mode_t fileModeOf(const std::filesystem::path& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppContainer::setHome(m_home.path());
        UserDefaults::resetStandardForTesting();
    }
    void TearDown() override { UserDefaults::resetStandardForTesting(); }

    // What a new launch of the app sees.
    UserDefaults& restart()
    {
        UserDefaults::resetStandardForTesting();
        return UserDefaults::standard();
    }

    std::filesystem::path storeFile() const
    {
        return m_home.path() / "Library/Preferences/UserDefaults.json";
    }

    zvtest::TempDir m_home;
};

TEST_F(UserDefaultsTest, EveryTypeSurvivesARestartExactly)
{
    auto& defaults = UserDefaults::standard();
    PropertyList::Dictionary nested { { "n", PropertyList(7) },
        { "list", PropertyList(std::vector<std::string> { "a" }) } };
    defaults.set(true, "bool");
    defaults.set(42, "int");
    defaults.set(std::numeric_limits<std::int64_t>::min(), "min");
    defaults.set(1.0, "double");
    defaults.set(std::numeric_limits<double>::infinity(), "inf");
    defaults.set("text \xE4\xB8\xAD", "string");
    defaults.set(std::string("\xFF\xFE raw", 6), "bytes");
    defaults.set(Data { 0, 1, 2, 255 }, "data");
    defaults.set(PropertyList(std::vector<std::string> { "x", "y" }), "array");
    defaults.set(PropertyList(nested), "dict");

    auto& reloaded = restart();
    EXPECT_EQ(reloaded.objectForKey("bool"), PropertyList(true));
    // 1.0 must stay a double, 42 an integer and true a Boolean: the file tags their types.
    EXPECT_EQ(reloaded.objectForKey("int")->type(), PropertyList::Type::Integer);
    EXPECT_EQ(reloaded.objectForKey("int"), PropertyList(42));
    EXPECT_EQ(reloaded.objectForKey("min"), PropertyList(std::numeric_limits<std::int64_t>::min()));
    EXPECT_EQ(reloaded.objectForKey("double")->type(), PropertyList::Type::Double);
    EXPECT_EQ(reloaded.objectForKey("inf"), PropertyList(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(reloaded.objectForKey("string"), PropertyList("text \xE4\xB8\xAD"));
    EXPECT_EQ(reloaded.objectForKey("bytes"), PropertyList(std::string("\xFF\xFE raw", 6)));
    EXPECT_EQ(reloaded.objectForKey("data"), PropertyList(Data { 0, 1, 2, 255 }));
    EXPECT_EQ(reloaded.stringArrayForKey("array"), (std::vector<std::string> { "x", "y" }));
    EXPECT_EQ(reloaded.objectForKey("dict"), PropertyList(nested));
}

TEST_F(UserDefaultsTest, RemovalAndNoneArePersistedAndEveryReadSeesTheLastWrite)
{
    auto& defaults = UserDefaults::standard();
    defaults.set("token", "a");
    defaults.set("keep", "b");
    EXPECT_EQ(defaults.stringForKey("a"), "token");
    defaults.set(std::nullopt, "a");
    EXPECT_FALSE(defaults.objectForKey("a"));
    defaults.set(std::optional<PropertyList>("again"), "a");
    EXPECT_EQ(defaults.stringForKey("a"), "again");
    defaults.set(std::optional<PropertyList>(), "a");
    defaults.removeObjectForKey("never-set");

    auto& reloaded = restart();
    EXPECT_FALSE(reloaded.objectForKey("a"));
    EXPECT_EQ(reloaded.stringForKey("b"), "keep");
}

// Each write waits for the disk: several entries go in one, and a value stored again in none.
TEST_F(UserDefaultsTest, SeveralEntriesAreOneWriteAndAnUnchangedValueNone)
{
    auto inode = [this] {
        struct stat info { };
        return ::stat(storeFile().c_str(), &info) == 0 ? info.st_ino : 0;
    };
    auto& defaults = UserDefaults::standard();
    defaults.setValues({ { "a", PropertyList("1") }, { "b", PropertyList(2) } });
    ino_t written = inode();
    ASSERT_NE(written, 0u);
    defaults.set("1", "a");
    defaults.setValues({ { "b", PropertyList(2) } });
    EXPECT_EQ(inode(), written) << "the file was replaced for values it already held";
    // Equal text of another type is a change.
    defaults.set(PropertyList(1), "a");
    EXPECT_NE(inode(), written);

    auto& reloaded = restart();
    EXPECT_EQ(reloaded.objectForKey("a"), PropertyList(1));
    EXPECT_EQ(reloaded.objectForKey("b"), PropertyList(2));
}

TEST_F(UserDefaultsTest, TypedGettersApplyThePlatformConversions)
{
    auto& defaults = UserDefaults::standard();
    // Missing keys.
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_EQ(defaults.integerForKey("missing"), 0);
    EXPECT_EQ(defaults.doubleForKey("missing"), 0.0);
    EXPECT_FALSE(defaults.stringForKey("missing"));
    EXPECT_FALSE(defaults.stringArrayForKey("missing"));

    // Booleans from text and numbers.
    for (const char* truthy : { "YES", "yes", "true", "TRUE", "1", " 12abc", "-3" }) {
        defaults.set(truthy, "b");
        EXPECT_TRUE(defaults.boolForKey("b")) << truthy;
    }
    for (const char* falsy : { "NO", "no", "false", "0", "", "abc", "Y" }) {
        defaults.set(falsy, "b");
        EXPECT_FALSE(defaults.boolForKey("b")) << falsy;
    }
    defaults.set(2, "b");
    EXPECT_TRUE(defaults.boolForKey("b"));
    defaults.set(0.0, "b");
    EXPECT_FALSE(defaults.boolForKey("b"));
    defaults.set(Data { 1 }, "b");
    EXPECT_FALSE(defaults.boolForKey("b"));

    // Integers.
    defaults.set(" -42xyz", "i");
    EXPECT_EQ(defaults.integerForKey("i"), -42);
    defaults.set("99999999999999999999", "i");
    EXPECT_EQ(defaults.integerForKey("i"), std::numeric_limits<std::int64_t>::max());
    defaults.set("abc", "i");
    EXPECT_EQ(defaults.integerForKey("i"), 0);
    defaults.set(-2.9, "i");
    EXPECT_EQ(defaults.integerForKey("i"), -2);
    defaults.set(1e300, "i");
    EXPECT_EQ(defaults.integerForKey("i"), std::numeric_limits<std::int64_t>::max());
    defaults.set(true, "i");
    EXPECT_EQ(defaults.integerForKey("i"), 1);

    // Doubles.
    defaults.set(" 2.5e1rest", "d");
    EXPECT_EQ(defaults.doubleForKey("d"), 25.0);
    defaults.set("-.5", "d");
    EXPECT_EQ(defaults.doubleForKey("d"), -0.5);
    defaults.set("x1", "d");
    EXPECT_EQ(defaults.doubleForKey("d"), 0.0);
    defaults.set(7, "d");
    EXPECT_EQ(defaults.doubleForKey("d"), 7.0);

    // Text from numbers, none from other types.
    defaults.set(12, "s");
    EXPECT_EQ(defaults.stringForKey("s"), "12");
    defaults.set(1.5, "s");
    EXPECT_EQ(defaults.stringForKey("s"), "1.5");
    defaults.set(true, "s");
    EXPECT_EQ(defaults.stringForKey("s"), "1");
    defaults.set(Data { 65 }, "s");
    EXPECT_FALSE(defaults.stringForKey("s"));

    // String arrays only when every element is text.
    defaults.set(PropertyList(std::vector<std::string> {}), "arr");
    EXPECT_EQ(defaults.stringArrayForKey("arr"), std::vector<std::string> {});
    defaults.set(PropertyList(PropertyList::Array { PropertyList("a"), PropertyList(1) }), "arr");
    EXPECT_FALSE(defaults.stringArrayForKey("arr"));
    defaults.set("a", "arr");
    EXPECT_FALSE(defaults.stringArrayForKey("arr"));
}

TEST_F(UserDefaultsTest, UnparsableFileIsMovedAsideAndReportedWithoutLosingIt)
{
    FileSystem::writeFileAtomically(storeFile(), dataFromString("{ not json"));
    LogCapture log;

    auto& defaults = UserDefaults::standard();
    EXPECT_FALSE(defaults.objectForKey("anything"));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("damaged"), std::string::npos);

    auto names = FileSystem::list(storeFile().parent_path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with("UserDefaults.json.damaged-"));
    EXPECT_EQ(FileSystem::readFile(storeFile().parent_path() / names[0]), dataFromString("{ not json"));

    // The store works on and writes a fresh file.
    defaults.setBool(true, "flag");
    EXPECT_TRUE(restart().boolForKey("flag"));
}

TEST_F(UserDefaultsTest, BadEntriesAreDroppedGoodOnesKeptAndTheOriginalSetAside)
{
    FileSystem::writeFileAtomically(
        storeFile(), dataFromString(R"({"format":"zentavo.defaults","version":1,"values":{
        "good": {"string": "kept"},
        "badTag": {"nope": 1},
        "badData": {"data": "***"},
        "twoTags": {"int": 1, "bool": true},
        "hugeUnsigned": {"int": 18446744073709551615}
    }})"));
    LogCapture log;

    auto& defaults = UserDefaults::standard();
    EXPECT_EQ(defaults.stringForKey("good"), "kept");
    EXPECT_FALSE(defaults.objectForKey("badTag"));
    EXPECT_FALSE(defaults.objectForKey("hugeUnsigned"));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("dropped 4"), std::string::npos);
    EXPECT_EQ(FileSystem::list(storeFile().parent_path()).size(), 2u);

    // The salvaged entry no longer depends on the damaged copy.
    EXPECT_EQ(restart().stringForKey("good"), "kept");
    EXPECT_EQ(log.lines.size(), 1u);
}

// One bad byte, or a file cut short, loses the entries it touches and nothing else: the access
// token survives a damaged neighbour. The damaged file is kept aside as it was, what reads well is
// written back, and the one log line names what was lost.
TEST_F(UserDefaultsTest, OneBadByteLosesOnlyTheEntryItIsIn)
{
    PropertyList::Dictionary stored {
        { "StoreData.access_token", PropertyList(std::string("tk-301877-first")) },
        { "StoreData.history", PropertyList(PropertyList::Array { PropertyList(std::string("三体")) }) },
        { "StoreData.pureMode", PropertyList(true) },
        { "appConfig", PropertyList(std::string("{\"new_notice\":3}")) },
        { "zz_last", PropertyList(std::int64_t(7)) },
    };
    const std::string clean = UserDefaults::serialize(stored);
    auto replaced = [&](const std::string& what, const std::string& with) {
        std::string text = clean;
        std::size_t at = text.find(what);
        EXPECT_NE(at, std::string::npos) << what;
        return text.replace(at, what.size(), with);
    };
    struct Case {
        const char* what;
        std::string file;
        std::string gone; // the entry lost
        std::string logged; // how the log names it
        bool cut = false;
    };
    const Case cases[] = {
        { "a bad byte in a value", replaced("new_notice", "new_n\xFFtice"), "appConfig", "appConfig" },
        { "a bad byte in a name",
            replaced("appConfig",
                "app\xC0"
                "Config"),
            "appConfig", "app?Config" },
        { "a bad byte in an array", replaced("三体", "三\xE4"), "StoreData.history", "StoreData.history" },
        { "cut short", clean.substr(0, clean.find("zz_last") + 12), "zz_last", "zz_last", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileSystem::remove(storeFile().parent_path());
        ASSERT_TRUE(FileSystem::writeFileAtomically(storeFile(), dataFromString(c.file)));
        LogCapture log;
        auto& defaults = restart();
        for (const auto& [key, value] : stored)
            EXPECT_EQ(defaults.objectForKey(key), key == c.gone ? std::nullopt : std::optional(value)) << key;
        ASSERT_EQ(log.lines.size(), 1u);
        const std::string& line = log.lines[0];
        EXPECT_NE(line.find("damaged"), std::string::npos) << line;
        EXPECT_NE(line.find(c.logged), std::string::npos) << line;
        EXPECT_EQ(line.find("broke off") != std::string::npos, c.cut) << line;
        auto names = FileSystem::list(storeFile().parent_path());
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(FileSystem::readFile(storeFile().parent_path() / names[1]), dataFromString(c.file));

        // What was kept no longer depends on the damaged copy.
        EXPECT_EQ(restart().stringForKey("StoreData.access_token"), "tk-301877-first");
        EXPECT_EQ(log.lines.size(), 1u);
    }
}

TEST_F(UserDefaultsTest, WrongFormatOrVersionCountsAsDamaged)
{
    FileSystem::writeFileAtomically(
        storeFile(), dataFromString(R"({"format":"zentavo.defaults","version":2,"values":{}})"));
    LogCapture log;
    UserDefaults::standard();
    EXPECT_EQ(log.lines.size(), 1u);
    EXPECT_FALSE(FileSystem::exists(storeFile()));
}

TEST_F(UserDefaultsTest, FieldsOfTheWrongKindAreDamageNotACrash)
{
    const char* files[] = {
        R"({"format":5,"version":1,"values":{}})",
        R"({"format":"zentavo.defaults","version":"1","values":{}})",
        R"({"format":"zentavo.defaults","version":1.5,"values":{}})",
        R"({"format":"zentavo.defaults","version":1,"values":[{"string":"x"}]})",
        R"({"format":null,"version":true,"values":"x"})",
        R"({"format":["zentavo.defaults"],"version":{"v":1}})",
        R"(["zentavo.defaults",1])",
        R"("zentavo.defaults")",
    };
    for (const char* file : files) {
        SCOPED_TRACE(file);
        FileSystem::writeFileAtomically(storeFile(), dataFromString(file));
        LogCapture log;
        auto& defaults = restart();
        EXPECT_EQ(log.lines.size(), 1u);
        EXPECT_FALSE(FileSystem::exists(storeFile()));
        defaults.set("on", "going");
        EXPECT_EQ(restart().stringForKey("going"), "on");
        FileSystem::remove(storeFile().parent_path());
    }
}

TEST_F(UserDefaultsTest, AFileThatCannotBeReadIsNeverOverwritten)
{
    // Reading the process's own memory at offset 0 fails with EIO, for root as well.
    FileSystem::createDirectories(storeFile().parent_path());
    std::filesystem::create_symlink("/proc/self/mem", storeFile());
    LogCapture log;

    auto& defaults = restart();
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("cannot read"), std::string::npos);
    // The app goes on with what it sets in this run, and the file stays as it was.
    defaults.set("kept in memory", "token");
    defaults.removeObjectForKey("token");
    defaults.setBool(true, "flag");
    EXPECT_TRUE(defaults.boolForKey("flag"));
    EXPECT_TRUE(std::filesystem::is_symlink(storeFile()));
    EXPECT_EQ(FileSystem::list(storeFile().parent_path()), std::vector<std::string> { "UserDefaults.json" });
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(UserDefaultsTest, TheFileItsDamagedCopiesAndTheAppFoldersAreTheOwnersOnly)
{
    auto preferences = storeFile().parent_path();
    FileSystem::createDirectories(preferences);
    for (auto folder : { m_home.path(), m_home.path() / "Library", preferences })
        ::chmod(folder.c_str(), 0755);
    FileSystem::writeFileAtomically(storeFile(), dataFromString("{ damaged"), 0644);
    LogCapture log;

    restart().set("secret", "StoreData.access_token");
    EXPECT_EQ(fileModeOf(storeFile()), 0600u);
    auto names = FileSystem::list(preferences);
    ASSERT_EQ(names.size(), 2u);
    for (auto& name : names)
        EXPECT_EQ(fileModeOf(preferences / name), 0600u) << name;
    EXPECT_EQ(fileModeOf(preferences), 0700u);
    EXPECT_EQ(fileModeOf(m_home.path() / "Library"), 0700u);

    // A file left readable by an older version is narrowed when it is loaded.
    ::chmod(storeFile().c_str(), 0644);
    restart();
    EXPECT_EQ(fileModeOf(storeFile()), 0600u);
}
}
