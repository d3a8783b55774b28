#include "app/Core/Models/ZV_DownLoadModel.h"
#include "platform/storage/ASConfigration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ZV_DownLoadModelTest : public ::testing::Test {
protected:
    void SetUp() override { ASConfigration::setDefaultDB((dir / "zvlist.db").string(), "zvlist.db"); }
    void TearDown() override
    {
        ASConfigration::closeDefaultDB();
        ASConfigration::setDefaultDB("", "");
    }

    // Later finds read the file again, as after a restart of the app.
    static void reopen() { ASConfigration::closeDefaultDB(); }

    static ZV_DownLoadModel saved(std::string vod_id, std::string episodeId, std::string state)
    {
        ZV_DownLoadModel record;
        record.vod_id = std::move(vod_id);
        record.episodeId = std::move(episodeId);
        record.state = std::move(state);
        record.url = "https://media.zentavo.example/hls/" + record.vod_id + "/" + record.episodeId + ".m3u8";
        EXPECT_TRUE(record.save()) << record.episodeId;
        return record;
    }

    static std::vector<std::string> episodes(const ASResult<std::vector<ZV_DownLoadModel>>& found)
    {
        EXPECT_TRUE(found) << found.error();
        std::vector<std::string> result;
        if (found)
            for (const auto& record : *found)
                result.push_back(record.episodeId);
        return result;
    }

    zvtest::TempDir dir;
};

using Episodes = std::vector<std::string>;

TEST_F(ZV_DownLoadModelTest, NewRecordReadsBackWithDefaults)
{
    ZV_DownLoadModel fresh;
    ASSERT_TRUE(fresh.save());
    reopen();

    auto all = ZV_DownLoadModel::findAll();
    ASSERT_TRUE(all) << all.error();
    ASSERT_EQ(all->size(), 1u);
    const auto& record = all->front();
    EXPECT_EQ(record.id(), fresh.id());
    EXPECT_EQ(record.state, "waiting");
    EXPECT_EQ(record.watching, "no");
    EXPECT_EQ(record.url, "");
    EXPECT_EQ(record.name, "");
    EXPECT_EQ(record.episodeName, "");
    EXPECT_EQ(record.size, 0.0);
    EXPECT_EQ(record.progress, 0.0);
}

TEST_F(ZV_DownLoadModelTest, QueriesByStateTitleAndEpisode)
{
    saved("40217", "1", "finish");
    saved("40217", "2", "pause");
    saved("40217", "3", "downing");
    saved("40311", "7", "waiting");
    saved("40311", "8", "fail");
    saved("40311", "9", "finish");
    saved("40522", "5", "stopped"); // an unknown state is resumed like a running one
    reopen();

    EXPECT_EQ(episodes(ZV_DownLoadModel::findUnfinished()), (Episodes { "2", "3", "7", "8", "5" }));
    EXPECT_EQ(episodes(ZV_DownLoadModel::findResumable()), (Episodes { "3", "7", "8", "5" }));
    EXPECT_EQ(episodes(ZV_DownLoadModel::findFinished()), (Episodes { "1", "9" }));
    EXPECT_EQ(episodes(ZV_DownLoadModel::findFinished("40311")), (Episodes { "9" }));
    EXPECT_EQ(episodes(ZV_DownLoadModel::findByTitle("40217")), (Episodes { "1", "2", "3" }));
    EXPECT_EQ(episodes(ZV_DownLoadModel::findByEpisode("8")), (Episodes { "8" }));
    EXPECT_TRUE(episodes(ZV_DownLoadModel::findByTitle("99999")).empty());
}

TEST_F(ZV_DownLoadModelTest, WatchingTurnsOnceAndDeleteRemovesTheRow)
{
    saved("40217", "1", "finish");
    saved("40217", "2", "finish");

    auto first = ZV_DownLoadModel::findEpisode("40217", "1");
    ASSERT_TRUE(first && *first);
    ZV_DownLoadModel played = **first;
    ASSERT_EQ(played.watching, "no");
    played.watching = "yes";
    ASSERT_TRUE(played.update());
    std::int64_t stamp = played.updatedAt();
    reopen();

    auto again = ZV_DownLoadModel::findEpisode("40217", "1");
    ASSERT_TRUE(again && *again);
    EXPECT_EQ((*again)->watching, "yes");
    EXPECT_EQ((*again)->updatedAt(), stamp);
    EXPECT_EQ(episodes(ZV_DownLoadModel::findFinished("40217")), (Episodes { "1", "2" }));

    ZV_DownLoadModel gone = **again;
    ASSERT_TRUE(gone.deleteRecord());
    reopen();
    EXPECT_EQ(episodes(ZV_DownLoadModel::findByTitle("40217")), (Episodes { "2" }));
}

TEST_F(ZV_DownLoadModelTest, RemoveEpisodeTakesEveryRecordOfThatEpisode)
{
    std::vector<ZV_DownLoadModel> list;
    for (const char* episode : { "1", "2", "1", "3", "1" }) {
        ZV_DownLoadModel record;
        record.episodeId = episode;
        list.push_back(record);
    }
    // The argument is the list's own first element: erasing must not change what is compared.
    removeEpisode(list, list.front());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].episodeId, "2");
    EXPECT_EQ(list[1].episodeId, "3");

    ZV_DownLoadModel stranger;
    stranger.episodeId = "4";
    removeEpisode(list, stranger);
    EXPECT_EQ(list.size(), 2u);
}

}
