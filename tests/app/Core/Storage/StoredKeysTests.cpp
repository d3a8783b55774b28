// Every key under which the app keeps something, as its own text: the typed flags and plain
// entries of the defaults, and the columns of the download record. Other versions of the app
// read the same store, so a renamed key loses the viewer's data.

#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/storage/ASConfigration.h"
#include "tests/app/support/ApiTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

class StoredKeys : public zvtest::ApiServerTest {
protected:
    void TearDown() override
    {
        BaseURLs::resetToDefaults();
        ASConfigration::closeDefaultDB();
        ApiServerTest::TearDown();
    }

    // The server-address file with one entry, as its fetch hands it over.
    static void applyFile(const std::string& key, const std::string& value)
    {
        std::string body = nlohmann::json { { key, value } }.dump();
        HTTPResponse response;
        response.statusCode = 200;
        response.body = Data(body.begin(), body.end());
        ZV_Network::applyDomainConfig(response);
    }
};

TEST_F(StoredKeys, DefaultsEntriesAreWrittenUnderTheirOwnText)
{
    struct Case {
        const char* key;
        std::function<void()> write;
    };
    const std::string url = serverURL() + "/learnt/";
    for (const Case& c :
        std::vector<Case> {
            { "StoreData.isDarkColor", [] { StoreData::setBool(true, StoreData::isDarkColor); } },
            { "StoreData.access_token", [] { StoreData::set(PropertyList("tk"), StoreData::access_token); } },
            { "StoreData.history",
                [] { StoreData::set(PropertyList(std::vector<std::string> { "a" }), StoreData::history); } },
            { "StoreData.pureMode", [] { StoreData::setBool(true, StoreData::pureMode); } },
            { "StoreData.pureAlert", [] { StoreData::setBool(true, StoreData::pureAlert); } },
            // The server-address file's entries, each cached under the key of its base URL.
            { "main_url", [&] { applyFile("api_service", url); } },
            { "captcha_url", [&] { applyFile("captcha_url", url); } },
            { "short_url", [&] { applyFile("short_video_service", url); } },
            { "help_url", [&] { applyFile("help_url", url); } },
            { "websocket_url", [] { applyFile("room_gateway_websocket_url", "wss://127.0.0.1:1/ws"); } },
        }) {
        SCOPED_TRACE(c.key);
        UserDefaults::resetStandardForTesting();
        ASSERT_FALSE(UserDefaults::standard().objectForKey(c.key));
        c.write();
        UserDefaults::resetStandardForTesting(); // read back from the file, as the next start does
        EXPECT_TRUE(UserDefaults::standard().objectForKey(c.key));
    }
}

TEST_F(StoredKeys, DownloadRecordColumns)
{
    const std::string path = (AppContainer::documentsDirectory() / "zvlist.db").string();
    ASConfigration::setDefaultDB(path, "zvlist.db");
    struct Column {
        const char* name;
        std::function<void(ZV_DownLoadModel&)> set;
        const char* stored;
    };
    const std::vector<Column> columns {
        { "url", [](auto& r) { r.url = "U"; }, "U" },
        { "name", [](auto& r) { r.name = "N"; }, "N" },
        { "cover", [](auto& r) { r.cover = "C"; }, "C" },
        { "vod_id", [](auto& r) { r.vod_id = "V"; }, "V" },
        { "source", [](auto& r) { r.source = "S"; }, "S" },
        { "typeName", [](auto& r) { r.typeName = "T"; }, "T" },
        { "episodeId", [](auto& r) { r.episodeId = "E"; }, "E" },
        { "episodeName", [](auto& r) { r.episodeName = "EN"; }, "EN" },
        { "size", [](auto& r) { r.size = 7.5; }, "7.5" },
        { "progress", [](auto& r) { r.progress = 0.25; }, "0.25" },
        { "state", [](auto& r) { r.state = "pause"; }, "pause" },
        { "watching", [](auto& r) { r.watching = "yes"; }, "yes" },
    };
    ZV_DownLoadModel record;
    for (const auto& column : columns)
        column.set(record);
    ASSERT_TRUE(record.save());
    ASConfigration::closeDefaultDB();

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    for (const auto& column : columns) {
        std::string sql = std::string("SELECT ") + column.name + " FROM ZV_DownLoadModel";
        sqlite3_stmt* statement = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
        ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW) << sql;
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), column.stored) << sql;
        sqlite3_finalize(statement);
    }
}

}
