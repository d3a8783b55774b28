// Two titles whose episodes play one address share the media cache's one export of it: both
// records follow it to "finish", both titles are listed as downloaded with the export's size, and
// both play offline, whether the second download starts while the first runs or after it ended,
// and when the app starts again on the records an earlier run left behind.

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/MainController/Mine/Download/Controller/ZV_OfflinePlayerVC.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/media/SJVideoPlayerURLAsset.h"
#include "platform/storage/ASDatabase.h"
#include "platform/ui/UINavigationController.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"
#include "tests/support/MainLoopTest.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int sharedSegmentCount = 3;

std::string sharedSegmentBytes(int index)
{
    return std::string(20 * 1000 + static_cast<std::size_t>(index) * 31, static_cast<char>('a' + index));
}

// "/dl-shared/<case>/index.m3u8?delay=<ms>": three segments, each answering after the delay.
testserver::Reply answerShared(const testserver::Request& request)
{
    std::string delay = "0";
    for (const auto& [key, value] : request.queryItems()) {
        if (key == "delay")
            delay = value;
    }
    if (request.path.ends_with("/index.m3u8")) {
        std::string text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:0\n";
        for (int i = 0; i < sharedSegmentCount; ++i)
            text += "#EXTINF:2.0,\nseg" + std::to_string(i) + ".ts?delay=" + delay + "\n";
        return testserver::Reply::text(200, text + "#EXT-X-ENDLIST\n", "application/vnd.apple.mpegurl");
    }
    std::size_t seg = request.path.rfind("/seg");
    if (seg != std::string::npos && request.path.ends_with(".ts")) {
        testserver::Reply reply = testserver::Reply::text(
            200, sharedSegmentBytes(std::atoi(request.path.c_str() + seg + 4)), "video/mp2t");
        reply.delay = std::chrono::milliseconds(std::atoi(delay.c_str()));
        return reply;
    }
    return testserver::Reply::text(404, "no such file");
}

class SharedExportTest : public zvtest::ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        static bool routed = false;
        if (!routed) {
            server().routePrefix("/dl-shared/", answerShared);
            routed = true;
        }
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        // The real media cache, in this app folder.
        SJMediaCacheServer::shared().setBackend(nullptr);
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
    }

    void TearDown() override
    {
        ScreenTest::TearDown();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJScriptedPlaybackController::clearScripts();
        SJMediaCacheServer::shared().setBackend(nullptr);
        ASConfigration::closeDefaultDB();
    }

    static std::string address(const std::string& name, int delayMs)
    {
        return serverURL() + "/dl-shared/" + name + "/index.m3u8?delay=" + std::to_string(delayMs);
    }

    // A title of one source whose one episode, ready to play, is at the address.
    static std::shared_ptr<ZV_DetailModel> title(
        const std::string& id, const std::string& episodeId, const std::string& url)
    {
        JSON episode = JSON::object({ { "episode_id", JSON(episodeId) }, { "episode_name", "第01集" },
            { "from_code", "zvm3u8" }, { "play_url", JSON(url) }, { "ready_to_play", true } });
        JSON source = JSON::object({ { "name", "线路一" }, { "list", JSON::array({ episode }) } });
        return std::make_shared<ZV_DetailModel>(
            JSON::object({ { "id", JSON(std::stoll(id)) }, { "name", JSON("片" + id) },
                { "type_name", "国产剧" }, { "play_from", JSON::array({ source }) } }));
    }

    // The title's download sheet with its one episode chosen and "立即下载" tapped; true once the
    // batch has started.
    bool download(const std::shared_ptr<ZV_DetailModel>& model)
    {
        auto sheet = ZV_SelectEpisodeContentListView::make();
        sheet->isDownload = true;
        sheet->model = model;
        sheet->setList(*ZV_DetailVC::sourceInUse(*model)->list);
        sheet->zv_clickAllSelect();
        if (sheet->selectList.size() != 1)
            return false;
        sheet->clickDownload();
        return runUntil([&] { return !sheet->group(); }, 10);
    }

    static std::optional<ZV_DownLoadModel> recordOf(const std::string& vod_id)
    {
        auto found = ZV_DownLoadModel::findByTitle(vod_id);
        if (!found || found->size() != 1)
            return std::nullopt;
        return found->front();
    }
    static std::string stateOf(const std::string& vod_id)
    {
        auto record = recordOf(vod_id);
        return record ? record->state : "(no single record)";
    }
    bool bothFinish(const std::string& a, const std::string& b)
    {
        return runUntil([&] { return stateOf(a) == "finish" && stateOf(b) == "finish"; }, 15);
    }

    // The export's largest folder in kilobytes, as the catalogue names it.
    static double exportKilobytes(const std::string& url)
    {
        auto catalog = ASDatabase::open(
            (AppContainer::documentsDirectory() / ZV_DownloadedVC::cacheFolder / ZV_DownloadedVC::catalogFile)
                .string(),
            ASOpenMode::ReadOnly);
        if (!catalog)
            return -1;
        auto folders = ZV_DownloadedVC::exportFolders(**catalog, url);
        return folders.size() == 1 ? ZV_Tools::folderSize(folders.front()) : -1;
    }

    // The download centre on the "已下载" tab: the titles it lists.
    std::vector<std::string> listedTitles()
    {
        auto centre = std::make_shared<ZV_DownloadVC>();
        show(centre);
        std::vector<std::string> titles;
        for (const ZV_DownLoadModel& each : centre->downloadedVC()->zv_list())
            titles.push_back(each.vod_id);
        downloadingTitle = centre->zv_dataSource()->titles.at(1);
        window->setRootViewController(nullptr);
        drain();
        return titles;
    }

    // What the offline player of the title plays.
    std::string playedOffline(const std::string& vod_id, const std::string& episodeId)
    {
        auto page = std::make_shared<ZV_OfflinePlayerVC>();
        page->vod_id = vod_id;
        page->episode_id = episodeId;
        page->name = "片" + vod_id;
        show(page);
        advance(ZV_OfflinePlayerVC::loadDelay);
        drain();
        auto asset = page->zv_playerView()->player()->URLAsset();
        std::string played = asset ? asset->URL() : std::string();
        window->setRootViewController(nullptr);
        drain();
        return played;
    }

    // Both titles downloaded and playable from the one export.
    void expectBothDownloaded(const std::string& a, const std::string& b, const std::string& url)
    {
        double size = exportKilobytes(url);
        EXPECT_GT(size, 3 * 20.0);
        std::vector<std::string> titles = listedTitles();
        for (const std::string& each : { a, b }) {
            SCOPED_TRACE("title " + each);
            EXPECT_NE(std::find(titles.begin(), titles.end(), each), titles.end());
            auto record = recordOf(each);
            ASSERT_TRUE(record);
            EXPECT_EQ(record->state, "finish");
            EXPECT_DOUBLE_EQ(record->size, size);
            std::string played = playedOffline(each, record->episodeId);
            EXPECT_FALSE(played.empty());
            EXPECT_NE(played, url) << "plays from the origin";
            EXPECT_EQ(played, SJMediaCacheServer::shared().playbackURLWithURL(url));
        }
        EXPECT_EQ(downloadingTitle, "下载中");
    }

    std::string downloadingTitle;
};

}

