// A download interrupted by the end of the process goes on after the app starts again on the
// same folder and ends with the bytes the server has; deleting the episode then removes its
// export and folder. The first process is this test program run again as a child, which starts
// the title's downloads from the title page's download sheet and is killed halfway.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadDetailVC.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Keychain.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/cache/MCSDownloader.h"
#include "platform/storage/ASDatabase.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"
#include "tests/support/MainLoopTest.h"
#include "tools/testserver/ApiServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* childHomeVariable = "ZV_DOWNLOAD_CHILD_HOME";
constexpr const char* titleId = "70001";
constexpr int segmentCount = 6;
constexpr int segmentDelayMs = 400;

// Segment bytes the test can tell apart: each segment its own pattern.
std::string segmentBytes(int index)
{
    std::string bytes(24 * 1024 + index * 97, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 31 + static_cast<std::size_t>(index) * 7) & 0xFF);
    return bytes;
}

// "/dl-restart/<episode>/index.m3u8" lists six segments, each answering after the delay of the
// playlist's query.
testserver::Reply answer(const testserver::Request& request)
{
    std::string path = request.path;
    std::string delay = "0";
    for (const auto& [key, value] : request.queryItems()) {
        if (key == "delay")
            delay = value;
    }
    if (path.ends_with("/index.m3u8")) {
        std::string text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:0\n";
        for (int i = 0; i < segmentCount; ++i)
            text += "#EXTINF:2.0,\nseg" + std::to_string(i) + ".ts?delay=" + delay + "\n";
        text += "#EXT-X-ENDLIST\n";
        return testserver::Reply::text(200, text, "application/vnd.apple.mpegurl");
    }
    std::size_t seg = path.rfind("/seg");
    if (seg != std::string::npos && path.ends_with(".ts")) {
        int index = std::atoi(path.c_str() + seg + 4);
        testserver::Reply reply = testserver::Reply::text(200, segmentBytes(index), "video/mp2t");
        reply.delay = std::chrono::milliseconds(std::atoi(delay.c_str()));
        return reply;
    }
    return testserver::Reply::text(404, "no such file");
}

class DownloadRestartTest : public zvtest::ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        static bool routed = false;
        if (!routed) {
            server().routePrefix("/dl-restart/", answer);
            routed = true;
        }
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        // The real media cache, in this app folder.
        SJMediaCacheServer::shared().setBackend(nullptr);
        nlohmann::json episodes = nlohmann::json::array();
        for (int n = 1; n <= 2; ++n) {
            episodes.push_back({ { "episode_id", "80" + std::to_string(n) },
                { "episode_name", "第0" + std::to_string(n) + "集" }, { "from_code", "zvm3u8" },
                { "play_url", episodeURL(n) }, { "ready_to_play", true } });
        }
        api().script("v1/movie/detail",
            testserver::ApiReply::success(
                { { "id", 70001 }, { "name", "重启之后" }, { "type_name", "国产剧" },
                    { "play_from",
                        nlohmann::json::array({ { { "name", "线路一" }, { "list", episodes } } }) } }));
    }

    void TearDown() override
    {
        ScreenTest::TearDown();
        SJMediaCacheServer::shared().setBackend(nullptr);
        ASConfigration::closeDefaultDB();
    }

    static std::string episodeURL(int n)
    {
        return serverURL() + "/dl-restart/" + std::to_string(n)
            + "/index.m3u8?delay=" + std::to_string(segmentDelayMs);
    }

    // Runs this program again as the first app process; true when it ended killed, as planned.
    bool runFirstProcess()
    {
        std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
        std::string filter = "--gtest_filter=DownloadRestartChild.*";
        std::string log = (home / "child.log").string();
        ::setenv(childHomeVariable, home.path().c_str(), 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(
            &actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        char* argv[] = { program.data(), filter.data(), nullptr };
        pid_t pid = 0;
        int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::unsetenv(childHomeVariable);
        if (spawned != 0)
            return false;
        int status = 0;
        // The child's requests are answered on this process's server thread meanwhile.
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
        std::ifstream text(log);
        std::stringstream lines;
        lines << text.rdbuf();
        childLog = lines.str();
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    static MCSFetchedBody get(const std::string& url)
    {
        MCSFetchSettings settings;
        settings.trustedCAFile = Bundle::main().infoString(InfoKey::TrustedCAFile).value_or("");
        MCSDownloader trusted(settings);
        return fetchBody(trusted, url, 16 * 1024 * 1024);
    }

    // The segments the loopback proxy serves for the address, in playlist order.
    static std::vector<std::string> playedSegments(const std::string& url)
    {
        std::string local = SJMediaCacheServer::shared().playbackURLWithURL(url);
        MCSFetchedBody playlist = get(local);
        std::vector<std::string> segments;
        if (!playlist.result.completed())
            return segments;
        std::istringstream lines(std::string(playlist.body.begin(), playlist.body.end()));
        std::string base = local.substr(0, local.rfind('/') + 1);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '#')
                continue;
            std::string address = line.find("://") != std::string::npos ? line
                : line[0] == '/' ? local.substr(0, local.find('/', local.find("://") + 3)) + line
                                 : base + line;
            MCSFetchedBody segment = get(address);
            segments.emplace_back(segment.body.begin(), segment.body.end());
        }
        return segments;
    }

    std::string childLog;
};

}

