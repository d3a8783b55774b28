#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Keychain.h"
#include "platform/foundation/Log.h"
#include "tests/platform/foundation/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class KeychainTest : public ::testing::Test {
protected:
    void SetUp() override { Keychain::setStoreFile(m_dir.path() / "secure" / "keychain.json"); }
    void TearDown() override { Keychain::setStoreFile({}); }

    std::filesystem::path storeFile() const { return m_dir.path() / "secure" / "keychain.json"; }

    zvtest::TempDir m_dir;
};

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return info.st_mode & 0777;
}

TEST_F(KeychainTest, ItemsPersistPerServiceAndKey)
{
    Keychain device("keychainGroup");
    EXPECT_FALSE(device.get("uuid"));
    EXPECT_TRUE(device.set("E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "uuid"));
    EXPECT_TRUE(Keychain("other").set("separate", "uuid"));

    // A fresh object reads the file again, as a new process would.
    Keychain reopened("keychainGroup");
    EXPECT_EQ(reopened.get("uuid"), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(Keychain("other").get("uuid"), "separate");

    EXPECT_TRUE(reopened.set("", "uuid"));
    EXPECT_EQ(device.get("uuid"), "");
    EXPECT_TRUE(reopened.remove("uuid"));
    EXPECT_TRUE(reopened.remove("uuid"));
    EXPECT_FALSE(device.get("uuid"));
    EXPECT_EQ(Keychain("other").get("uuid"), "separate");
}

TEST_F(KeychainTest, StoreIsReadableByTheOwnerOnly)
{
    ASSERT_TRUE(Keychain("s").set("v", "k"));
    EXPECT_EQ(modeOf(storeFile()), 0600u);
    EXPECT_EQ(modeOf(storeFile().parent_path()), 0700u);

    // A store whose mode was widened is narrowed again by the next write.
    ::chmod(storeFile().c_str(), 0644);
    ASSERT_TRUE(Keychain("s").set("w", "k"));
    EXPECT_EQ(modeOf(storeFile()), 0600u);
}

TEST_F(KeychainTest, DamagedStoreIsSetAsideAndReported)
{
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    FileSystem::writeFileAtomically(
        storeFile(), dataFromString(R"({"format":"zentavo.keychain","version":1,"items":{"s":{"k":5}}})"));

    EXPECT_FALSE(Keychain("s").get("k"));
    Log::setSink({});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("damaged"), std::string::npos);
    auto names = FileSystem::list(storeFile().parent_path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with("keychain.json.damaged-"));

    EXPECT_TRUE(Keychain("s").set("fresh", "k"));
    EXPECT_EQ(Keychain("s").get("k"), "fresh");
}

// One item of the wrong kind or with one bad byte loses that item, not the keychain: the others
// are kept and written back, the damaged file is kept aside, and the log names what was lost.
TEST_F(KeychainTest, OneDamagedItemLosesOnlyItself)
{
    const std::string good = R"("keychainGroup":{"uuid":"6F1C2B9A-0D3E-4C51-9A7B-2E8F4D6C1A03"})";
    struct Case {
        const char* what;
        std::string file;
        const char* lost;
    };
    const Case cases[] = {
        { "wrong kind",
            R"({"format":"zentavo.keychain","version":1,"items":{)" + good + R"(,"other":{"a":"1","b":5}}})",
            "other/b" },
        { "bad byte in a value",
            R"({"format":"zentavo.keychain","version":1,"items":{)" + good + R"(,"other":{"a":"1","b":"caf)"
                + std::string("\xFF") + R"("}}})",
            "other/b" },
        { "bad byte in a name",
            R"({"format":"zentavo.keychain","items":{)" + good + R"(,"other":{"a":"1","b)"
                + std::string("\xC3") + R"(":"2"}},"version":1})",
            "other/b?" },
        { "cut short", R"({"format":"zentavo.keychain","items":{)" + good + R"(,"other":{"a":"1","b":"2)",
            "other/b" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileSystem::remove(storeFile().parent_path());
        ASSERT_TRUE(FileSystem::writeFileAtomically(storeFile(), dataFromString(c.file)));
        std::vector<std::string> lines;
        Log::setSink([&](std::string_view line) { lines.emplace_back(line); });

        EXPECT_EQ(Keychain("keychainGroup").get("uuid"), "6F1C2B9A-0D3E-4C51-9A7B-2E8F4D6C1A03");
        EXPECT_EQ(Keychain("other").get("a"), "1");
        EXPECT_FALSE(Keychain("other").get("b"));
        Log::setSink({});
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("damaged"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.lost), std::string::npos) << lines[0];
        auto names = FileSystem::list(storeFile().parent_path());
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(FileSystem::readFile(storeFile().parent_path() / names[1]), dataFromString(c.file));
    }
}

TEST_F(KeychainTest, FieldsOfTheWrongKindAreDamageNotACrash)
{
    const char* files[] = {
        R"({"format":5,"version":1,"items":{}})",
        R"({"format":"zentavo.keychain","version":"1","items":{}})",
        R"({"format":"zentavo.keychain","version":1,"items":[]})",
        R"({"format":"zentavo.keychain","version":1,"items":{"s":["k"]}})",
        R"([{"format":"zentavo.keychain"}])",
    };
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    for (const char* file : files) {
        SCOPED_TRACE(file);
        lines.clear();
        FileSystem::writeFileAtomically(storeFile(), dataFromString(file));
        EXPECT_FALSE(Keychain("s").get("k"));
        EXPECT_EQ(lines.size(), 1u);
        EXPECT_TRUE(Keychain("s").set("fresh", "k"));
        EXPECT_EQ(Keychain("s").get("k"), "fresh");
        FileSystem::remove(storeFile().parent_path());
    }
    Log::setSink({});
}

TEST_F(KeychainTest, AStoreThatCannotBeReadIsNeverOverwritten)
{
    // Reading the process's own memory at offset 0 fails with EIO, for root as well.
    FileSystem::createDirectories(storeFile().parent_path());
    std::filesystem::create_symlink("/proc/self/mem", storeFile());
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });

    EXPECT_FALSE(Keychain("s").get("k"));
    EXPECT_FALSE(Keychain("s").set("v", "k"));
    EXPECT_FALSE(Keychain("s").remove("k"));
    EXPECT_FALSE(Keychain("s").get("k"));
    Log::setSink({});
    // Said once, not with every operation (the device identifier is read for every request).
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("cannot read"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_symlink(storeFile()));
    EXPECT_EQ(FileSystem::list(storeFile().parent_path()), std::vector<std::string> { "keychain.json" });
}

TEST_F(KeychainTest, UnwritableStoreReportsFailure)
{
    // A file where the store's folder should be.
    FileSystem::writeFileAtomically(m_dir.path() / "blocker", Data {});
    Keychain::setStoreFile(m_dir.path() / "blocker" / "keychain.json");
    Log::setSink([](std::string_view) {});
    EXPECT_FALSE(Keychain("s").set("v", "k"));
    EXPECT_FALSE(Keychain("s").get("k"));
    Log::setSink({});
}

}
