#pragma once

#include "platform/media/MCSAssetExporter.h"
#include "platform/media/MCSPrefetchTask.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

template<typename T> class NoDestructor;

// The media cache: exports (downloads) of playlists, and a loopback proxy that plays finished
// exports and caches online media as it plays (MCSMediaCache does the work). Main thread only;
// every block and callback it takes runs on the main queue.
class SJMediaCacheServer {
public:
    using AssetIdentifierResolver = std::function<std::string(const std::string& url)>;

    // What does the work. Tests may put a stand-in in place; the defaults do nothing.
    class Backend {
    public:
        virtual ~Backend() = default;
        // The exporter of the URL (made when missing), resumed when `resumes` is set; none
        // when the URL cannot be exported.
        virtual std::shared_ptr<MCSAssetExporter> exportAsset(const std::string& url, bool resumes) = 0;
        virtual std::string playbackURL(const std::string& url) = 0;
        virtual void setActive(bool active) = 0;
        virtual float exportProgress(const std::string& url) { return 0; }
        virtual void removeExportAsset(const std::string& url) { }
        virtual std::vector<std::shared_ptr<MCSAssetExporter>> allExporters() { return {}; }
        virtual void removeAllRemovableCaches() { }
        virtual std::shared_ptr<MCSPrefetchTask> prefetch(const std::string& url, std::uint64_t preloadSize,
            MCSPrefetchTask::Progress progress, MCSPrefetchTask::Completion completed);
        virtual void setResolveAssetIdentifier(AssetIdentifierResolver resolver) { }
        virtual void setEnabledConsoleLog(bool enabled) { }
        // The origin of the loopback proxy behind playbackURL ("http://127.0.0.1:<port>"); empty
        // while there is none. By default the process's proxy.
        virtual std::string proxyAddress();
    };

    // The process-wide instance, made on first use and never released.
    static SJMediaCacheServer& shared();

    SJMediaCacheServer(const SJMediaCacheServer&) = delete;
    SJMediaCacheServer& operator=(const SJMediaCacheServer&) = delete;

    // None drops the current one: the next call opens the real cache in the app's Documents
    // folder ("com.SJMediaCacheServer.cache"), and opens it again there when the app's container
    // moves. The resolver and the log switch carry over.
    void setBackend(std::shared_ptr<Backend> backend);
    const std::shared_ptr<Backend>& backend() const { return m_backend; }

    // The exporter of the URL, made when there is none (not started), or none.
    std::shared_ptr<MCSAssetExporter> exportAssetWithURL(const std::string& url);
    // Also (re)starts it when `resumes` is set.
    std::shared_ptr<MCSAssetExporter> exportAssetWithURL(const std::string& url, bool resumes);
    // Fraction 0 to 1 of the export of the URL; 0 when there is none.
    float exportProgressWithURL(const std::string& url);
    // Stops the export and deletes its files and its catalogue row.
    void removeExportAssetWithURL(const std::string& url);
    // Every export the cache knows, finished ones included, in the order they were made.
    std::vector<std::shared_ptr<MCSAssetExporter>> allExporters();
    // Empties the playback cache; exports stay.
    void removeAllRemovableCaches();

    // The loopback address that plays the URL: a finished export of it when there is one, else the
    // URL through the read-through cache. The URL itself while inactive or when it cannot be served.
    std::string playbackURLWithURL(const std::string& url);
    // Whether the URL leads to the loopback proxy itself (its scheme, host and port), which takes
    // an address alone, without the asset's header fields. Any other address, loopback ones of
    // other servers included, is not the proxy's.
    bool isProxyURL(const std::string& url) const;
    // Fetches the start of the URL (up to preloadSize bytes of media) into the playback cache.
    // None while inactive or when the URL is not an http one.
    std::shared_ptr<MCSPrefetchTask> prefetch(const std::string& url, std::uint64_t preloadSize,
        MCSPrefetchTask::Progress progress = nullptr, MCSPrefetchTask::Completion completed = nullptr);

    // The identity of an asset in the playback cache, from its URL (default: the URL itself).
    void setResolveAssetIdentifier(AssetIdentifierResolver resolver);
    void setEnabledConsoleLog(bool enabled);
    bool isEnabledConsoleLog() const { return m_consoleLog; }
    void setActive(bool active);
    bool isActive() const { return m_active; }

private:
    friend class NoDestructor<SJMediaCacheServer>;
    SJMediaCacheServer() = default;

    Backend& backendForUse();

    std::shared_ptr<Backend> m_backend;
    bool m_backendIsDefault = false; // opened here, in the app's container at m_defaultRoot
    std::filesystem::path m_defaultRoot;
    AssetIdentifierResolver m_resolver;
    bool m_consoleLog = false;
    bool m_active = true;
};
