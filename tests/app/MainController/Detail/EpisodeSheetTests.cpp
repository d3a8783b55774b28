// The episode sheet of the title page in download mode and the batch download it starts against
// the local test server: what can be chosen, "全选", the records a batch writes and how they
// follow their exports, and that every batch ends.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Detail/View/ZV_EpisodeListCell.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadingVC.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// An export whose status the test moves.
class FakeExporter : public MCSAssetExporter {
public:
    explicit FakeExporter(std::string url)
        : m_url(std::move(url))
    { }
    const std::string& URL() const override { return m_url; }
    MCSAssetExportStatus status() const override { return m_status; }
    float progress() const override { return 0; }
    void resume() override { ++resumes; }
    void suspend() override { }
    void change(MCSAssetExportStatus status)
    {
        m_status = status;
        callStatusBlock();
    }

    int resumes = 0;

private:
    std::string m_url;
    MCSAssetExportStatus m_status = MCSAssetExportStatus::unknown;
};

class FakeCache : public SJMediaCacheServer::Backend {
public:
    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string& url, bool resumes) override
    {
        if (refused.contains(url))
            return nullptr;
        auto& exporter = exporters[url];
        if (!exporter)
            exporter = std::make_shared<FakeExporter>(url);
        if (resumes)
            exporter->resume();
        return exporter;
    }
    std::string playbackURL(const std::string& url) override { return url; }
    void setActive(bool) override { }

    std::map<std::string, std::shared_ptr<FakeExporter>> exporters;
    std::set<std::string> refused;
};

class EpisodeSheetTest : public zvtest::DetailTest {
protected:
    void SetUp() override
    {
        DetailTest::SetUp();
        SJMediaCacheServer::shared().setBackend(cache);
    }
    void TearDown() override
    {
        DetailTest::TearDown();
        SJMediaCacheServer::shared().setBackend(nullptr);
    }

    // The download sheet of the page and its first page of chips.
    std::shared_ptr<ZV_SelectEpisodeContentListView> downloadPage(ZV_DetailVC& page)
    {
        page.showDownloadSheet();
        auto shown = QMUIModalPresentationViewController::visibleModalPresentationViewControllers();
        if (shown.empty())
            return nullptr;
        auto sheet = std::dynamic_pointer_cast<ZV_SelectEpisodeContentView>(shown.back()->contentView());
        if (!sheet)
            return nullptr;
        sheet->layoutIfNeeded();
        auto found = sheet->zv_listContainerView()->validListDict().find(0);
        if (found == sheet->zv_listContainerView()->validListDict().end())
            return nullptr;
        return std::dynamic_pointer_cast<ZV_SelectEpisodeContentListView>(found->second);
    }

    static void choose(ZV_SelectEpisodeContentListView& page, std::initializer_list<int> items)
    {
        for (int item : items)
            page.didSelectItem(*page.collectionView(), IndexPath::forItem(item, 0));
    }

    static std::string buttonTitle(ZV_SelectEpisodeContentListView& page)
    {
        return page.downloadBtn()->title(UIControlStateNormal).value_or("");
    }

    static ZV_DownLoadModel record(std::string title, std::string episode, std::string state)
    {
        ZV_DownLoadModel model;
        model.vod_id = std::move(title);
        model.episodeId = std::move(episode);
        model.url = "https://127.0.0.1:9/" + model.episodeId + ".m3u8";
        model.state = std::move(state);
        EXPECT_TRUE(model.save());
        return model;
    }

    static std::vector<ZV_DownLoadModel> records()
    {
        auto all = ZV_DownLoadModel::findAll();
        return all ? *all : std::vector<ZV_DownLoadModel> {};
    }

    // Waits for the batch of the page to end.
    bool batchEnds(ZV_SelectEpisodeContentListView& page)
    {
        return runUntil([&] {
            drain();
            return !page.group();
        });
    }

    std::shared_ptr<FakeCache> cache = std::make_shared<FakeCache>();
};

}

