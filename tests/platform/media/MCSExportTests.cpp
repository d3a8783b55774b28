#include "platform/foundation/AppContainer.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/cache/MCSExportJob.h"
#include "tests/platform/media/MediaCacheFixture.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace zvtest;
using testserver::Reply;
using testserver::Request;
using ExportStatus = MCSAssetExportStatus;

namespace {

std::string readText(const std::filesystem::path& file)
{
    return stringFromData(FileSystem::readFile(file).value_or(Data()));
}

// The rows a reader of the catalogue sees, as the downloaded list reads them.
std::vector<std::pair<std::string, std::string>> catalogueRows(const std::filesystem::path& file)
{
    std::vector<std::pair<std::string, std::string>> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT URLString, name FROM MCSAssetExporter", -1, &statement, nullptr)
            == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                rows.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

// Every regular file below the folder.
std::vector<std::filesystem::path> filesBelow(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file())
            files.push_back(it->path());
    }
    return files;
}

std::filesystem::path exportFolder(const std::filesystem::path& root, const std::string& url)
{
    for (const auto& [URLString, name] : catalogueRows(root / "mcs.db")) {
        if (URLString == url)
            return root / name;
    }
    return {};
}

}

TEST_F(MediaCacheTest, ExportRunsToTheEndAndWritesALocalPlaylist)
{
    const std::string url = http("/vod/master.m3u8");
    auto exporter = cache->exportAsset(url, false);
    ASSERT_TRUE(exporter);
    EXPECT_EQ(exporter->status(), ExportStatus::suspended);
    EXPECT_EQ(exporter->URL(), url);

    std::vector<ExportStatus> statuses;
    std::vector<float> progress;
    exporter->setStatusDidChangeExecuteBlock([&](MCSAssetExporter& e) { statuses.push_back(e.status()); });
    exporter->setProgressDidChangeExecuteBlock(
        [&](MCSAssetExporter& e) { progress.push_back(e.progress()); });
    exporter->resume();
    EXPECT_TRUE(statuses.empty()) << "blocks run in a later turn of the main queue";
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    drain();

    EXPECT_EQ(statuses.front(), ExportStatus::exporting);
    EXPECT_EQ(statuses.back(), ExportStatus::finished);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_FLOAT_EQ(progress.back(), 1.0f);
    EXPECT_FLOAT_EQ(cache->exportProgress(url), 1.0f);

    // The first variant, its key and every segment, each once; the local playlist names the copies.
    std::filesystem::path folder = exportFolder(root, url);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.parent_path(), root);
    EXPECT_EQ(requestCount("/vod/v2/index.m3u8"), 0u);
    EXPECT_EQ(requestCount("/vod/key.bin"), 1u);
    std::string local = readText(folder / "index.m3u8");
    EXPECT_NE(local.find("URI=\"key-00000.key\""), std::string::npos) << local;
    EXPECT_EQ(local.find("http"), std::string::npos) << local;
    for (int i = 0; i < segmentCount; ++i) {
        std::string name = "seg-0000" + std::to_string(i) + ".ts";
        EXPECT_NE(local.find("\n" + name + "\n"), std::string::npos) << name;
        EXPECT_EQ(readText(folder / name), segmentBytes(i, segmentSize)) << name;
        EXPECT_EQ(requestCount("/vod/v1/seg" + std::to_string(i) + ".ts"), 1u);
    }
    EXPECT_EQ(readText(folder / "key-00000.key"), streamKey());
    EXPECT_EQ(cache->allExporters().size(), 1u);
}

