// "已下载": finished exports are settled into their records with the size of their largest
// folder, titles are listed newest first, the tabs count the unfinished records, and deleting a
// title takes all of its records.

#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "platform/storage/ASDatabase.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using zvtest::DownloadTest;

class DownloadedTest : public DownloadTest {
protected:
    std::shared_ptr<ZV_DownloadedVC> page() { return centre->downloadedVC(); }
    std::shared_ptr<ZV_DownloadCell> row(int index)
    {
        auto& list = *page()->zv_collectionView();
        return std::dynamic_pointer_cast<ZV_DownloadCell>(
            page()->cellForItem(list, IndexPath::forItem(index, 0)));
    }

    static std::filesystem::path cacheRoot()
    {
        return AppContainer::documentsDirectory() / "com.SJMediaCacheServer.cache";
    }
    // The media cache's catalogue, as the cache writes it, with these rows.
    static void writeCatalog(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        std::filesystem::create_directories(cacheRoot());
        auto db = ASDatabase::open((cacheRoot() / "mcs.db").string());
        ASSERT_TRUE(db);
        ASTableSchema schema;
        schema.name = "MCSAssetExporter";
        schema.columns = { ASColumn { "URLString", ASColumnType::Text, ASValue() },
            ASColumn { "name", ASColumnType::Text, ASValue() } };
        ASSERT_TRUE((*db)->ensureTable(schema));
        for (const auto& [url, name] : rows)
            ASSERT_TRUE((*db)->insert("MCSAssetExporter", { { "URLString", url }, { "name", name } }));
    }
    // A folder holding `bytes` bytes in two files, one of them in a subfolder.
    static void writeFolder(const std::filesystem::path& folder, std::size_t bytes)
    {
        std::filesystem::create_directories(folder / "sub");
        std::ofstream(folder / "a.ts") << std::string(bytes / 2, 'x');
        std::ofstream(folder / "sub" / "b.ts") << std::string(bytes - bytes / 2, 'y');
    }

    std::shared_ptr<ZV_DownloadVC> centre;
};

}

TEST_F(DownloadedTest, FinishedExportsGetTheSizeOfTheirLargestFolderUnlessAlreadyMeasured)
{
    struct Case {
        const char* episode;
        double storedSize;
        MCSAssetExportStatus status;
        bool withRows;
        double size; // afterwards
        const char* state;
    };
    const Case cases[] = {
        { "new", 0, MCSAssetExportStatus::finished, true, 5, "finish" },
        { "exactly1000", 1000, MCSAssetExportStatus::finished, true, 5, "finish" },
        { "below1001", 1000.9, MCSAssetExportStatus::finished, true, 5, "finish" },
        { "measured", 1001, MCSAssetExportStatus::finished, true, 1001, "downing" },
        { "noRows", 7, MCSAssetExportStatus::finished, false, 7, "finish" },
        { "running", 0, MCSAssetExportStatus::exporting, true, 0, "downing" },
    };
    std::vector<std::pair<std::string, std::string>> rows;
    std::vector<ZV_DownLoadModel> records;
    for (const Case& c : cases) {
        ZV_DownLoadModel record = stored("t1", c.episode, "downing", c.storedSize);
        (*exports)[record.url]->current = c.status;
        if (c.withRows) {
            std::string small = std::string("export-") + c.episode + "-a";
            std::string large = std::string("export-") + c.episode + "-b";
            writeFolder(cacheRoot() / small, 2000);
            writeFolder(cacheRoot() / large, 5000);
            rows.push_back({ record.url, small });
            rows.push_back({ record.url, large });
            // A row naming a place outside the cache is not measured.
            rows.push_back({ record.url, "../outside" });
        }
        records.push_back(record);
    }
    writeFolder(cacheRoot() / ".." / "outside", 9000);
    writeCatalog(rows);
    // A finished export of no record changes nothing.
    (*exports)["https://127.0.0.1:9/nobody/index.m3u8"]->current = MCSAssetExportStatus::finished;

    centre = openCentre(0);
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto now = byId(records[i]);
        ASSERT_TRUE(now);
        EXPECT_DOUBLE_EQ(now->size, cases[i].size) << cases[i].episode;
        EXPECT_EQ(now->state, cases[i].state) << cases[i].episode;
    }
}

