#pragma once

#include "platform/media/MCSAssetExporter.h"
#include "platform/media/cache/MCSExportJob.h"

#include <cstdint>
#include <memory>
#include <string>

class MCSMediaCache;

// The exporter the media cache hands out: its state lives on the main thread; the work runs in
// an MCSExportJob that the cache starts and stops. Changes reach the blocks through the main
// queue; progress changes are merged, so a block reads the latest value.
class MCSExporter final : public MCSAssetExporter, public std::enable_shared_from_this<MCSExporter> {
public:
    MCSExporter(std::string url, std::string name, MCSAssetExportStatus status, float progress,
        std::weak_ptr<MCSMediaCache> cache);
    ~MCSExporter() override;

    const std::string& URL() const override { return m_url; }
    MCSAssetExportStatus status() const override { return m_status; }
    float progress() const override { return m_progress; }
    void resume() override;
    void suspend() override;

    // For the cache.
    const std::string& name() const { return m_name; }
    void setStatus(MCSAssetExportStatus status);
    // Tells the status block the status as it is, in a later turn, though it did not change.
    void reportStatus();
    void setProgress(float progress);
    // Gone from the cache: no more block calls, and the blocks (and what they hold) are let go.
    void detach();

    std::unique_ptr<MCSExportJob> job;
    std::uint64_t generation = 0; // of the job whose reports count
    double lastStoredProgress = 0; // real seconds when progress last went to the catalogue

private:
    std::string m_url;
    std::string m_name;
    MCSAssetExportStatus m_status;
    float m_progress;
    std::weak_ptr<MCSMediaCache> m_cache;
    bool m_progressCallPending = false;
    bool m_detached = false;
};
