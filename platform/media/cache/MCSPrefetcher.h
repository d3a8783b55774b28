#pragma once

#include "platform/media/MCSPrefetchTask.h"
#include "platform/media/cache/MCSDownloader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

class MCSProxyContent;

// One prefetch on a thread of its own: the first `preloadSize` bytes of a media file, or of the
// segments of a playlist (a master one through its first variant), into the playback cache under
// the same names the proxy uses, so playing afterwards finds them there.
class MCSPrefetchWork {
public:
    MCSPrefetchWork(std::shared_ptr<MCSProxyContent> content, std::string asset, std::string url,
        std::uint64_t preloadSize, MCSPrefetchTask::Progress progress, MCSPrefetchTask::Completion completed);
    ~MCSPrefetchWork(); // cancels and waits
    MCSPrefetchWork(const MCSPrefetchWork&) = delete;
    MCSPrefetchWork& operator=(const MCSPrefetchWork&) = delete;

    void start();
    // Thread-safe; no callback runs afterwards.
    void cancel();
    bool isCancelled() const { return m_cancelled->load(); }
    bool isDone() const { return m_done.load(); }

private:
    void run();
    std::optional<std::string> perform();
    void report(std::uint64_t bytes, bool force);

    std::shared_ptr<MCSProxyContent> m_content;
    std::string m_asset;
    std::string m_url;
    std::uint64_t m_preloadSize;
    MCSPrefetchTask::Progress m_progress;
    MCSPrefetchTask::Completion m_completed;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    MCSDownloader m_downloader;
    std::atomic<bool> m_done { false };
    double m_lastReport = -1;
    std::thread m_thread;

    friend class MCSPrefetchCounter;
};

// The handle callers keep.
class MCSPrefetchHandle final : public MCSPrefetchTask {
public:
    explicit MCSPrefetchHandle(std::shared_ptr<MCSPrefetchWork> work)
        : m_work(std::move(work))
    { }
    void cancel() override { m_work->cancel(); }
    bool isCancelled() const override { return m_work->isCancelled(); }

private:
    std::shared_ptr<MCSPrefetchWork> m_work;
};
