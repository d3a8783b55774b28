#include "platform/media/cache/MCSMediaCache.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SecureRandom.h"
#include "platform/media/cache/MCSCatalog.h"
#include "platform/media/cache/MCSExporter.h"
#include "platform/media/cache/MCSPrefetcher.h"
#include "platform/media/cache/MCSProxyContent.h"
#include "platform/media/cache/MCSProxyServer.h"
#include "platform/media/cache/MCSURL.h"

#include <algorithm>
#include <chrono>

namespace fs = std::filesystem;

namespace {

constexpr const char* catalogName = "mcs.db";
constexpr const char* playbackFolder = "playback";
constexpr const char* exportPrefix = "export-";
constexpr double catalogProgressInterval = 1.0;

double realSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool isExportName(const std::string& name)
{
    return name.starts_with(exportPrefix) && MCSURL::isSafeComponent(name);
}

}

std::shared_ptr<MCSMediaCache> MCSMediaCache::open(MCSMediaCacheOptions options)
{
    std::shared_ptr<MCSMediaCache> cache(new MCSMediaCache(std::move(options)));
    cache->load();
    return cache;
}

MCSMediaCache::MCSMediaCache(MCSMediaCacheOptions options)
    : m_options(std::move(options))
{
    m_options.maxConcurrentExports = std::max(1, m_options.maxConcurrentExports);
}

MCSMediaCache::~MCSMediaCache()
{
    for (auto& exporter : m_exporters) {
        if (exporter->job)
            exporter->job->cancel();
    }
    for (auto& prefetch : m_prefetches)
        prefetch->cancel();
    for (auto& exporter : m_exporters)
        exporter->job.reset();
    m_prefetches.clear();
    // The next process reads the rows: the last word of each export goes in if it can.
    storeBehind();
    // Sessions of the proxy may keep the store a while; what it holds goes to disk now, for
    // whoever opens the folder next.
    if (m_store)
        m_store->flush();
}

void MCSMediaCache::load()
{
    // What the viewer downloaded and watched is nobody else's business: the cache's folders are
    // the owner's only and its files too. What an older version left open is narrowed at the top,
    // which closes everything below.
    FileSystem::createOwnerOnlyDirectories(m_options.root);
    FileSystem::restrictToOwner(m_options.root);
    for (const std::string& name : FileSystem::list(m_options.root))
        FileSystem::restrictToOwner(m_options.root / name);
    m_store = std::make_shared<MCSPlaybackStore>(
        m_options.root / playbackFolder, m_options.chunkSize, m_options.maxPlaybackCacheBytes);
    m_content = std::make_shared<MCSProxyContent>(
        m_options.root, m_store, m_options.exports.fetch, m_options.exports.playlist);
    if (MCSProxyServer::shared().start())
        MCSProxyServer::shared().setResponder(m_content);

    m_catalog = MCSCatalog::open(m_options.root / catalogName);
    if (!m_catalog)
        return;
    for (MCSCatalogEntry& entry : m_catalog->entries()) {
        if (!MCSURL::normalizedHTTP(entry.URLString) || !isExportName(entry.name) || find(entry.URLString)) {
            Log::write("MCSMediaCache: a catalogue row is not used: " + entry.name);
            continue;
        }
        auto status = static_cast<MCSAssetExportStatus>(entry.status);
        if (status == MCSAssetExportStatus::waiting || status == MCSAssetExportStatus::exporting
            || status == MCSAssetExportStatus::unknown)
            status = MCSAssetExportStatus::suspended; // the process that ran it ended
        if (status == MCSAssetExportStatus::finished
            && !MCSExportFiles::playable(m_options.root / entry.name)) {
            Log::write(
                "MCSMediaCache: the finished export " + entry.name + " lost its files; it can be resumed");
            status = MCSAssetExportStatus::failed;
        }
        float progress = static_cast<float>(std::clamp(entry.progress, 0.0, 1.0));
        auto exporter
            = std::make_shared<MCSExporter>(entry.URLString, entry.name, status, progress, weak_from_this());
        if (static_cast<unsigned>(status) != entry.status)
            m_catalog->update(entry.URLString, static_cast<unsigned>(status), progress);
        if (status == MCSAssetExportStatus::finished)
            m_content->setServedExport(entry.name, true);
        m_exporters.push_back(std::move(exporter));
    }
}

std::shared_ptr<MCSExporter> MCSMediaCache::find(const std::string& url) const
{
    for (const auto& exporter : m_exporters) {
        if (exporter->URL() == url)
            return exporter;
    }
    return nullptr;
}

std::string MCSMediaCache::newExportName() const
{
    static constexpr char digits[] = "0123456789abcdef";
    while (true) {
        std::string name = exportPrefix;
        for (std::uint8_t byte : SecureRandom::bytes(8)) {
            name += digits[byte >> 4];
            name += digits[byte & 0x0F];
        }
        if (!FileSystem::exists(m_options.root / name))
            return name;
    }
}