TEST_F(EpisodeSheetTest, OnlyEpisodesOfThisTitleWithoutAGoodRecordCanBeChosen)
{
    record(singleSourceTitle, "2170002", "finish");
    record(singleSourceTitle, "2170003", "fail");
    // Another title's episode of the same id is no download of this one.
    record("99999", "2170004", "finish");
    auto page = open(singleSourceTitle);
    auto sheet = downloadPage(*page);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(page->zv_playerView()->player()->isPaused());
    ASSERT_EQ(sheet->list().size(), 12u);
    EXPECT_FALSE(sheet->downloadView()->isHidden());
    EXPECT_EQ(sheet->availableEpisodes().size(), 11u);
    sheet->collectionView()->layoutIfNeeded();
    auto mark = [&](int item) {
        auto cell = std::dynamic_pointer_cast<ZV_EpisodeListCell>(sheet->collectionView()->cellForItem(IndexPath::forItem(item, 0)));
        return cell && cell->checkView()->image() ? *cell->checkView()->image() : UIImage();
    };
    EXPECT_EQ(mark(1), UIImage::named("selectDownload").value_or(UIImage()));
    EXPECT_NE(mark(2), UIImage::named("selectDownload").value_or(UIImage()));

    // A downloaded chip cannot be chosen; the others toggle.
    choose(*sheet, { 1 });
    EXPECT_TRUE(sheet->selectList.empty());
    EXPECT_FALSE(sheet->downloadBtn()->isEnabled());
    EXPECT_EQ(buttonTitle(*sheet), "立即下载");
    choose(*sheet, { 0, 2, 3 });
    EXPECT_EQ(sheet->selectList.size(), 3u);
    EXPECT_TRUE(sheet->downloadBtn()->isEnabled());
    EXPECT_EQ(sheet->downloadBtn()->backgroundColor(), colorWithHex("03FFE1"));
    EXPECT_EQ(buttonTitle(*sheet), "立即下载 3");
    choose(*sheet, { 3 });
    EXPECT_EQ(buttonTitle(*sheet), "立即下载 2");

    // "全选" takes what can still be chosen, and a second tap clears the choice.
    sheet->zv_clickAllSelect();
    EXPECT_EQ(sheet->selectList.size(), 11u);
    EXPECT_EQ(buttonTitle(*sheet), "立即下载 11");
    EXPECT_TRUE(sheet->downloadAllBtn()->isSelected());
    sheet->zv_clickAllSelect();
    EXPECT_TRUE(sheet->selectList.empty());
    EXPECT_FALSE(sheet->downloadAllBtn()->isSelected());
    EXPECT_FALSE(sheet->downloadBtn()->isEnabled());

    // Chosen one by one, every episode that can be makes "全选" selected.
    for (int item = 0; item < 12; ++item)
        choose(*sheet, { item });
    EXPECT_EQ(sheet->selectList.size(), 11u);
    EXPECT_TRUE(sheet->downloadAllBtn()->isSelected());
}

