#pragma once

#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/cache/MCSExportJob.h"
#include "platform/media/cache/MCSPlaybackStore.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

class MCSCatalog;
class MCSExporter;
class MCSPrefetchWork;
class MCSProxyContent;

struct MCSMediaCacheOptions {
    std::filesystem::path root; // holds "mcs.db", the export folders and "playback"
    MCSExportSettings exports; // its fetch settings serve playback and prefetches too
    int maxConcurrentExports = 2; // more wait in status 1
    std::uint64_t chunkSize = MCSPlaybackStore::defaultChunkSize;
    std::uint64_t maxPlaybackCacheBytes = MCSPlaybackStore::defaultMaxBytes; // exports do not count
};

// The media cache behind SJMediaCacheServer. Exports are kept in the catalogue "mcs.db" and in a
// folder each ("export-" and random hex, never anything from the address); the playback cache is
// the folder "playback". Everything it deletes lies inside its root. Main thread only.
//
// Statuses: a new export is suspended (5) until resumed; resume queues it (1) or runs it (2); it
// ends finished (3) or failed (4); suspend stops it (5). Resuming one that is queued, running or
// finished starts nothing and tells its status block that status again. Exports that were queued or running
// when the previous process ended come back suspended; finished ones stay finished while their
// local playlist (or, for a media file, the whole file) is there.
class MCSMediaCache final : public SJMediaCacheServer::Backend,
                            public std::enable_shared_from_this<MCSMediaCache> {
public:
    static std::shared_ptr<MCSMediaCache> open(MCSMediaCacheOptions options);
    // Stops its exports and prefetches; what they fetched stays.
    ~MCSMediaCache() override;

    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string& url, bool resumes) override;
    float exportProgress(const std::string& url) override;
    void removeExportAsset(const std::string& url) override;
    std::vector<std::shared_ptr<MCSAssetExporter>> allExporters() override;
    void removeAllRemovableCaches() override;
    std::string playbackURL(const std::string& url) override;
    std::shared_ptr<MCSPrefetchTask> prefetch(const std::string& url, std::uint64_t preloadSize,
        MCSPrefetchTask::Progress progress, MCSPrefetchTask::Completion completed) override;
    void setActive(bool active) override { }
    void setResolveAssetIdentifier(SJMediaCacheServer::AssetIdentifierResolver resolver) override;
    void setEnabledConsoleLog(bool enabled) override;

    const std::filesystem::path& root() const { return m_options.root; }
    // The read-through cache of online playback.
    MCSPlaybackStore& playbackStore() const { return *m_store; }
    bool hasCatalog() const { return m_catalog != nullptr; }

    // From the exporters.
    void resumeExport(MCSExporter& exporter);
    void suspendExport(MCSExporter& exporter);

private:
    explicit MCSMediaCache(MCSMediaCacheOptions options);
    void load();
    std::shared_ptr<MCSExporter> find(const std::string& url) const;
    std::string newExportName() const;
    int runningCount() const;
    void schedule();
    void startJob(const std::shared_ptr<MCSExporter>& exporter);
    void jobProgressed(
        const std::shared_ptr<MCSExporter>& exporter, std::uint64_t generation, double fraction);
    void jobEnded(const std::shared_ptr<MCSExporter>& exporter, std::uint64_t generation,
        MCSExportJob::Outcome outcome, const std::string& message);
    // Writes the exporter's row; a row the catalogue refused is written again with the next
    // change that it takes, and at the end. A refusal is logged once until a write goes through.
    void store(const MCSExporter& exporter);
    void storeBehind();
    std::string identifierFor(const std::string& url) const;
    void log(const std::string& line) const;

    MCSMediaCacheOptions m_options;
    std::unique_ptr<MCSCatalog> m_catalog;
    std::shared_ptr<MCSPlaybackStore> m_store;
    std::shared_ptr<MCSProxyContent> m_content;
    std::vector<std::shared_ptr<MCSExporter>> m_exporters; // in the order they were made
    std::deque<std::weak_ptr<MCSExporter>> m_queue; // waiting for a free slot
    std::vector<std::shared_ptr<MCSPrefetchWork>> m_prefetches;
    SJMediaCacheServer::AssetIdentifierResolver m_resolver;
    bool m_consoleLog = false;
    std::set<std::string> m_unstored; // addresses whose row is behind their exporter
    bool m_storeRefused = false;
};
