#include "platform/media/SJMediaCacheServer.h"

#include "platform/foundation/NoDestructor.h"

SJMediaCacheServer& SJMediaCacheServer::shared()
{
    static NoDestructor<SJMediaCacheServer> server;
    return *server;
}

std::shared_ptr<MCSAssetExporter> SJMediaCacheServer::exportAssetWithURL(const std::string& url, bool resumes)
{
    return m_backend ? m_backend->exportAsset(url, resumes) : nullptr;
}

std::string SJMediaCacheServer::playbackURLWithURL(const std::string& url)
{
    return m_backend && m_active ? m_backend->playbackURL(url) : url;
}

void SJMediaCacheServer::setActive(bool active)
{
    m_active = active;
    if (m_backend)
        m_backend->setActive(active);
}