TEST_F(EpisodeSheetTest, AMixedBatchWritesARecordForEachEpisodeThatCanBeExported)
{
    auto page = open(longTitle);
    auto sheet = downloadPage(*page);
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->list().size(), 50u);
    // Episodes 1 and 4 are ready to play, 3 is resolved by the server, 6 fails to resolve.
    choose(*sheet, { 2, 5, 0, 3 });
    sheet->clickDownload();
    EXPECT_TRUE(sheet->group());
    EXPECT_FALSE(sheet->downloadBtn()->isEnabled());
    // A second tap while the batch starts adds nothing.
    sheet->clickDownload();
    ASSERT_TRUE(batchEnds(*sheet));
    // The server resolves an episode by its own address and the code of its source.
    std::set<std::pair<std::string, std::string>> asked;
    for (const auto& call : callsTo("v1/movie_addr/parse"))
        asked.insert({ call.value("play_url", "?"), call.value("from_code", "?") });
    EXPECT_EQ(asked,
        (std::set<std::pair<std::string, std::string>> {
            { "zv-detail://40311/lzm3u8/3", "lzm3u8" }, { "zv-detail://40311/lzm3u8/6", "lzm3u8" } }));
    EXPECT_EQ(callsTo("v1/movie_addr/parse").size(), 2u);

    std::vector<ZV_DownLoadModel> written = records();
    ASSERT_EQ(written.size(), 3u);
    // The ready ones first, in the order chosen, then the resolved one.
    EXPECT_EQ(written[0].episodeId, "3110001");
    EXPECT_EQ(written[1].episodeId, "3110004");
    EXPECT_EQ(written[2].episodeId, "3110003");
    for (const auto& each : written) {
        EXPECT_EQ(each.vod_id, "40311");
        EXPECT_EQ(each.name, "北方的灯塔");
        EXPECT_EQ(each.source, "线路一");
        EXPECT_EQ(each.typeName, "国产剧");
        EXPECT_EQ(each.state, "waiting");
        EXPECT_EQ(each.watching, "no");
        EXPECT_NE(each.cover.find("/images/cover-40311.png"), std::string::npos);
        ASSERT_TRUE(cache->exporters.contains(each.url)) << each.url;
        EXPECT_EQ(cache->exporters[each.url]->resumes, 1);
    }
    EXPECT_EQ(written[0].episodeName, "第01集");
    EXPECT_EQ(written[2].url, serverURL() + "/video/low/index.m3u8?title=40311&from=lzm3u8&ep=3");
    std::vector<std::string> shown = tips();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "开始下载，1 集暂时无法下载");

    // The page shows the new downloads and starts afresh.
    EXPECT_TRUE(sheet->selectList.empty());
    EXPECT_EQ(buttonTitle(*sheet), "立即下载");
    EXPECT_FALSE(sheet->downloadAllBtn()->isSelected());
    EXPECT_EQ(sheet->availableEpisodes().size(), 47u);

    // Each record follows its export; what the download pages wrote in between stays.
    FakeExporter& first = *cache->exporters[written[0].url];
    first.change(MCSAssetExportStatus::exporting);
    EXPECT_EQ(records()[0].state, "downing");
    ZV_DownLoadModel measured = records()[0];
    measured.progress = 0.5;
    measured.size = 1234;
    ASSERT_TRUE(measured.update());
    first.change(MCSAssetExportStatus::finished);
    EXPECT_EQ(records()[0].state, "finish");
    EXPECT_EQ(records()[0].progress, 0.5);
    EXPECT_EQ(records()[0].size, 1234);
    first.change(MCSAssetExportStatus::suspended);
    EXPECT_EQ(records()[0].state, "finish");

    // A failed download may be chosen again and goes on in its own record.
    cache->exporters[written[1].url]->change(MCSAssetExportStatus::failed);
    EXPECT_EQ(records()[1].state, "fail");
    auto again = downloadPage(*page);
    ASSERT_TRUE(again);
    choose(*again, { 3 });
    EXPECT_EQ(again->selectList.size(), 1u);
    again->clickDownload();
    ASSERT_TRUE(batchEnds(*again));
    ASSERT_EQ(records().size(), 3u);
    EXPECT_EQ(records()[1].state, "waiting");
    EXPECT_EQ(tips().back(), "开始下载");
}