TEST_F(DownloadedTest, OneRowPerTitleFromItsNewestRecordAndTheTabsCountUnfinishedRecords)
{
    stored("t1", "e1", "finish", 3000);
    stored("t2", "e1", "finish", 100);
    stored("t1", "e2", "finish", 3000);
    // Part of an episode still on its way counts in the title's size too.
    stored("t1", "e3", "downing", 1500);
    stored("t3", "e1", "waiting");
    stored("t3", "e2", "pause");
    centre = openCentre(0);

    ASSERT_EQ(page()->zv_list().size(), 2u);
    EXPECT_EQ(page()->zv_list()[0].episodeId, "e2");
    EXPECT_EQ(page()->zv_list()[0].vod_id, "t1");
    EXPECT_EQ(page()->zv_list()[1].vod_id, "t2");
    EXPECT_EQ(page()->zv_allBtn()->title(UIControlStateNormal), "全选 2");
    EXPECT_EQ(tabTitles(*centre), (std::vector<std::string> { "已下载", "下载中 3" }));
    EXPECT_EQ(rightBarView(*centre), page()->editBtn());

    // Two finished episodes and one still downloading: two counted, every size added.
    EXPECT_EQ(row(0)->zv_imageTitleLb()->text(), "2");
    EXPECT_EQ(row(0)->zv_desLb()->text(), "7.50MB / 国产剧");
    EXPECT_EQ(row(0)->zv_titleLb()->text(), "片t1");
}

TEST_F(DownloadedTest, DeletingATitleTakesEveryRecordOfItAndTheLastOneEmptiesThePage)
{
    ZV_DownLoadModel done = stored("t1", "e1", "finish", 2000);
    ZV_DownLoadModel running = stored("t1", "e2", "downing");
    ZV_DownLoadModel paused = stored("t1", "e3", "pause");
    ZV_DownLoadModel other = stored("t2", "e1", "finish", 2000);
    centre = openCentre(0);
    page()->setEdit(true);
    page()->didSelectItem(*page()->zv_collectionView(), IndexPath::forItem(1, 0)); // t1
    ASSERT_EQ(page()->selectList().size(), 1u);
    EXPECT_EQ(page()->selectList().front().vod_id, "t1");

    page()->deleteSelected();
    ASSERT_EQ(all().size(), 1u);
    EXPECT_EQ(all().front().vod_id, "t2");
    EXPECT_EQ(exports->removed, (std::vector<std::string> { done.url, running.url, paused.url }));
    EXPECT_EQ(tabTitles(*centre)[1], "下载中");
    EXPECT_TRUE(page()->isEdit());

    page()->selectAll();
    EXPECT_EQ(page()->zv_delBtn()->title(UIControlStateNormal), "删除 1");
    page()->deleteSelected();
    EXPECT_TRUE(page()->zv_list().empty());
    EXPECT_FALSE(page()->isEdit());
    EXPECT_TRUE(page()->zv_bottomView()->isHidden());
    EXPECT_EQ(rightBarView(*centre), nullptr);
    EXPECT_EQ(exports->removed.back(), other.url);
}

TEST_F(DownloadedTest, AnExportSharedWithAnotherTitleKeepsItsFiles)
{
    const std::string shared = "https://127.0.0.1:9/shared/index.m3u8";
    stored("t1", "e1", "finish", 10, shared);
    stored("t2", "e7", "finish", 10, shared);
    centre = openCentre(0);
    page()->setEdit(true);
    page()->didSelectItem(*page()->zv_collectionView(), IndexPath::forItem(1, 0)); // t1, stored first
    page()->deleteSelected();
    ASSERT_EQ(all().size(), 1u);
    EXPECT_TRUE(exports->removed.empty());
}

TEST_F(DownloadedTest, EveryRecordOfAFinishedAddressIsSettledWithItsSize)
{
    // Titles whose episodes play one address share its one export.
    const std::string shared = "https://127.0.0.1:9/shared/index.m3u8";
    ZV_DownLoadModel first = stored("t1", "e1", "finish", 0, shared);
    ZV_DownLoadModel second = stored("t2", "e7", "waiting", 0, shared);
    ZV_DownLoadModel measured = stored("t3", "e2", "downing", 1001, shared);
    (*exports)[shared]->current = MCSAssetExportStatus::finished;
    writeFolder(cacheRoot() / "export-shared", 4000);
    writeCatalog({ { shared, "export-shared" } });

    centre = openCentre(0);
    for (const ZV_DownLoadModel& each : { first, second }) {
        EXPECT_EQ(byId(each)->state, "finish") << each.vod_id;
        EXPECT_DOUBLE_EQ(byId(each)->size, 4) << each.vod_id;
    }
    // One measured already is left as it is.
    EXPECT_EQ(byId(measured)->state, "downing");
    EXPECT_DOUBLE_EQ(byId(measured)->size, 1001);
    EXPECT_EQ(page()->zv_list().size(), 2u);
}
