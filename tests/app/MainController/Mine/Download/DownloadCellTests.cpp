// The download row's episode look: the size in kilobytes of 1000 bytes and the watched word.

#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"

#include <gtest/gtest.h>

using zvtest::DownloadTest;

TEST_F(DownloadTest, AnEpisodeRowTellsItsSizeAndWhetherItWasWatched)
{
    struct Case {
        double kilobytes;
        const char* watching;
        const char* text;
    };
    const Case cases[] = {
        { 1000, "no", "1000.00kb / 未观看" },
        { 1000.5, "yes", "1.00MB / 已观看" },
        { 2500000, "", "2.50GB / 已观看" },
        { 0, "seen", "0.00kb / 已观看" },
    };
    auto cell = std::make_shared<ZV_DownloadCell>();
    for (const Case& c : cases) {
        ZV_DownLoadModel record;
        record.size = c.kilobytes;
        record.watching = c.watching;
        record.episodeName = "第01集";
        record.cover = "not a cover address";
        cell->setDownloadListModel(record);
        EXPECT_EQ(cell->zv_desLb()->text(), c.text);
    }
    EXPECT_EQ(cell->zv_titleLb()->text(), "第01集");
    EXPECT_TRUE(cell->zv_imageTitleView()->isHidden());
    EXPECT_EQ(cell->zv_imageView()->image(), UIImage::named("placeholder_nor"));
    // No record leaves the row as it was.
    cell->setDownloadListModel(std::nullopt);
    EXPECT_EQ(cell->zv_desLb()->text(), "0.00kb / 已观看");
}