// The first process: starts the title's downloads and is killed once some segments are in.
TEST(DownloadRestartChild, StartsTheDownloadsAndIsKilledHalfway)
{
    const char* childHome = std::getenv(childHomeVariable);
    if (!childHome)
        GTEST_SKIP() << "run by DownloadRestartTest as the first process";
    RunLoop::main().reset();
    AppContainer::setHome(childHome);
    Keychain::setStoreFile(std::filesystem::path(childHome) / "keychain-child.json");
    Bundle::resetForTesting();
    UserDefaults::resetStandardForTesting();
    BaseURLs::resetToDefaults();
    ASConfigration::setDefaultDB((AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");

    // The title as its page reads it, and the page's download sheet with "全选" and "立即下载".
    std::shared_ptr<ZV_DetailModel> title;
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/detail",
        JSON::object({ { "id", JSON(titleId) } }), [&](std::optional<JSON> json, std::optional<NSError>) {
            if (json)
                title = std::make_shared<ZV_DetailModel>(*json);
        });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return title != nullptr; }, 30));
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source = ZV_DetailVC::sourceInUse(*title);
    ASSERT_TRUE(source);
    auto sheet = ZV_SelectEpisodeContentListView::make();
    sheet->isDownload = true;
    sheet->model = title;
    sheet->setList(*source->list);
    sheet->zv_clickAllSelect();
    ASSERT_EQ(sheet->selectList.size(), 2u);
    sheet->clickDownload();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !sheet->group(); }, 30));
    auto records = ZV_DownLoadModel::findAll();
    ASSERT_TRUE(records && records->size() == 2u);
    const std::string first = records->front().url;
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return SJMediaCacheServer::shared().exportProgressWithURL(first) >= 0.3f; }, 30));
    ASSERT_LT(SJMediaCacheServer::shared().exportProgressWithURL(first), 1.0f);
    std::raise(SIGKILL);
}

TEST_F(DownloadRestartTest, AnInterruptedDownloadGoesOnAfterARestartAndEndsWithTheServersBytes)
{
    ASSERT_TRUE(runFirstProcess()) << childLog;
    auto before = ZV_DownLoadModel::findAll();
    ASSERT_TRUE(before);
    ASSERT_EQ(before->size(), 2u);
    for (const auto& record : *before)
        EXPECT_NE(record.state, "finish");
    const std::string first = before->front().url;
    // The exports the first process ran come back suspended.
    for (const auto& exporter : SJMediaCacheServer::shared().allExporters())
        EXPECT_EQ(exporter->status(), MCSAssetExportStatus::suspended) << exporter->URL();

    // The app starts again: its root resumes the downloads, the centre follows them.
    auto root = std::make_shared<ZVRootViewController>();
    show(root);
    auto centre = std::make_shared<ZV_DownloadVC>();
    root->navigationController()->pushViewController(centre, false);
    drain();
    centre->zv_segmentedView()->selectItemAt(1);
    drain();
    ASSERT_TRUE(runUntil(
        [] {
            auto left = ZV_DownLoadModel::findUnfinished();
            return left && left->empty();
        },
        60));

    for (int n = 1; n <= 2; ++n) {
        std::vector<std::string> played = playedSegments(episodeURL(n));
        ASSERT_EQ(played.size(), static_cast<std::size_t>(segmentCount)) << n;
        for (int i = 0; i < segmentCount; ++i) {
            MCSFetchedBody direct
                = get(serverURL() + "/dl-restart/" + std::to_string(n) + "/seg" + std::to_string(i) + ".ts");
            EXPECT_EQ(
                played[static_cast<std::size_t>(i)], std::string(direct.body.begin(), direct.body.end()))
                << "episode " << n << " segment " << i;
        }
    }
    // What the first process had fetched was not fetched again.
    EXPECT_EQ(server().requestsTo("/dl-restart/1/seg0.ts").size(), 1u + 1u); // and once directly above

    // Deleting the episode removes its export and its folder.
    auto catalog = ASDatabase::open(
        (AppContainer::documentsDirectory() / "com.SJMediaCacheServer.cache" / "mcs.db").string(),
        ASOpenMode::ReadOnly);
    ASSERT_TRUE(catalog);
    auto folders = ZV_DownloadedVC::exportFolders(**catalog, first);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(folders.front()));
    auto list = std::make_shared<ZV_DownloadDetailVC>();
    list->vod_id = titleId;
    root->navigationController()->pushViewController(list, false);
    drain();
    ASSERT_EQ(list->zv_list().size(), 2u);
    list->setEdit(true);
    list->didSelectItem(*list->zv_collectionView(), IndexPath::forItem(0, 0));
    list->deleteSelected();
    EXPECT_FALSE(std::filesystem::exists(folders.front()));
    EXPECT_EQ(list->zv_list().size(), 1u);
    EXPECT_EQ(SJMediaCacheServer::shared().allExporters().size(), 1u);
}
