// "下载中": the records follow their exports' status and progress, a load resumes what is not
// paused, a tap pauses or resumes, deletion goes by title and episode, and the edit button sits
// in the centre's bar only while the page shows.

#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/qmui/QMUIPieProgressView.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zvtest::DownloadTest;

class DownloadingTest : public DownloadTest {
protected:
    std::shared_ptr<ZV_DownloadingVC> page() { return centre->downloadingVC(); }
    std::shared_ptr<ZV_DownloadCell> row(int index)
    {
        auto& list = *page()->zv_collectionView();
        return std::dynamic_pointer_cast<ZV_DownloadCell>(
            page()->cellForItem(list, IndexPath::forItem(index, 0)));
    }
    void tapRow(int index)
    {
        page()->didSelectItem(*page()->zv_collectionView(), IndexPath::forItem(index, 0));
    }

    std::shared_ptr<ZV_DownloadVC> centre;
};

}

TEST_F(DownloadingTest, EachStatusIsWrittenAsItsStateAndAFinishMovesTheRecordOut)
{
    ZV_DownLoadModel a = stored("t1", "e1", "waiting");
    ZV_DownLoadModel b = stored("t2", "e1", "downing");
    centre = openCentre(1);
    ASSERT_EQ(page()->zv_list().size(), 2u);
    EXPECT_EQ(tabTitles(*centre)[1], "下载中 2");

    struct Case {
        MCSAssetExportStatus status;
        const char* state;
    };
    const Case cases[] = {
        { MCSAssetExportStatus::exporting, "downing" },
        { MCSAssetExportStatus::waiting, "waiting" },
        { MCSAssetExportStatus::suspended, "pause" },
        { MCSAssetExportStatus::failed, "fail" },
        { MCSAssetExportStatus::unknown, "fail" }, // changes nothing
        { MCSAssetExportStatus::exporting, "downing" },
    };
    auto exporter = (*exports)[a.url];
    for (const Case& c : cases) {
        exporter->report(c.status);
        EXPECT_EQ(byId(a)->state, c.state) << static_cast<unsigned>(c.status);
        EXPECT_EQ(page()->zv_list().front()->state, c.state);
    }
    // Progress is kept in the record too.
    exporter->reportProgress(0.25f);
    EXPECT_DOUBLE_EQ(byId(a)->progress, 0.25);

    exporter->report(MCSAssetExportStatus::finished);
    EXPECT_EQ(byId(a)->state, "finish");
    ASSERT_EQ(page()->zv_list().size(), 1u);
    EXPECT_EQ(page()->zv_list().front()->vod_id, "t2");
    EXPECT_EQ(tabTitles(*centre)[1], "下载中 1");

    (*exports)[b.url]->report(MCSAssetExportStatus::finished);
    EXPECT_TRUE(page()->zv_list().empty());
    EXPECT_EQ(tabTitles(*centre)[1], "下载中");
    EXPECT_TRUE(page()->allStackView()->isHidden());
    EXPECT_EQ(rightBarView(*centre), nullptr);
}

TEST_F(DownloadingTest, LoadingResumesAllButPausedAndRebindsTheHandlers)
{
    ZV_DownLoadModel waiting = stored("t1", "e1", "waiting");
    ZV_DownLoadModel failed = stored("t1", "e2", "fail");
    ZV_DownLoadModel paused = stored("t1", "e3", "pause");
    stored("t1", "e4", "finish");
    ZV_DownLoadModel broken = stored("t1", "e5", "downing", 0, "not an address");
    // The handler the title page installs when it starts a download.
    int startHandlerCalls = 0;
    (*exports)[waiting.url]->setStatusDidChangeExecuteBlock([&](MCSAssetExporter&) { ++startHandlerCalls; });

    centre = openCentre(1);
    EXPECT_EQ(page()->zv_list().size(), 4u);
    EXPECT_EQ(exports->resumed, (std::vector<std::string> { waiting.url, failed.url }));
    EXPECT_EQ(exports->exporters.count(broken.url), 0u);

    // The page's handler took the start handler's place, bound to the record now listed.
    (*exports)[waiting.url]->report(MCSAssetExportStatus::exporting);
    EXPECT_EQ(startHandlerCalls, 0);
    auto firstLoad = page()->zv_list().front();
    EXPECT_EQ(firstLoad->state, "downing");
    page()->loadList();
    auto secondLoad = page()->zv_list().front();
    ASSERT_NE(firstLoad, secondLoad);
    (*exports)[waiting.url]->reportProgress(0.5f);
    EXPECT_DOUBLE_EQ(secondLoad->progress, 0.5);
    EXPECT_DOUBLE_EQ(firstLoad->progress, 0);
    // Failed ones go again at every load; paused ones stay paused.
    EXPECT_EQ(
        exports->resumed, (std::vector<std::string> { waiting.url, failed.url, waiting.url, failed.url }));

    // The centre closed, its page gone: the handlers still keep the records up to date.
    std::weak_ptr<ZV_DownloadingVC> gone = page();
    window->setRootViewController(nullptr);
    centre.reset();
    drain();
    ASSERT_TRUE(gone.expired());
    (*exports)[failed.url]->report(MCSAssetExportStatus::exporting);
    EXPECT_EQ(byId(failed)->state, "downing");
}

