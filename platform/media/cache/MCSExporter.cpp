#include "platform/media/cache/MCSExporter.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/media/cache/MCSMediaCache.h"

MCSExporter::MCSExporter(std::string url, std::string name, MCSAssetExportStatus status, float progress,
    std::weak_ptr<MCSMediaCache> cache)
    : m_url(std::move(url))
    , m_name(std::move(name))
    , m_status(status)
    , m_progress(progress)
    , m_cache(std::move(cache))
{ }

MCSExporter::~MCSExporter() = default;

void MCSExporter::resume()
{
    if (auto cache = m_cache.lock(); cache && !m_detached)
        cache->resumeExport(*this);
}

void MCSExporter::suspend()
{
    if (auto cache = m_cache.lock(); cache && !m_detached)
        cache->suspendExport(*this);
}

void MCSExporter::setStatus(MCSAssetExportStatus status)
{
    if (status == m_status || m_detached)
        return;
    m_status = status;
    reportStatus();
}

void MCSExporter::reportStatus()
{
    if (m_detached)
        return;
    DispatchQueue::main().async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (self && !self->m_detached)
            self->callStatusBlock();
    });
}

void MCSExporter::setProgress(float progress)
{
    if (progress == m_progress || m_detached)
        return;
    m_progress = progress;
    if (m_progressCallPending)
        return;
    m_progressCallPending = true;
    DispatchQueue::main().async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self)
            return;
        self->m_progressCallPending = false;
        if (!self->m_detached)
            self->callProgressBlock();
    });
}

void MCSExporter::detach()
{
    m_detached = true;
    m_status = MCSAssetExportStatus::unknown;
    dropBlocks();
}
