#include "platform/media/cache/MCSPrefetcher.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/media/cache/MCSProxyContent.h"
#include "platform/media/cache/MCSReadThrough.h"
#include "platform/media/cache/MCSURL.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr double reportInterval = 0.1;

double prefetchClockSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

NSError prefetchError(std::string message)
{
    return NSError { "MCSPrefetchErrorDomain", 1, { { "NSLocalizedDescription", std::move(message) } } };
}

}

// Counts what a resource answer brings in; nothing goes anywhere.
class MCSPrefetchCounter : public MCSResourceOutput {
public:
    MCSPrefetchCounter(MCSPrefetchWork& work, std::uint64_t counted)
        : bytes(counted)
        , m_work(work)
    { }

    bool begin(const MCSResourceAnswer& answer) override
    {
        status = answer.status;
        return (status == 200 || status == 206) && !m_work.isCancelled();
    }
    bool write(const std::uint8_t*, std::size_t size) override
    {
        bytes += size;
        m_work.report(bytes, false);
        return !m_work.isCancelled();
    }

    std::uint64_t bytes;
    int status = 0;

private:
    MCSPrefetchWork& m_work;
};

MCSPrefetchWork::MCSPrefetchWork(std::shared_ptr<MCSProxyContent> content, std::string asset, std::string url,
    std::uint64_t preloadSize, MCSPrefetchTask::Progress progress, MCSPrefetchTask::Completion completed)
    : m_content(std::move(content))
    , m_asset(std::move(asset))
    , m_url(std::move(url))
    , m_preloadSize(std::max<std::uint64_t>(preloadSize, 1))
    , m_progress(std::move(progress))
    , m_completed(std::move(completed))
    , m_cancelled(std::make_shared<std::atomic<bool>>(false))
    , m_downloader(m_content->fetchSettings())
{ }

MCSPrefetchWork::~MCSPrefetchWork()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void MCSPrefetchWork::start()
{
    m_thread = std::thread([this] { run(); });
}

void MCSPrefetchWork::cancel()
{
    *m_cancelled = true;
    m_downloader.cancel();
}

void MCSPrefetchWork::report(std::uint64_t bytes, bool force)
{
    if (!m_progress)
        return;
    double now = prefetchClockSeconds();
    if (!force && m_lastReport >= 0 && now - m_lastReport < reportInterval)
        return;
    m_lastReport = now;
    float fraction
        = static_cast<float>(std::min(1.0, static_cast<double>(bytes) / static_cast<double>(m_preloadSize)));
    DispatchQueue::main().async([cancelled = m_cancelled, progress = m_progress, fraction] {
        if (!*cancelled)
            progress(fraction);
    });
}

void MCSPrefetchWork::run()
{
    std::optional<std::string> error = perform();
    if (!isCancelled()) {
        if (!error)
            report(m_preloadSize, true);
        if (m_completed) {
            std::optional<NSError> result;
            if (error)
                result = prefetchError(*error);
            DispatchQueue::main().async([cancelled = m_cancelled, completed = m_completed, result] {
                if (!*cancelled)
                    completed(result);
            });
        }
    }
    m_done = true;
}

std::optional<std::string> MCSPrefetchWork::perform()
{
    const MCSPlaybackStore& store = *m_content->store();
    std::string extension = MCSURL::extension(m_url);
    if (extension != "m3u8" && extension != "m3u") {
        MCSReadRequest request;
        request.asset = m_asset;
        request.key = "main";
        request.url = m_url;
        request.range = MCSByteRange { 0, m_preloadSize - 1, 0 };
        MCSPrefetchCounter counter(*this, 0);
        bool whole = readThrough(store, m_downloader, request, counter);
        if (!whole || (counter.status != 200 && counter.status != 206))
            return m_url + " could not be prefetched (status " + std::to_string(counter.status) + ")";
        return std::nullopt;
    }

    MCSLoadedPlaylist loaded
        = loadPlaylist(store, m_downloader, m_asset, "main", m_url, {}, m_content->limits());
    if (!loaded.playlist)
        return loaded.error;
    if (loaded.playlist->isMaster) {
        auto variant = MCSURL::resolve(loaded.stored->baseURL, loaded.playlist->variants.front());
        if (!variant)
            return "the first variant of " + m_url + " is not an http address";
        loaded = loadPlaylist(store, m_downloader, m_asset, MCSPlaybackStore::resourceKey(*variant), *variant,
            {}, m_content->limits());
        if (!loaded.playlist)
            return loaded.error;
        if (loaded.playlist->isMaster)
            return "the variant of " + m_url + " is a master playlist again";
    }
    std::uint64_t bytes = 0;
    for (const MCSPlaylistURI& uri : loaded.playlist->uris) {
        if (bytes >= m_preloadSize || isCancelled())
            break;
        if (uri.kind == MCSPlaylistURIKind::Playlist)
            continue;
        auto resolved = MCSURL::resolve(loaded.stored->baseURL, uri.uri);
        if (!resolved)
            continue;
        MCSReadRequest request;
        request.asset = m_asset;
        request.key = MCSPlaybackStore::resourceKey(*resolved);
        request.url = *resolved;
        MCSPrefetchCounter counter(*this, bytes);
        bool whole = readThrough(store, m_downloader, request, counter);
        if (isCancelled())
            break;
        if (!whole || (counter.status != 200 && counter.status != 206))
            return *resolved + " could not be prefetched (status " + std::to_string(counter.status) + ")";
        bytes = counter.bytes;
    }
    return std::nullopt;
}