TEST_F(DownloadingTest, ATapSuspendsAWaitingOrRunningExportAndResumesAnyOther)
{
    ZV_DownLoadModel record = stored("t1", "e1", "pause");
    centre = openCentre(1);
    auto exporter = (*exports)[record.url];
    struct Case {
        MCSAssetExportStatus status;
        bool suspends;
    };
    const Case cases[] = {
        { MCSAssetExportStatus::waiting, true },
        { MCSAssetExportStatus::exporting, true },
        { MCSAssetExportStatus::finished, false },
        { MCSAssetExportStatus::failed, false },
        { MCSAssetExportStatus::suspended, false },
    };
    for (const Case& c : cases) {
        exporter->current = c.status;
        int suspends = exporter->suspends;
        int resumes = exporter->resumes;
        tapRow(0);
        EXPECT_EQ(exporter->suspends - suspends, c.suspends ? 1 : 0) << static_cast<unsigned>(c.status);
        EXPECT_EQ(exporter->resumes - resumes, c.suspends ? 0 : 1) << static_cast<unsigned>(c.status);
    }
    // Nothing is written by the tap itself.
    EXPECT_EQ(byId(record)->state, "pause");
    tapRow(5); // past the end: nothing
    page()->controlAllExports(false);
    page()->controlAllExports(true);
    EXPECT_EQ(exporter->suspends, 3);
    EXPECT_EQ(exporter->resumes, 4);
}

TEST_F(DownloadingTest, RowsTellTheStatePercentAndSpeed)
{
    ZV_DownLoadModel failed = stored("t1", "e1", "fail");
    ZV_DownLoadModel paused = stored("t1", "e2", "pause");
    ZV_DownLoadModel waiting = stored("t1", "e3", "waiting");
    ZV_DownLoadModel running = stored("t1", "e4", "downing");
    centre = openCentre(1);
    (*exports)[paused.url]->fraction = 0.425f;
    (*exports)[running.url]->reportProgress(0.5f);

    EXPECT_EQ(row(0)->zv_desLb()->text(), "下载失败，点击重试");
    EXPECT_EQ(row(1)->zv_desLb()->text(), "已暂停 42.50%");
    EXPECT_TRUE(row(1)->pieProgressView()->isHidden());
    EXPECT_EQ(row(2)->zv_desLb()->text(), "等待下载");
    auto downing = row(3);
    EXPECT_EQ(downing->zv_desLb()->text().rfind("50.00% ", 0), 0u) << downing->zv_desLb()->text();
    EXPECT_NE(downing->zv_desLb()->text().find("/秒"), std::string::npos);
    EXPECT_FALSE(downing->pieProgressView()->isHidden());
    EXPECT_DOUBLE_EQ(downing->pieProgressView()->progress(), 0.5);
    EXPECT_EQ(downing->zv_titleLb()->text(), "片t1 第e4集");
}