TEST_F(MediaCacheTest, BlocksMayReplaceThemselvesWhileRunning)
{
    auto exporter = cache->exportAsset(http("/vod/v2/index.m3u8"), false);
    int first = 0;
    int second = 0;
    exporter->setStatusDidChangeExecuteBlock([&](MCSAssetExporter& e) {
        ++first;
        e.setStatusDidChangeExecuteBlock([&](MCSAssetExporter&) { ++second; });
    });
    exporter->resume();
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    drain();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST_F(MediaCacheTest, SuspendKeepsWhatCameAndResumeGoesOnAcrossARestart)
{
    const std::string url = http("/slow/index.m3u8");
    auto exporter = cache->exportAsset(url, true);
    ASSERT_TRUE(runUntil([&] { return exporter->progress() >= 2.0f / segmentCount; }, 20));
    exporter->suspend();
    EXPECT_EQ(exporter->status(), ExportStatus::suspended);
    std::filesystem::path folder = exportFolder(root, url);
    float kept = exporter->progress();
    EXPECT_LT(kept, 1.0f);

    // Suspended: nothing more is fetched.
    std::size_t before = server->requests().size();
    runUntil([] { return false; }, 2 * slowDelay.count() / 1000.0 + 0.2);
    std::size_t fetched = 0;
    for (int i = 0; i < segmentCount; ++i)
        fetched += FileSystem::exists(folder / ("seg-0000" + std::to_string(i) + ".ts"));
    EXPECT_GE(fetched, 2u);
    EXPECT_LE(server->requests().size(), before + 1) << "at most the transfer that was cut";

    reopen();
    auto again = cache->exportAsset(url, false);
    ASSERT_TRUE(again);
    EXPECT_NE(again.get(), exporter.get());
    EXPECT_EQ(again->status(), ExportStatus::suspended);
    EXPECT_FLOAT_EQ(again->progress(), kept);
    server->clearRequests();
    again->resume();
    ASSERT_TRUE(waitForStatus(again, ExportStatus::finished, 30));
    EXPECT_EQ(requestCount("/slow/index.m3u8"), 0u) << "the playlist of the first run is reused";
    EXPECT_EQ(server->requests().size(), static_cast<std::size_t>(segmentCount) - fetched);
    for (int i = 0; i < segmentCount; ++i)
        EXPECT_EQ(readText(folder / ("seg-0000" + std::to_string(i) + ".ts")), segmentBytes(i, segmentSize));
}

TEST_F(MediaCacheTest, RestartKeepsFinishedExportsAndSuspendsInterruptedOnes)
{
    auto done = cache->exportAsset(http("/vod/v2/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(done, ExportStatus::finished));
    auto running = cache->exportAsset(http("/slow/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(running, ExportStatus::exporting));
    // The process ends while one export runs.
    reopen();

    std::vector<std::shared_ptr<MCSAssetExporter>> all = cache->allExporters();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0]->URL(), http("/vod/v2/index.m3u8"));
    EXPECT_EQ(all[0]->status(), ExportStatus::finished);
    EXPECT_FLOAT_EQ(all[0]->progress(), 1.0f);
    EXPECT_EQ(all[1]->status(), ExportStatus::suspended);
}

TEST_F(MediaCacheTest, ExportsBeyondTheLimitWaitTheirTurn)
{
    auto first = cache->exportAsset(http("/slow/index.m3u8"), true);
    auto second = cache->exportAsset(http("/vod/v1/index.m3u8"), true);
    auto third = cache->exportAsset(http("/vod/v2/index.m3u8"), true);
    EXPECT_EQ(first->status(), ExportStatus::exporting);
    EXPECT_EQ(second->status(), ExportStatus::exporting);
    EXPECT_EQ(third->status(), ExportStatus::waiting);
    ASSERT_TRUE(waitForStatus(second, ExportStatus::finished));
    ASSERT_TRUE(waitForStatus(third, ExportStatus::finished));
    first->suspend();
    EXPECT_EQ(first->status(), ExportStatus::suspended);
}

// A second caller of resume (another title's download of the same address, or the app started
// again) learns where the export stands: a resume with nothing to start tells the status block
// that status again, and starts nothing.
TEST_F(MediaCacheTest, AResumeWithNothingToStartTellsTheStatus)
{
    auto finished = cache->exportAsset(http("/vod/v2/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(finished, ExportStatus::finished));
    auto running = cache->exportAsset(http("/slow/index.m3u8"), true);
    auto alsoRunning = cache->exportAsset(http("/slow/index.m3u8?second"), true);
    auto waiting = cache->exportAsset(http("/vod/v1/index.m3u8"), true);
    ASSERT_EQ(waiting->status(), ExportStatus::waiting);
    drain();

    std::map<std::string, std::vector<ExportStatus>> heard;
    for (const auto& exporter : { finished, running, waiting }) {
        exporter->setStatusDidChangeExecuteBlock(
            [&heard](MCSAssetExporter& e) { heard[e.URL()].push_back(e.status()); });
    }
    server->clearRequests();
    for (const auto& exporter : { finished, running, waiting }) {
        exporter->resume();
        EXPECT_EQ(cache->exportAsset(exporter->URL(), true), exporter);
    }
    drain();
    EXPECT_EQ(heard[finished->URL()], (std::vector { ExportStatus::finished, ExportStatus::finished }));
    EXPECT_EQ(heard[running->URL()], (std::vector { ExportStatus::exporting, ExportStatus::exporting }));
    EXPECT_EQ(heard[waiting->URL()], (std::vector { ExportStatus::waiting, ExportStatus::waiting }));
    EXPECT_EQ(requestCount("/vod/v2/index.m3u8"), 0u) << "a finished export is not fetched again";
    EXPECT_EQ(requestCount("/vod/v1/index.m3u8"), 0u) << "a waiting export keeps its turn";
    for (const auto& exporter : { running, alsoRunning, waiting })
        exporter->suspend();
}

TEST_F(MediaCacheTest, BrokenInputFailsAndKeepsWhatWasFetched)
{
    std::vector<std::string> segments = { "seg0.ts", "seg1.ts", "broken.ts", "seg3.ts" };
    server->route(
        "/bad/index.m3u8", [&](const Request&) { return Reply::text(200, mediaPlaylist(segments)); });
    server->routePrefix("/bad/seg", [&](const Request& request) {
        return Reply::text(200, segmentBytes(request.path[request.path.size() - 4] - '0', segmentSize));
    });

    struct Case {
        const char* what;
        std::function<Reply(const Request&)> broken;
    };
    const Case cases[] = {
        { "404", [](const Request&) { return Reply::text(404, "gone"); } },
        { "cut short",
            [this](const Request&) {
                Reply reply = Reply::text(200, segmentBytes(2, segmentSize));
                reply.action = testserver::ReplyAction::TruncateBody;
                return reply;
            } },
        { "connection dropped",
            [](const Request&) {
                Reply reply;
                reply.action = testserver::ReplyAction::CloseWithoutReply;
                return reply;
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server->route("/bad/broken.ts", c.broken);
        cache->removeExportAsset(http("/bad/index.m3u8"));
        auto exporter = cache->exportAsset(http("/bad/index.m3u8"), true);
        ASSERT_TRUE(waitForStatus(exporter, ExportStatus::failed));
        std::filesystem::path folder = exportFolder(root, http("/bad/index.m3u8"));
        EXPECT_EQ(readText(folder / "seg-00001.ts"), segmentBytes(1, segmentSize));
        EXPECT_FALSE(FileSystem::exists(folder / "seg-00002.ts")) << "no half file under the real name";
        EXPECT_FALSE(FileSystem::exists(folder / "index.m3u8"));
        for (const std::string& name : FileSystem::list(folder))
            EXPECT_EQ(name.find(".part"), std::string::npos) << name;
        EXPECT_FLOAT_EQ(exporter->progress(), 0.5f);

        // A retry once the origin mends goes on from there.
        server->route("/bad/broken.ts",
            [this](const Request&) { return Reply::text(200, segmentBytes(2, segmentSize)); });
        server->clearRequests();
        exporter->resume();
        ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
        EXPECT_EQ(requestCount("/bad/seg0.ts"), 0u);
        EXPECT_EQ(requestCount("/bad/broken.ts"), 1u);
    }
}

TEST_F(MediaCacheTest, PlaylistsThatCannotBeExportedFail)
{
    std::string huge = "#EXTM3U\n";
    while (huge.size() <= 5 * 1024 * 1024)
        huge += "#EXTINF:1,\nsegment-with-a-long-name-to-fill-the-playlist.ts\n";
    struct Case {
        const char* path;
        Reply reply;
    };
    const Case cases[] = {
        { "/x/html.m3u8", Reply::text(200, "<html>not a playlist</html>") },
        { "/x/empty.m3u8", Reply::text(200, "") },
        { "/x/missing.m3u8", Reply::text(404, "") },
        { "/x/live.m3u8", Reply::text(200, mediaPlaylist({ "a.ts", "b.ts" }, {}, false)) },
        { "/x/huge.m3u8", Reply::text(200, huge) },
        { "/x/nested.m3u8", Reply::text(200, "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nnested.m3u8\n") },
        { "/x/ftp.m3u8", Reply::text(200, mediaPlaylist({ "ftp://127.0.0.1/a.ts" })) },
        { "/x/badkey.m3u8", Reply::text(200, mediaPlaylist({ "a.ts" }, "short.key")) },
        { "/x/failkey.m3u8", Reply::text(200, mediaPlaylist({ "a.ts" }, "fail.key")) },
    };
    server->route("/x/short.key", [](const Request&) { return Reply::text(200, "123"); });
    server->route("/x/fail.key", [](const Request&) { return Reply::text(500, ""); });
    server->route("/x/a.ts", [](const Request&) { return Reply::text(200, "a"); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server->script(c.path, c.reply);
        auto exporter = cache->exportAsset(http(c.path), true);
        ASSERT_TRUE(exporter);
        EXPECT_TRUE(waitForStatus(exporter, ExportStatus::failed));
    }
    EXPECT_EQ(cache->exportAsset("ftp://127.0.0.1/x.m3u8", true), nullptr);
    EXPECT_EQ(cache->exportAsset("not a url", true), nullptr);
}

TEST_F(MediaCacheTest, TransfersVerifyTLSAgainstTheConfiguredAuthority)
{
    auto trusted = cache->exportAsset(https("/vod/v2/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(trusted, ExportStatus::finished));

    MCSMediaCacheOptions untrusting = options();
    untrusting.root = home->path() / "untrusting";
    untrusting.exports.fetch.trustedCAFile.clear(); // the system's store knows no test authority
    cache.reset();
    cache = MCSMediaCache::open(untrusting);
    server->clearRequests();
    auto refused = cache->exportAsset(https("/vod/v2/index.m3u8"), true);
    EXPECT_TRUE(waitForStatus(refused, ExportStatus::failed));
    EXPECT_TRUE(server->requests().empty());
    EXPECT_EQ(get(cache->playbackURL(https("/file.mp4"))).head.status, 502);
}

TEST_F(MediaCacheTest, AddressesThatClimbOutStayInsideTheCache)
{
    server->route("/deep/a/index.m3u8", [](const Request&) {
        return Reply::text(200,
            mediaPlaylist({ "../../../../../../etc/passwd", "..%2F..%2Fescape.ts", "/%2e%2e/%2e%2e/up.ts",
                              "name/with/../../dots.ts" },
                "../../../../key.bin"));
    });
    server->routePrefix("/", [](const Request& request) {
        return request.path == "/key.bin" ? Reply::text(200, streamKey()) : Reply::text(200, "x");
    });
    auto exporter = cache->exportAsset(http("/deep/a/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    for (const auto& file : filesBelow(home->path())) {
        std::string path = file.string();
        EXPECT_TRUE(path.starts_with(root.string() + "/")) << path;
    }
    std::filesystem::path folder = exportFolder(root, http("/deep/a/index.m3u8"));
    for (const std::string& name : FileSystem::list(folder))
        EXPECT_TRUE(name.starts_with("seg-") || name.starts_with("key-") || name.ends_with(".m3u8")
            || name == "source.url")
            << name;
}

TEST_F(MediaCacheTest, RemoveStopsTheTransferAndDeletesFilesAndRow)
{
    const std::string url = http("/slow/index.m3u8");
    auto exporter = cache->exportAsset(url, true);
    ASSERT_TRUE(runUntil([&] { return exporter->progress() > 0; }, 20));
    std::filesystem::path folder = exportFolder(root, url);
    ASSERT_TRUE(FileSystem::exists(folder));
    int calls = 0;
    exporter->setStatusDidChangeExecuteBlock([&](MCSAssetExporter&) { ++calls; });
    std::filesystem::path outside = home->path() / "outside.txt";
    FileSystem::writeFileAtomically(outside, dataFromString("keep"));

    cache->removeExportAsset(url);
    std::size_t requests = server->requests().size();
    runUntil([] { return false; }, 0.8);
    // The segment asked for just before the removal may reach the server's log after it; a transfer
    // that went on would have asked for at least two more in this time (each answer takes 300 ms).
    EXPECT_LE(server->requests().size(), requests + 1) << "the transfer stopped";
    EXPECT_FALSE(FileSystem::exists(folder));
    EXPECT_TRUE(catalogueRows(root / "mcs.db").empty());
    EXPECT_TRUE(cache->allExporters().empty());
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(FileSystem::exists(outside));
    EXPECT_TRUE(FileSystem::exists(root / "mcs.db"));
    EXPECT_FLOAT_EQ(cache->exportProgress(url), 0.0f);

    // A new export of the same address starts from nothing.
    auto fresh = cache->exportAsset(url, false);
    EXPECT_NE(fresh.get(), exporter.get());
    EXPECT_FLOAT_EQ(fresh->progress(), 0.0f);
}

TEST_F(MediaCacheTest, CatalogueIsReadableReadOnlyWhileExportsRun)
{
    const std::string url = http("/slow/index.m3u8");
    auto exporter = cache->exportAsset(url, true);
    ASSERT_TRUE(runUntil([&] { return exporter->progress() > 0; }));
    ASSERT_EQ(exporter->status(), ExportStatus::exporting);
    auto rows = catalogueRows(root / "mcs.db");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].first, url);
    EXPECT_TRUE(rows[0].second.starts_with("export-"));
    EXPECT_TRUE(std::filesystem::is_directory(root / rows[0].second));
    exporter->suspend();
}

// A damaged catalogue is kept aside for inspection and a new one started, with one line on the
// log that says why and where the damaged file went.
TEST_F(MediaCacheTest, ADamagedCatalogueIsMovedAsideAndLogged)
{
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> damage;
        const char* why; // in the log line
    };
    const Case cases[] = {
        { "not a database",
            [](const std::filesystem::path& file) {
                ASSERT_TRUE(FileSystem::writeFileAtomically(file, dataFromString(std::string(4096, 'x'))));
            },
            "file is not a database" },
        { "a database whose integrity check fails",
            [](const std::filesystem::path& file) {
                sqlite3* db = nullptr;
                ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
                ASSERT_EQ(sqlite3_exec(db,
                              "PRAGMA page_size=4096; CREATE TABLE t(a TEXT);"
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                              "INSERT INTO t SELECT printf('%.200c%d', 'x', i) FROM n;",
                              nullptr, nullptr, nullptr),
                    SQLITE_OK);
                sqlite3_close(db);
                // Two cells of the third page point into its own header.
                std::string bytes = readText(file);
                ASSERT_GT(bytes.size(), 3u * 4096);
                bytes.replace(2 * 4096 + 8, 4, std::string("\x00\x01\x00\x02", 4));
                ASSERT_TRUE(FileSystem::writeFileAtomically(file, dataFromString(bytes)));
            },
            "integrity check found: *** in database main ***; On tree page 3 cell" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cache.reset();
        for (const std::string& name : FileSystem::list(root)) {
            if (name.starts_with("mcs.db"))
                FileSystem::remove(root / name);
        }
        c.damage(root / "mcs.db");
        std::vector<std::string> lines;
        Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
        reopen();
        Log::setSink(nullptr);

        EXPECT_TRUE(cache->hasCatalog());
        EXPECT_TRUE(cache->allExporters().empty());
        std::string keptAside;
        for (const std::string& name : FileSystem::list(root)) {
            if (name.starts_with("mcs.db.damaged-") && !name.ends_with("-wal"))
                keptAside = name;
        }
        ASSERT_FALSE(keptAside.empty());
        ASSERT_EQ(lines.size(), 1u) << testing::PrintToString(lines);
        EXPECT_NE(lines[0].find((root / "mcs.db").string() + " is damaged"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.why), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(keptAside), std::string::npos) << lines[0];
        EXPECT_EQ(lines[0].find("not an error"), std::string::npos) << lines[0];
        EXPECT_TRUE(cache->exportAsset(http("/vod/v2/index.m3u8"), false));
    }
}

TEST_F(MediaCacheTest, ClearingPlaybackCachesLeavesExports)
{
    auto exporter = cache->exportAsset(http("/vod/v2/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    ASSERT_EQ(get(cache->playbackURL(http("/file.mp4"))).body.size(), fileSize);
    cache->playbackStore().flush();
    EXPECT_FALSE(FileSystem::list(root / "playback").empty());

    cache->removeAllRemovableCaches();
    EXPECT_TRUE(FileSystem::list(root / "playback").empty());
    // What still waited for the disk goes too: nothing comes back once it would have been written.
    cache->playbackStore().setWritesPausedForTesting(true);
    ASSERT_EQ(get(cache->playbackURL(http("/file.mp4"))).body.size(), fileSize);
    cache->removeAllRemovableCaches();
    cache->playbackStore().setWritesPausedForTesting(false);
    cache->playbackStore().flush();
    EXPECT_TRUE(FileSystem::list(root / "playback").empty());
    server->clearRequests();
    ASSERT_EQ(get(cache->playbackURL(http("/file.mp4"))).body.size(), fileSize);
    EXPECT_EQ(requestCount("/file.mp4"), 1u) << "served from what was removed";
    EXPECT_EQ(exporter->status(), ExportStatus::finished);
    EXPECT_TRUE(FileSystem::exists(exportFolder(root, http("/vod/v2/index.m3u8")) / "index.m3u8"));
    EXPECT_EQ(catalogueRows(root / "mcs.db").size(), 1u);
}

TEST_F(MediaCacheTest, SharedInstanceOpensTheCacheInTheDocumentsFolder)
{
    AppContainer::setHome(home->path());
    SJMediaCacheServer& shared = SJMediaCacheServer::shared();
    shared.setBackend(nullptr);
    auto exporter = shared.exportAssetWithURL(http("/vod/v2/index.m3u8"));
    ASSERT_TRUE(exporter);
    EXPECT_EQ(shared.allExporters().size(), 1u);
    EXPECT_EQ(
        catalogueRows(AppContainer::documentsDirectory() / "com.SJMediaCacheServer.cache" / "mcs.db").size(),
        1u);
    // A new container (as each app test has) gets a cache of its own.
    AppContainer::setHome(home->path() / "second");
    EXPECT_TRUE(shared.allExporters().empty());
    EXPECT_TRUE(FileSystem::exists(home->path() / "second/Documents/com.SJMediaCacheServer.cache/mcs.db"));
    AppContainer::setHome(home->path());
    ASSERT_EQ(shared.allExporters().size(), 1u);
    shared.removeExportAssetWithURL(http("/vod/v2/index.m3u8"));
    EXPECT_TRUE(shared.allExporters().empty());

    shared.setActive(false);
    EXPECT_EQ(shared.playbackURLWithURL(http("/file.mp4")), http("/file.mp4"));
    EXPECT_EQ(shared.prefetch(http("/file.mp4"), 1000), nullptr);
    shared.setActive(true);
    EXPECT_TRUE(shared.playbackURLWithURL(http("/file.mp4")).starts_with("http://127.0.0.1:"));
    shared.setBackend(nullptr);
}

// One hiccup of the origin (a cut connection, a dropped one, a busy answer) costs a retry, not the
// export; what came whole is never asked for again.
TEST_F(MediaCacheTest, PassingFailuresAreTriedAgainAndNothingFinishedTwice)
{
    std::vector<std::string> segments;
    for (int i = 0; i < segmentCount; ++i)
        segments.push_back("seg" + std::to_string(i) + ".ts");
    // How many times each address fails before it answers, and how.
    struct Hiccup {
        int times;
        std::function<Reply()> failure;
    };
    auto busy = [] { return Reply::text(503, "busy"); };
    auto cut = [this] {
        Reply reply = Reply::text(200, segmentBytes(0, segmentSize));
        reply.action = testserver::ReplyAction::TruncateBody;
        return reply;
    };
    auto dropped = [] {
        Reply reply;
        reply.action = testserver::ReplyAction::CloseWithoutReply;
        return reply;
    };
    auto hiccups = std::make_shared<std::map<std::string, Hiccup>>(std::map<std::string, Hiccup> {
        { "/flaky/index.m3u8", { 1, busy } },
        { "/flaky/key.bin", { 1, [] { return Reply::text(500, ""); } } },
        { "/flaky/seg1.ts", { 1, busy } },
        { "/flaky/seg2.ts", { 2, cut } },
        { "/flaky/seg4.ts", { 1, dropped } },
        { "/flaky/seg5.ts", { 3, [] { return Reply::text(429, "slow down"); } } },
    });
    auto mutex = std::make_shared<std::mutex>();
    std::size_t size = segmentSize;
    server->routePrefix("/flaky/", [=](const Request& request) {
        {
            std::lock_guard lock(*mutex);
            auto hiccup = hiccups->find(request.path);
            if (hiccup != hiccups->end() && hiccup->second.times > 0) {
                --hiccup->second.times;
                return hiccup->second.failure();
            }
        }
        if (request.path == "/flaky/index.m3u8")
            return Reply::text(200, mediaPlaylist(segments, "key.bin"));
        if (request.path == "/flaky/key.bin")
            return Reply::text(200, streamKey());
        int index = request.path[request.path.size() - 4] - '0';
        return Reply::text(200, segmentBytes(index, size));
    });

    const std::string url = http("/flaky/index.m3u8");
    auto exporter = cache->exportAsset(url, true);
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    const std::map<std::string, std::size_t> expected {
        { "/flaky/index.m3u8", 2 },
        { "/flaky/key.bin", 2 },
        { "/flaky/seg0.ts", 1 },
        { "/flaky/seg1.ts", 2 },
        { "/flaky/seg2.ts", 3 },
        { "/flaky/seg3.ts", 1 },
        { "/flaky/seg4.ts", 2 },
        { "/flaky/seg5.ts", 4 },
    };
    for (const auto& [path, count] : expected)
        EXPECT_EQ(requestCount(path), count) << path;
    std::filesystem::path folder = exportFolder(root, url);
    for (int i = 0; i < segmentCount; ++i)
        EXPECT_EQ(readText(folder / ("seg-0000" + std::to_string(i) + ".ts")), segmentBytes(i, segmentSize))
            << i;
    EXPECT_EQ(readText(folder / "key-00000.key"), streamKey());
    EXPECT_FLOAT_EQ(exporter->progress(), 1.0f);
}

// A failure that outlasts the attempts fails the export with the share that is on disk, in the
// exporter and in the catalogue, even when progress reports in between were left out; a failure
// that no attempt can mend is not tried again.
TEST_F(MediaCacheTest, AFailedExportKeepsTheProgressThatIsOnDisk)
{
    MCSMediaCacheOptions patient = options();
    patient.exports.progressInterval = 60; // only the first and the last report go out
    patient.exports.fetchAttempts = 3;
    cache.reset();
    cache = MCSMediaCache::open(patient);

    std::vector<std::string> segments = { "seg0.ts", "seg1.ts", "seg2.ts", "stuck.ts", "seg4.ts", "seg5.ts" };
    server->route(
        "/stuck/index.m3u8", [&](const Request&) { return Reply::text(200, mediaPlaylist(segments)); });
    server->routePrefix("/stuck/seg", [&](const Request& request) {
        return Reply::text(200, segmentBytes(request.path[request.path.size() - 4] - '0', segmentSize));
    });
    struct Case {
        const char* what;
        std::function<Reply(const Request&)> stuck;
        std::size_t attempts;
    };
    const Case cases[] = {
        { "busy", [](const Request&) { return Reply::text(503, "busy"); }, 3 },
        { "always cut",
            [this](const Request&) {
                Reply reply = Reply::text(200, segmentBytes(3, segmentSize));
                reply.action = testserver::ReplyAction::TruncateBody;
                return reply;
            },
            3 },
        { "gone", [](const Request&) { return Reply::text(404, "gone"); }, 1 },
        { "forbidden", [](const Request&) { return Reply::text(403, "no"); }, 1 },
    };
    const std::string url = http("/stuck/index.m3u8");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server->route("/stuck/stuck.ts", c.stuck);
        cache->removeExportAsset(url);
        server->clearRequests();
        auto exporter = cache->exportAsset(url, true);
        ASSERT_TRUE(waitForStatus(exporter, ExportStatus::failed));
        drain();
        EXPECT_EQ(requestCount("/stuck/stuck.ts"), c.attempts);
        EXPECT_FLOAT_EQ(exporter->progress(), 0.5f);
        EXPECT_FLOAT_EQ(cache->exportProgress(url), 0.5f);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2((root / "mcs.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* select = nullptr;
        ASSERT_EQ(
            sqlite3_prepare_v2(db, "SELECT status, progress FROM MCSAssetExporter", -1, &select, nullptr),
            SQLITE_OK);
        ASSERT_EQ(sqlite3_step(select), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(select, 0), 4);
        EXPECT_DOUBLE_EQ(sqlite3_column_double(select, 1), 0.5);
        sqlite3_finalize(select);
        sqlite3_close(db);
    }

    // The next run reads the same share, and the resume fetches only what is missing.
    cache.reset();
    drain();
    cache = MCSMediaCache::open(patient);
    auto again = cache->exportAsset(url, false);
    EXPECT_EQ(again->status(), ExportStatus::failed);
    EXPECT_FLOAT_EQ(again->progress(), 0.5f);
    server->route(
        "/stuck/stuck.ts", [this](const Request&) { return Reply::text(200, segmentBytes(3, segmentSize)); });
    server->clearRequests();
    again->resume();
    ASSERT_TRUE(waitForStatus(again, ExportStatus::finished));
    for (const char* fetched : { "/stuck/seg0.ts", "/stuck/seg1.ts", "/stuck/seg2.ts", "/stuck/index.m3u8" })
        EXPECT_EQ(requestCount(fetched), 0u) << fetched;
    EXPECT_EQ(requestCount("/stuck/stuck.ts"), 1u);
}

// Once on https, neither the playlist, nor a key, nor a segment, nor the playback proxy follows a
// redirect to plain http; the other way round is followed.
TEST_F(MediaCacheTest, RedirectsNeverLeaveHTTPSForHTTP)
{
    auto redirect = [](std::string location) {
        Reply reply;
        reply.status = 302;
        reply.headers = { { "Location", std::move(location) } };
        return reply;
    };
    server->script("/down/playlist.m3u8", redirect(http("/vod/v2/index.m3u8")));
    server->script("/down/keyhop.m3u8", Reply::text(200, mediaPlaylist({ "/vod/v2/seg0.ts" }, "/down/key")));
    server->script("/down/key", redirect(http("/vod/key.bin")));
    server->script("/down/seg.m3u8", Reply::text(200, mediaPlaylist({ "/down/seg.ts" })));
    server->script("/down/seg.ts", redirect(http("/vod/v2/seg0.ts")));
    server->script("/down/file.mp4", redirect(http("/file.mp4")));
    // Each refusal is told in words on the log, not in the transfer library's.
    std::vector<std::string> lines;
    auto saysRefused = [&lines](const std::string& address) {
        for (const std::string& line : lines) {
            if (line.find(address) != std::string::npos
                && line.find("a redirect from https to http is refused") != std::string::npos)
                return true;
        }
        return false;
    };
    for (const char* path : { "/down/playlist.m3u8", "/down/keyhop.m3u8", "/down/seg.m3u8" }) {
        SCOPED_TRACE(path);
        server->clearRequests();
        lines.clear();
        Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
        auto exporter = cache->exportAsset(https(path), true);
        bool failed = waitForStatus(exporter, ExportStatus::failed);
        Log::setSink(nullptr);
        ASSERT_TRUE(failed);
        for (const char* insecure : { "/vod/v2/index.m3u8", "/vod/key.bin", "/vod/v2/seg0.ts" })
            EXPECT_EQ(requestCount(insecure), 0u) << insecure;
        EXPECT_TRUE(saysRefused(https(path))) << testing::PrintToString(lines);
    }
    server->clearRequests();
    lines.clear();
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(get(cache->playbackURL(https("/down/playlist.m3u8"))).head.status, 502);
    EXPECT_EQ(get(cache->playbackURL(https("/down/file.mp4"))).head.status, 502);
    Log::setSink(nullptr);
    EXPECT_EQ(requestCount("/file.mp4"), 0u);
    EXPECT_EQ(requestCount("/vod/v2/index.m3u8"), 0u);
    for (const char* path : { "/down/playlist.m3u8", "/down/file.mp4" })
        EXPECT_TRUE(saysRefused(https(path))) << path << ": " << testing::PrintToString(lines);

    server->script("/up/playlist.m3u8", redirect(https("/vod/v2/index.m3u8")));
    auto upward = cache->exportAsset(http("/up/playlist.m3u8"), true);
    EXPECT_TRUE(waitForStatus(upward, ExportStatus::finished));
}

// The catalogue says what the viewer downloaded: the owner's only, like the other stored files,
// also when an older version left it open to others.
TEST_F(MediaCacheTest, TheCatalogueIsTheOwnersOnly)
{
    auto exporter = cache->exportAsset(http("/vod/v2/index.m3u8"), true);
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    auto mode = [](const std::filesystem::path& file) {
        struct stat info { };
        return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 0777 : 0u;
    };
    for (const char* name : { "mcs.db", "mcs.db-wal", "mcs.db-shm" })
        EXPECT_EQ(mode(root / name), 0600u) << name;

    cache.reset();
    for (const char* name : { "mcs.db", "mcs.db-wal", "mcs.db-shm" })
        ::chmod((root / name).c_str(), 0644);
    reopen();
    for (const char* name : { "mcs.db", "mcs.db-wal", "mcs.db-shm" }) {
        if (FileSystem::exists(root / name)) {
            EXPECT_EQ(mode(root / name), 0600u) << name;
        }
    }
}

TEST_F(MediaCacheTest, AMediaFileIsExportedWholeAndPlaysFromItsFolder)
{
    const std::string url = http("/file.mp4");
    const std::string file = segmentBytes(99, fileSize);
    auto exporter = cache->exportAsset(url, true);
    ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
    EXPECT_FLOAT_EQ(exporter->progress(), 1.0f);
    std::filesystem::path folder = exportFolder(root, url);
    EXPECT_EQ(readText(folder / "media.mp4"), file);
    EXPECT_FALSE(FileSystem::exists(folder / "media.mp4.partial"));

    // It plays from the folder, ranges included, without the origin.
    std::string playback = cache->playbackURL(url);
    EXPECT_TRUE(playback.ends_with("/media.mp4")) << playback;
    server->clearRequests();
    MCSFetchedBody whole = get(playback);
    EXPECT_EQ(whole.head.status, 200);
    EXPECT_EQ(stringFromData(whole.body), file);
    MCSFetchedBody part = get(playback, std::pair<std::uint64_t, std::uint64_t> { 1000, 1999 });
    EXPECT_EQ(part.head.status, 206);
    EXPECT_EQ(stringFromData(part.body), file.substr(1000, 1000));
    EXPECT_TRUE(server->requests().empty());

    reopen();
    auto all = cache->allExporters();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->status(), ExportStatus::finished);
    EXPECT_TRUE(cache->playbackURL(url).ends_with("/media.mp4"));
}

TEST_F(MediaCacheTest, AMediaFileCutHalfWayGoesOnFromItsBytes)
{
    const std::string file = segmentBytes(7, fileSize);
    enum class Later { HonoursRanges, SendsTheWhole, SendsAnotherPart };
    struct Origin {
        const char* path;
        Later later;
        std::size_t requests; // in all, to the finished file
    };
    const Origin origins[] = {
        { "/cut/ranges.mp4", Later::HonoursRanges, 2 },
        { "/cut/whole.mp4", Later::SendsTheWhole, 2 },
        // A part from another byte than the one asked for: the bytes on disk are dropped.
        { "/cut/elsewhere.mp4", Later::SendsAnotherPart, 3 },
    };
    for (const Origin& origin : origins) {
        SCOPED_TRACE(origin.path);
        // The first answer breaks off half-way.
        auto answers = std::make_shared<std::atomic<int>>(0);
        server->route(origin.path, [answers, file, origin](const Request& request) {
            if ((*answers)++ == 0) {
                Reply reply = Reply::text(200, file, "video/mp4");
                reply.action = testserver::ReplyAction::TruncateBody;
                return reply;
            }
            if (origin.later == Later::HonoursRanges
                || (origin.later == Later::SendsAnotherPart && !request.header("Range")))
                return rangeReply(request, file, "video/mp4");
            if (origin.later == Later::SendsTheWhole)
                return Reply::text(200, file, "video/mp4");
            Reply reply = Reply::text(206, file.substr(0, 1000), "video/mp4");
            reply.headers.emplace_back("Content-Range", "bytes 0-999/" + std::to_string(file.size()));
            return reply;
        });
        auto exporter = cache->exportAsset(http(origin.path), true);
        ASSERT_TRUE(waitForStatus(exporter, ExportStatus::finished));
        EXPECT_EQ(readText(exportFolder(root, http(origin.path)) / "media.mp4"), file);

        auto asked = server->requestsTo(origin.path);
        ASSERT_EQ(asked.size(), origin.requests);
        EXPECT_FALSE(asked[0].header("Range"));
        std::optional<std::string> range = asked[1].header("Range");
        ASSERT_TRUE(range);
        EXPECT_TRUE(range->starts_with("bytes=") && !range->starts_with("bytes=0-")) << *range;
    }
}
