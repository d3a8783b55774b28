// What the media cache leaves on disk: its folders and files are the owner's only, and a disk
// that fills during an export fails the export in the catalogue, with one line that says why.

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "tests/platform/media/MediaCacheFixture.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace zvtest;
using ExportStatus = MCSAssetExportStatus;

namespace {

// Every folder and file below the root, with its permission bits.
std::vector<std::pair<std::filesystem::path, unsigned>> modesBelow(const std::filesystem::path& root)
{
    std::vector<std::pair<std::filesystem::path, unsigned>> modes;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        struct stat info { };
        if (::lstat(it->path().c_str(), &info) == 0)
            modes.emplace_back(it->path(), info.st_mode & 07777);
    }
    return modes;
}

unsigned modeOf(const std::filesystem::path& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
}

// The status column of the catalogue's one row, as a reader of the file sees it; -1 for none.
int catalogueStatus(const std::filesystem::path& file)
{
    int status = -1;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* select = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT status FROM MCSAssetExporter", -1, &select, nullptr) == SQLITE_OK
            && sqlite3_step(select) == SQLITE_ROW)
            status = sqlite3_column_int(select, 0);
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return status;
}

// A small file system of its own at the folder for the test's length.
class SmallDisk {
public:
    SmallDisk(std::filesystem::path folder, const char* size)
        : m_folder(std::move(folder))
    {
        std::filesystem::create_directories(m_folder);
        std::string options = std::string("size=") + size + ",mode=0700";
        if (::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, options.c_str())
            == 0)
            m_mounted = true;
        else
            failure = std::strerror(errno);
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    std::string failure;

private:
    std::filesystem::path m_folder;
    bool m_mounted = false;
};

}

// The cache's folders (its root, the export folders, the playback cache's) and every file in
// them are the owner's only, whatever the process's umask; what an older version left open is
// closed when the cache opens.
TEST_F(MediaCacheTest, EverythingInTheCacheIsTheOwnersOnly)
{
    mode_t umaskBefore = ::umask(022);
    cache.reset();
    FileSystem::remove(root);
    cache = MCSMediaCache::open(options());

    auto playlist = cache->exportAsset(http("/vod/master.m3u8"), true);
    auto file = cache->exportAsset(http("/file.mp4"), true);
    ASSERT_TRUE(waitForStatus(playlist, ExportStatus::finished));
    ASSERT_TRUE(waitForStatus(file, ExportStatus::finished));
    bool prefetched = false;
    cache->prefetch(http("/vod/v2/index.m3u8"), 2 * segmentSize, nullptr,
        [&](const std::optional<NSError>&) { prefetched = true; });
    ASSERT_TRUE(runUntil([&] { return prefetched; }));
    server->route("/other.mp4", [this](const testserver::Request& request) {
        return rangeReply(request, segmentBytes(7, fileSize), "video/mp4");
    });
    ASSERT_EQ(get(cache->playbackURL(http("/other.mp4"))).body.size(), fileSize);
    cache->playbackStore().flush();
    ::umask(umaskBefore);

    auto modes = modesBelow(root);
    std::size_t folders = 0;
    std::size_t files = 0;
    for (const auto& [path, mode] : modes) {
        bool folder = std::filesystem::is_directory(path);
        (folder ? folders : files) += 1;
        EXPECT_EQ(mode, folder ? 0700u : 0600u) << path;
    }
    EXPECT_EQ(modeOf(root), 0700u);
    EXPECT_GE(folders, 4u) << "two exports and the playback cache with its assets";
    EXPECT_GE(files, 10u);

    // An older version left them open to others.
    cache.reset();
    std::filesystem::path exportFolder;
    for (const auto& [path, mode] : modes) {
        if (path.parent_path() == root && path.filename().string().starts_with("export-"))
            exportFolder = path;
    }
    ASSERT_FALSE(exportFolder.empty());
    for (const auto& path : { root, exportFolder, root / "playback" })
        ::chmod(path.c_str(), 0755);
    reopen();
    for (const auto& path : { root, exportFolder, root / "playback" })
        EXPECT_EQ(modeOf(path), 0700u) << path;
}

// The disk fills while an export writes: the export fails, its catalogue row says so (and the
// next start finds it failed), and one line on the log tells which write failed and why.
TEST_F(MediaCacheTest, ADiskThatFillsDuringAnExportFailsItInTheCatalogueAndTheLogOnce)
{
    std::filesystem::path small = home->path() / "small";
    // Six segments of 40 KiB do not fit beside the catalogue.
    SmallDisk disk(small, "200k");
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system cannot be mounted here: " << disk.failure;
    cache.reset();
    MCSMediaCacheOptions onSmallDisk = options();
    onSmallDisk.root = small / "cache";
    cache = MCSMediaCache::open(onSmallDisk);
    ASSERT_TRUE(cache->hasCatalog());

    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    auto exporter = cache->exportAsset(http("/vod/v2/index.m3u8"), true);
    bool ended = runUntil([&] { return exporter->status() != ExportStatus::exporting; }, 20);
    drain();
    Log::setSink(nullptr);

    ASSERT_TRUE(ended);
    EXPECT_EQ(exporter->status(), ExportStatus::failed);
    EXPECT_EQ(catalogueStatus(onSmallDisk.root / "mcs.db"), 4);
    ASSERT_EQ(lines.size(), 1u) << testing::PrintToString(lines);
    EXPECT_NE(lines[0].find("cannot write"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(std::strerror(ENOSPC)), std::string::npos) << lines[0];

    cache.reset();
    drain();
    cache = MCSMediaCache::open(onSmallDisk);
    auto again = cache->exportAsset(http("/vod/v2/index.m3u8"), false);
    EXPECT_EQ(again->status(), ExportStatus::failed);
    cache.reset();
}

// A row the catalogue refuses (here another connection holds its lock) is logged once however
// many follow, and written with the next change that goes through, so a reader (the downloaded
// list, the next start) is not left with a state the export has left.
TEST_F(MediaCacheTest, RowsTheCatalogueRefusesAreLoggedOnceAndWrittenLater)
{
    auto first = cache->exportAsset(http("/slow/index.m3u8"), true);
    auto second = cache->exportAsset(http("/slow/index.m3u8?second"), true);
    ASSERT_EQ(second->status(), ExportStatus::exporting);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((root / "mcs.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    first->suspend();
    second->suspend();
    Log::setSink(nullptr);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_EQ(lines.size(), 1u) << testing::PrintToString(lines);
    EXPECT_NE(lines[0].find("catalogue"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("locked"), std::string::npos) << lines[0];

    // The next change that goes in takes the one left behind with it.
    first->resume();
    std::map<std::string, int> rows;
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open_v2((root / "mcs.db").c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* select = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(reader, "SELECT URLString, status FROM MCSAssetExporter", -1, &select, nullptr),
        SQLITE_OK);
    while (sqlite3_step(select) == SQLITE_ROW)
        rows[reinterpret_cast<const char*>(sqlite3_column_text(select, 0))] = sqlite3_column_int(select, 1);
    sqlite3_finalize(select);
    sqlite3_close(reader);
    EXPECT_EQ(rows[first->URL()], 2);
    EXPECT_EQ(rows[second->URL()], 5);
    first->suspend();
}