TEST_F(DownloadingTest, DeletionTakesTheSelectedEpisodeOfItsTitleOnly)
{
    ZV_DownLoadModel mine = stored("t1", "e1", "downing");
    ZV_DownLoadModel sameIdOtherTitle = stored("t2", "e1", "downing");
    ZV_DownLoadModel mineFinished = stored("t1", "e1", "finish", 0, "https://127.0.0.1:9/t1/e1/other.m3u8");
    ZV_DownLoadModel other = stored("t1", "e2", "waiting");
    centre = openCentre(1);
    page()->setEdit(true);
    tapRow(0);
    EXPECT_EQ(page()->selectList().size(), 1u);
    EXPECT_EQ(page()->zv_delBtn()->title(UIControlStateNormal), "删除 1");
    EXPECT_EQ(row(0)->zv_selBtn()->image(UIControlStateNormal), UIImage::named("main_sel"));
    EXPECT_EQ(row(1)->zv_selBtn()->image(UIControlStateNormal), UIImage::named("main_nor"));

    page()->deleteSelected();
    std::vector<std::string> left;
    for (const auto& each : all())
        left.push_back(each.vod_id + "/" + each.episodeId);
    EXPECT_EQ(left, (std::vector<std::string> { "t2/e1", "t1/e2" }));
    EXPECT_EQ(exports->removed, (std::vector<std::string> { mine.url, mineFinished.url }));
    EXPECT_TRUE(page()->selectList().empty());
    EXPECT_EQ(page()->zv_delBtn()->title(UIControlStateNormal), "删除 0");
    EXPECT_TRUE(page()->isEdit());

    // Select all, twice: all, then none.
    page()->selectAll();
    EXPECT_EQ(page()->zv_delBtn()->title(UIControlStateNormal), "删除 2");
    page()->selectAll();
    EXPECT_EQ(page()->zv_delBtn()->title(UIControlStateNormal), "删除 0");
    (void)sameIdOtherTitle;
    (void)other;
}

// The edit button belongs to the centre's bar while this page shows; a download finishing while
// another screen is on top leaves that screen's bar alone.
TEST_F(DownloadingTest, TheEditButtonChangesOnlyTheCentresBarAndOnlyWhileThePageShows)
{
    ZV_DownLoadModel record = stored("t1", "e1", "downing");
    centre = openCentre(0);
    EXPECT_EQ(rightBarView(*centre), nullptr); // nothing finished yet
    centre->zv_segmentedView()->selectItemAt(1);
    drain();
    EXPECT_EQ(rightBarView(*centre), page()->editBtn());

    auto above = std::make_shared<UIViewController>();
    auto aboveButton = std::make_shared<UIButton>();
    above->navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(aboveButton));
    centre->navigationController()->pushViewController(above, false);
    drain();
    (*exports)[record.url]->report(MCSAssetExportStatus::finished);
    EXPECT_TRUE(page()->zv_list().empty());
    EXPECT_EQ(rightBarView(*above), aboveButton);
    EXPECT_EQ(rightBarView(*centre), page()->editBtn()); // until the page shows again

    centre->navigationController()->popViewController(false);
    drain();
    EXPECT_EQ(rightBarView(*centre), nullptr);
}

TEST_F(DownloadingTest, EveryRecordOfAnAddressFollowsItsOneExport)
{
    // Two titles whose episodes play one address, and a third title elsewhere.
    const std::string shared = "https://127.0.0.1:9/shared/index.m3u8";
    ZV_DownLoadModel a = stored("t1", "e1", "waiting", 0, shared);
    ZV_DownLoadModel b = stored("t2", "e7", "pause", 0, shared);
    ZV_DownLoadModel other = stored("t3", "e1", "waiting");
    centre = openCentre(1);
    ASSERT_EQ(page()->zv_list().size(), 3u);

    auto exporter = (*exports)[shared];
    exporter->report(MCSAssetExportStatus::exporting);
    exporter->reportProgress(0.5f);
    for (const ZV_DownLoadModel& each : { a, b }) {
        EXPECT_EQ(byId(each)->state, "downing") << each.vod_id;
        EXPECT_DOUBLE_EQ(byId(each)->progress, 0.5) << each.vod_id;
    }
    for (const auto& listed : page()->zv_list()) {
        if (listed->url == shared) {
            EXPECT_EQ(listed->state, "downing") << listed->vod_id;
        }
    }
    EXPECT_EQ(byId(other)->state, "waiting");

    exporter->report(MCSAssetExportStatus::finished);
    EXPECT_EQ(byId(a)->state, "finish");
    EXPECT_EQ(byId(b)->state, "finish");
    ASSERT_EQ(page()->zv_list().size(), 1u);
    EXPECT_EQ(page()->zv_list().front()->vod_id, "t3");
    EXPECT_EQ(tabTitles(*centre)[1], "下载中 1");
}