void MCSMediaCache::log(const std::string& line) const
{
    if (m_consoleLog)
        Log::write("MCSMediaCache: " + line);
}

std::shared_ptr<MCSAssetExporter> MCSMediaCache::exportAsset(const std::string& url, bool resumes)
{
    std::shared_ptr<MCSExporter> exporter = find(url);
    if (!exporter) {
        if (!m_catalog || !MCSURL::normalizedHTTP(url))
            return nullptr;
        MCSCatalogEntry entry { url, newExportName(), static_cast<unsigned>(MCSAssetExportStatus::suspended),
            0 };
        if (!m_catalog->insert(entry)) {
            Log::write("MCSMediaCache: the export of " + url + " could not be recorded");
            return nullptr;
        }
        exporter = std::make_shared<MCSExporter>(
            url, entry.name, MCSAssetExportStatus::suspended, 0.0f, weak_from_this());
        m_exporters.push_back(exporter);
        log("new export " + entry.name + " of " + url);
    }
    if (resumes)
        resumeExport(*exporter);
    return exporter;
}

float MCSMediaCache::exportProgress(const std::string& url)
{
    auto exporter = find(url);
    return exporter ? exporter->progress() : 0;
}

void MCSMediaCache::removeExportAsset(const std::string& url)
{
    auto exporter = find(url);
    if (!exporter)
        return;
    if (exporter->job) {
        exporter->job->cancel();
        exporter->job.reset();
    }
    ++exporter->generation;
    m_content->setServedExport(exporter->name(), false);
    if (isExportName(exporter->name()))
        FileSystem::remove(m_options.root / exporter->name());
    if (m_catalog)
        m_catalog->remove(url);
    exporter->detach();
    std::erase(m_exporters, exporter);
    log("removed the export of " + url);
    schedule();
}

std::vector<std::shared_ptr<MCSAssetExporter>> MCSMediaCache::allExporters()
{
    return { m_exporters.begin(), m_exporters.end() };
}

void MCSMediaCache::removeAllRemovableCaches()
{
    m_store->removeAll();
    log("the playback cache was emptied");
}

std::string MCSMediaCache::identifierFor(const std::string& url) const
{
    if (!m_resolver)
        return url;
    std::string identifier = m_resolver(url);
    return identifier.empty() ? url : identifier;
}

std::string MCSMediaCache::playbackURL(const std::string& url)
{
    if (!MCSURL::normalizedHTTP(url) || !MCSProxyServer::shared().start())
        return url;
    // The proxy serves whichever cache opened last.
    MCSProxyServer::shared().setResponder(m_content);
    if (auto exporter = find(url); exporter && exporter->status() == MCSAssetExportStatus::finished)
        return m_content->exportURL(exporter->name());
    return m_content->onlineURL(identifierFor(url), url);
}

std::shared_ptr<MCSPrefetchTask> MCSMediaCache::prefetch(const std::string& url, std::uint64_t preloadSize,
    MCSPrefetchTask::Progress progress, MCSPrefetchTask::Completion completed)
{
    if (!MCSURL::normalizedHTTP(url))
        return nullptr;
    std::erase_if(m_prefetches, [](const auto& work) { return work->isDone(); });
    auto work = std::make_shared<MCSPrefetchWork>(m_content,
        MCSProxyAddress::assetForIdentifier(identifierFor(url)), url, preloadSize, std::move(progress),
        std::move(completed));
    work->start();
    m_prefetches.push_back(work);
    log("prefetch of " + url);
    return std::make_shared<MCSPrefetchHandle>(work);
}

void MCSMediaCache::setResolveAssetIdentifier(SJMediaCacheServer::AssetIdentifierResolver resolver)
{
    m_resolver = std::move(resolver);
}

void MCSMediaCache::setEnabledConsoleLog(bool enabled)
{
    m_consoleLog = enabled;
    m_content->setConsoleLog(enabled);
}

void MCSMediaCache::resumeExport(MCSExporter& exporter)
{
    auto status = exporter.status();
    if (status == MCSAssetExportStatus::finished || status == MCSAssetExportStatus::waiting
        || status == MCSAssetExportStatus::exporting) {
        // Nothing to start; whoever resumes (a second download of the same address) still hears
        // where the export stands, as it would from a start.
        exporter.reportStatus();
        return;
    }
    if (runningCount() < m_options.maxConcurrentExports) {
        startJob(exporter.shared_from_this());
        return;
    }
    exporter.setStatus(MCSAssetExportStatus::waiting);
    m_queue.push_back(exporter.weak_from_this());
    store(exporter);
}

