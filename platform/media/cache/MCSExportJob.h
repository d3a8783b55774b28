#pragma once

#include "platform/media/cache/MCSDownloader.h"
#include "platform/media/cache/MCSPlaylist.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

struct MCSExportSettings {
    MCSFetchSettings fetch;
    MCSPlaylistLimits playlist;
    std::uint64_t maxSegmentBytes = 512ull * 1024 * 1024;
    std::uint64_t maxMapBytes = 16ull * 1024 * 1024;
    std::uint64_t maxFileBytes = 16ull * 1024 * 1024 * 1024; // a media file exported whole
    double progressInterval = 0.1; // real seconds between two progress reports
    // A fetch that fails for a reason that may pass (a cut or refused connection, a time-out, a
    // 408, 429 or 5xx answer) is tried again, up to this many attempts in all, after a pause
    // that starts at retryDelay seconds and doubles each time (at most maxRetryDelay).
    int fetchAttempts = 4;
    double retryDelay = 0.5;
    double maxRetryDelay = 30;
};

// The files of an export folder. The local playlist is written last, so its presence means done;
// the export of a media file has its whole file instead, renamed from the part fetched so far.
namespace MCSExportFiles {
inline constexpr const char* localPlaylist = "index.m3u8";
inline constexpr const char* sourcePlaylist = "source.m3u8"; // the media playlist as fetched
inline constexpr const char* sourceURL = "source.url"; // the address it came from
inline constexpr const char* localFile = "media.mp4";
inline constexpr const char* partialFile = "media.mp4.partial";

// Whether the address names a media file (".mp4", ".m4v", ".mov") rather than a playlist.
bool isMediaFile(std::string_view url);
// The file a finished export plays from (the local playlist or the whole media file); none when
// the folder has neither.
const char* playable(const std::filesystem::path& folder);
}

// Downloads one export into its folder on a thread of its own: the playlist (a master one
// resolved to its first variant), then every key, initialisation section and segment not yet
// there, each written to a temporary file and renamed when whole, then the local playlist. A
// fetch that fails for a passing reason is tried again after a growing pause. What is in the
// folder is kept when the job is cancelled or fails, and a later job goes on from there; the last
// progress report before the end always tells the share that is in the folder. The address of a
// media file is fetched whole into one file instead, going on from the bytes an earlier run left
// (a range request; an origin that answers with the whole file starts it over).
class MCSExportJob {
public:
    enum class Outcome {
        Finished,
        Failed,
        Cancelled,
    };
    // Both run on the job's thread.
    using Progress = std::function<void(double fraction)>;
    using Ended = std::function<void(Outcome, const std::string& message)>;

    MCSExportJob(std::string url, std::filesystem::path folder, MCSExportSettings settings, Progress progress,
        Ended ended);
    ~MCSExportJob(); // cancels and waits
    MCSExportJob(const MCSExportJob&) = delete;
    MCSExportJob& operator=(const MCSExportJob&) = delete;

    void start();
    // Thread-safe; the job ends soon after with Cancelled (unless it had already ended).
    void cancel();
    // Waits for the job's thread.
    void join();

private:
    struct Source;
    struct Resource;

    void run();
    Outcome perform(std::string& message);
    Outcome loadSource(Source& source, std::string& message);
    Outcome fetchPlaylist(const std::string& url, MCSPlaylist& playlist, std::string& text,
        std::string& finalURL, std::string& message);
    Outcome download(const Resource& resource, std::string& message);
    Outcome downloadOnce(const Resource& resource, std::string& message, bool& passing);
    Outcome fetchPlaylistOnce(const std::string& url, MCSPlaylist& playlist, std::string& text,
        std::string& finalURL, std::string& message, bool& passing);
    // Runs attempts while they fail for a passing reason, pausing between them.
    Outcome withRetries(const std::function<Outcome(std::string&, bool&)>& attempt, std::string& message);
    void reportProgress(std::size_t done, std::size_t total, bool force);
    Outcome performFile(std::string& message);
    Outcome downloadFileOnce(std::string& message, bool& passing);

    std::string m_url;
    std::filesystem::path m_folder;
    MCSExportSettings m_settings;
    Progress m_progress;
    Ended m_ended;
    MCSDownloader m_downloader;
    std::thread m_thread;
    double m_lastReport = -1;
};