TEST_F(SharedExportTest, BothTitlesFollowTheOneExportOfTheirAddress)
{
    struct Case {
        const char* what;
        int delayMs;
        bool secondAfterTheFirstFinished;
    };
    const Case cases[] = {
        { "the second starts after the first finished", 0, true },
        { "the second starts while the first runs", 400, false },
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string url = address("case" + std::to_string(n), c.delayMs);
        const std::string a = std::to_string(71000 + 2 * n);
        const std::string b = std::to_string(71001 + 2 * n);
        ++n;
        ASSERT_TRUE(download(title(a, "a" + a, url)));
        if (c.secondAfterTheFirstFinished)
            ASSERT_TRUE(runUntil([&] { return stateOf(a) == "finish"; }, 15)) << stateOf(a);
        else
            ASSERT_TRUE(runUntil([&] { return stateOf(a) == "downing"; }, 15)) << stateOf(a);
        ASSERT_TRUE(download(title(b, "b" + b, url)));
        ASSERT_TRUE(bothFinish(a, b)) << a << ": " << stateOf(a) << ", " << b << ": " << stateOf(b);
        expectBothDownloaded(a, b, url);
    }
}

TEST_F(SharedExportTest, AfterARestartBothRecordsFollowTheExport)
{
    struct Case {
        const char* what;
        const char* firstState; // as the earlier run left the records
        const char* secondState;
        bool exportFinished; // or cut off halfway by the end of that run
    };
    const Case cases[] = {
        { "an earlier version left the second waiting", "finish", "waiting", true },
        { "the run ended while both downloaded", "downing", "downing", false },
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string url = address("restart" + std::to_string(n), c.exportFinished ? 0 : 300);
        const std::string a = std::to_string(72000 + 2 * n);
        const std::string b = std::to_string(72001 + 2 * n);
        ++n;
        // The earlier run: its export, and the records as it left them.
        auto exporter = SJMediaCacheServer::shared().exportAssetWithURL(url, true);
        ASSERT_TRUE(exporter);
        ASSERT_TRUE(runUntil(
            [&] {
                return c.exportFinished ? exporter->status() == MCSAssetExportStatus::finished
                                        : exporter->progress() > 0;
            },
            15));
        for (const auto& [id, state] : { std::pair { a, c.firstState }, std::pair { b, c.secondState } }) {
            ZV_DownLoadModel record;
            record.url = url;
            record.vod_id = id;
            record.name = "片" + id;
            record.episodeId = "e" + id;
            record.episodeName = "第01集";
            record.state = state;
            ASSERT_TRUE(record.save());
        }
        exporter.reset();
        SJMediaCacheServer::shared().setBackend(nullptr);

        // The app starts again: its root resumes the downloads, and the records follow their
        // export with no download page opened.
        auto root = std::make_shared<ZVRootViewController>();
        show(root);
        ASSERT_TRUE(bothFinish(a, b)) << a << ": " << stateOf(a) << ", " << b << ": " << stateOf(b);
        allRepliesIn();
        window->setRootViewController(nullptr);
        drain();
        expectBothDownloaded(a, b, url);
        SJMediaCacheServer::shared().setBackend(nullptr);
    }
}
