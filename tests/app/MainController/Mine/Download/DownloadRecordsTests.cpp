// The order of a title's episodes (shared by its episode list and the offline player) and the
// pairing of records by title and episode.

#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

ZV_DownLoadModel record(
    std::string vod_id, std::string episodeId, std::string episodeName, std::string url = {})
{
    ZV_DownLoadModel made;
    made.vod_id = std::move(vod_id);
    made.episodeId = std::move(episodeId);
    made.episodeName = std::move(episodeName);
    made.url = std::move(url);
    return made;
}

std::vector<std::string> urls(const std::vector<ZV_DownLoadModel>& list)
{
    std::vector<std::string> out;
    for (const auto& each : list)
        out.push_back(each.url);
    return out;
}

}

TEST(DownloadRecords, EpisodesComeInPlainStringOrderAndEqualNamesKeepTheirOrder)
{
    std::vector<ZV_DownLoadModel> list {
        record("t", "1", "第2集", "a"),
        record("t", "2", "第10集", "b"),
        record("t", "3", "第1集", "c"),
        record("t", "4", "第2集", "d"), // the same name as "a", stored later
        record("t", "5", "Cafe\xCC\x81", "e"), // decomposed é
        record("t", "6", "Café", "f"), // composed: equal to "e", which came first
        record("t", "7", "Cafe", "g"),
    };
    // Digits are characters: "第10集" before "第1集" ("0" before "集") before "第2集".
    EXPECT_EQ(urls(downloads::sortedByEpisodeName(list)),
        (std::vector<std::string> { "g", "e", "f", "b", "c", "a", "d" }));
}

TEST(DownloadRecords, AnEpisodeIsItsTitleAndItsId)
{
    std::vector<ZV_DownLoadModel> selection;
    EXPECT_EQ(downloads::toggleEpisode(selection, record("t1", "e1", "", "a")), 1u);
    // The same episode id of another title is another episode.
    EXPECT_EQ(downloads::toggleEpisode(selection, record("t2", "e1", "", "b")), 2u);
    EXPECT_TRUE(downloads::containsEpisode(selection, record("t1", "e1", "", "other copy")));
    EXPECT_FALSE(downloads::containsEpisode(selection, record("t3", "e1", "")));
    // Another record of a selected episode deselects it.
    EXPECT_EQ(downloads::toggleEpisode(selection, record("t1", "e1", "", "c")), 1u);
    EXPECT_EQ(urls(selection), (std::vector<std::string> { "b" }));

    std::vector<ZV_DownLoadModel> stored { record("t1", "e1", "", "1"), record("t2", "e1", "", "2"),
        record("t1", "e2", "", "3"), record("t3", "e1", "", "4"), record("t2", "e9", "", "5") };
    EXPECT_EQ(urls(downloads::uniqueByVodId(stored)), (std::vector<std::string> { "1", "2", "4" }));
    EXPECT_TRUE(downloads::uniqueByVodId({}).empty());
}