TEST_F(EpisodeSheetTest, EveryBatchEndsAndWritesNothingForAnAddressThatCannotBeExported)
{
    setToken(sampleToken);
    auto page = open(longTitle);
    struct Case {
        const char* what;
        std::optional<testserver::ApiReply> reply;
        bool refuseExport = false;
    };
    for (const Case& c : std::vector<Case> {
             { "the sign-in ended", testserver::ApiReply::error(2000, "请先登录") },
             { "the token is refreshed", testserver::ApiReply::error(2001, "令牌过期") },
             { "signed in elsewhere", testserver::ApiReply::error(2002, "账号已在别处登录") },
             { "no address", testserver::ApiReply::error(1101, "解析失败") },
             { "a reply without a url", testserver::ApiReply::success(nlohmann::json::object()) },
             { "a url that is no web address", testserver::ApiReply::success({ { "url", "ftp://127.0.0.1/a.m3u8" } }) },
             { "no exporter", std::nullopt, true } }) {
        api().clearScripts();
        if (c.reply)
            api().script("v1/movie_addr/parse", *c.reply);
        if (c.refuseExport)
            cache->refused.insert(serverURL() + "/video/low/index.m3u8?title=40311&from=lzm3u8&ep=5");
        auto sheet = downloadPage(*page);
        ASSERT_TRUE(sheet) << c.what;
        choose(*sheet, { 4 });
        sheet->clickDownload();
        ASSERT_TRUE(batchEnds(*sheet)) << c.what;
        EXPECT_TRUE(records().empty()) << c.what;
        ASSERT_FALSE(tips().empty()) << c.what;
        EXPECT_EQ(tips().back(), "暂时无法下载，请稍后再试") << c.what;
        EXPECT_EQ(buttonTitle(*sheet), "立即下载") << c.what;
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        advance(1);
    }
}

TEST_F(EpisodeSheetTest, AllDownloadsOpensTheCentreWhoseRecordsTheSheetThenMarks)
{
    // Another title's download of an episode id this title uses too.
    record("99999", "2170002", "finish");
    auto page = open(singleSourceTitle);
    auto sheet = downloadPage(*page);
    ASSERT_TRUE(sheet);
    choose(*sheet, { 0, 1, 2 });
    sheet->clickDownload();
    ASSERT_TRUE(batchEnds(*sheet));
    ASSERT_EQ(records().size(), 4u);

    // "查看全部下载": the sheet goes and the download centre comes on the page's stack, its
    // downloading tab listing the batch.
    sheet->lookBtn()->sendActions(UIControlEventTouchUpInside);
    advance(1);
    drain();
    EXPECT_TRUE(QMUIModalPresentationViewController::visibleModalPresentationViewControllers().empty());
    ASSERT_TRUE(page->navigationController());
    auto centre = std::dynamic_pointer_cast<ZV_DownloadVC>(page->navigationController()->topViewController());
    ASSERT_TRUE(centre);
    EXPECT_FALSE(page->navigationController()->isNavigationBarHidden());
    window->layoutIfNeeded();
    centre->zv_segmentedView()->selectItemAt(1);
    drain();
    window->layoutIfNeeded();
    std::shared_ptr<ZV_DownloadingVC> downloading = centre->downloadingVC();
    ASSERT_EQ(downloading->zv_list().size(), 3u);
    EXPECT_EQ(centre->zv_dataSource()->titles.at(1), "下载中 3");

    // There the first episode finishes, the second fails and the third is deleted.
    std::vector<ZV_DownLoadModel> batch;
    for (const auto& each : records()) {
        if (each.vod_id == singleSourceTitle)
            batch.push_back(each);
    }
    ASSERT_EQ(batch.size(), 3u);
    cache->exporters[batch[0].url]->change(MCSAssetExportStatus::finished);
    cache->exporters[batch[1].url]->change(MCSAssetExportStatus::failed);
    ASSERT_EQ(downloading->zv_list().size(), 2u);
    downloading->setEdit(true);
    downloading->didSelectItem(*downloading->zv_collectionView(), IndexPath::forItem(1, 0));
    downloading->deleteSelected();
    ASSERT_EQ(records().size(), 3u);

    // Back on the title page, the sheet marks what the centre's records say: the finished
    // episode; the failed and the deleted ones can be chosen again, and so can the episode whose
    // id another title's download shares.
    page->navigationController()->popViewController(false);
    advance(1);
    drain();
    EXPECT_EQ(page->navigationController()->topViewController(), page);
    EXPECT_TRUE(page->navigationController()->isNavigationBarHidden());
    auto again = downloadPage(*page);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->isDownloaded(*again->list()[0]));
    for (std::size_t item : { 1u, 2u })
        EXPECT_FALSE(again->isDownloaded(*again->list()[item])) << item;
    EXPECT_EQ(again->availableEpisodes().size(), 11u);
}
