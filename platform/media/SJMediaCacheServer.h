#pragma once

#include "platform/media/MCSAssetExporter.h"

#include <memory>
#include <string>

template<typename T> class NoDestructor;

// The media cache: a local proxy for playback and exports (downloads) of playlists. What does the
// work is a backend; without one, exports give nothing, playback goes straight to the original
// URL and nothing is cached. Main thread only.
class SJMediaCacheServer {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        // The exporter of the URL, (re)started when `resumes` is set; none when it cannot export.
        virtual std::shared_ptr<MCSAssetExporter> exportAsset(const std::string& url, bool resumes) = 0;
        // The address the player should open for the URL.
        virtual std::string playbackURL(const std::string& url) = 0;
        virtual void setActive(bool active) = 0;
    };

    // The process-wide instance, made on first use and never released.
    static SJMediaCacheServer& shared();

    SJMediaCacheServer(const SJMediaCacheServer&) = delete;
    SJMediaCacheServer& operator=(const SJMediaCacheServer&) = delete;

    // None puts the default (doing nothing) back.
    void setBackend(std::shared_ptr<Backend> backend) { m_backend = std::move(backend); }
    const std::shared_ptr<Backend>& backend() const { return m_backend; }

    std::shared_ptr<MCSAssetExporter> exportAssetWithURL(const std::string& url, bool resumes);
    std::string playbackURLWithURL(const std::string& url);
    void setActive(bool active);
    bool isActive() const { return m_active; }

private:
    friend class NoDestructor<SJMediaCacheServer>;
    SJMediaCacheServer() = default;

    std::shared_ptr<Backend> m_backend;
    bool m_active = true;
};