void MCSMediaCache::suspendExport(MCSExporter& exporter)
{
    auto status = exporter.status();
    if (status != MCSAssetExportStatus::waiting && status != MCSAssetExportStatus::exporting)
        return;
    if (exporter.job)
        exporter.job->cancel(); // it stops on its own; its end report no longer counts
    ++exporter.generation;
    exporter.setStatus(MCSAssetExportStatus::suspended);
    store(exporter);
    log("suspended " + exporter.name());
    schedule();
}

int MCSMediaCache::runningCount() const
{
    return static_cast<int>(std::count_if(m_exporters.begin(), m_exporters.end(),
        [](const auto& exporter) { return exporter->status() == MCSAssetExportStatus::exporting; }));
}

void MCSMediaCache::schedule()
{
    int running = runningCount();
    while (running < m_options.maxConcurrentExports && !m_queue.empty()) {
        std::shared_ptr<MCSExporter> next = m_queue.front().lock();
        m_queue.pop_front();
        if (!next || next->status() != MCSAssetExportStatus::waiting)
            continue;
        startJob(next);
        ++running;
    }
}

void MCSMediaCache::startJob(const std::shared_ptr<MCSExporter>& exporter)
{
    // A job stopped before has been told to end; waiting for it keeps two jobs out of one folder.
    exporter->job.reset();
    std::uint64_t generation = ++exporter->generation;
    std::weak_ptr<MCSMediaCache> weakCache = weak_from_this();
    std::weak_ptr<MCSExporter> weakExporter = exporter;
    auto progress = [weakCache, weakExporter, generation](double fraction) {
        DispatchQueue::main().async([weakCache, weakExporter, generation, fraction] {
            auto cache = weakCache.lock();
            auto exporter = weakExporter.lock();
            if (cache && exporter)
                cache->jobProgressed(exporter, generation, fraction);
        });
    };
    auto ended
        = [weakCache, weakExporter, generation](MCSExportJob::Outcome outcome, const std::string& message) {
              DispatchQueue::main().async([weakCache, weakExporter, generation, outcome, message] {
                  auto cache = weakCache.lock();
                  auto exporter = weakExporter.lock();
                  if (cache && exporter)
                      cache->jobEnded(exporter, generation, outcome, message);
              });
          };
    exporter->job = std::make_unique<MCSExportJob>(
        exporter->URL(), m_options.root / exporter->name(), m_options.exports, progress, ended);
    exporter->setStatus(MCSAssetExportStatus::exporting);
    store(*exporter);
    log("exporting " + exporter->URL() + " into " + exporter->name());
    exporter->job->start();
}

void MCSMediaCache::jobProgressed(
    const std::shared_ptr<MCSExporter>& exporter, std::uint64_t generation, double fraction)
{
    if (exporter->generation != generation || exporter->status() != MCSAssetExportStatus::exporting)
        return;
    exporter->setProgress(static_cast<float>(fraction));
    double now = realSeconds();
    if (now - exporter->lastStoredProgress >= catalogProgressInterval) {
        exporter->lastStoredProgress = now;
        store(*exporter);
    }
}

void MCSMediaCache::jobEnded(const std::shared_ptr<MCSExporter>& exporter, std::uint64_t generation,
    MCSExportJob::Outcome outcome, const std::string& message)
{
    if (exporter->generation != generation || exporter->status() != MCSAssetExportStatus::exporting)
        return;
    switch (outcome) {
    case MCSExportJob::Outcome::Finished:
        exporter->setProgress(1.0f);
        exporter->setStatus(MCSAssetExportStatus::finished);
        m_content->setServedExport(exporter->name(), true);
        log("finished " + exporter->name());
        break;
    case MCSExportJob::Outcome::Failed:
        exporter->setStatus(MCSAssetExportStatus::failed);
        Log::write("MCSMediaCache: the export of " + exporter->URL() + " failed: " + message);
        break;
    case MCSExportJob::Outcome::Cancelled:
        exporter->setStatus(MCSAssetExportStatus::suspended);
        break;
    }
    store(*exporter);
    schedule();
}

void MCSMediaCache::store(const MCSExporter& exporter)
{
    if (!m_catalog)
        return;
    if (!m_catalog->update(exporter.URL(), static_cast<unsigned>(exporter.status()), exporter.progress())) {
        m_unstored.insert(exporter.URL());
        if (!m_storeRefused)
            Log::write("MCSMediaCache: the catalogue cannot take the state of the export " + exporter.name()
                + ": " + m_catalog->lastError() + "; it is written again with the next change");
        m_storeRefused = true;
        return;
    }
    m_unstored.erase(exporter.URL());
    m_storeRefused = false;
    storeBehind();
}

void MCSMediaCache::storeBehind()
{
    if (!m_catalog || m_unstored.empty())
        return;
    for (const std::string& url : std::set<std::string>(m_unstored)) {
        auto exporter = find(url);
        if (!exporter
            || m_catalog->update(url, static_cast<unsigned>(exporter->status()), exporter->progress()))
            m_unstored.erase(url);
    }
}
