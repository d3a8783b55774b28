#include "platform/media/SJMediaCacheServer.h"

#include "platform/foundation/AppContainer.h"
#include "platform/foundation/NoDestructor.h"
#include "platform/media/cache/MCSMediaCache.h"
#include "platform/media/cache/MCSProxyServer.h"
#include "platform/net/HTTPClient.h"
#include "platform/net/URLOrigin.h"

std::shared_ptr<MCSPrefetchTask> SJMediaCacheServer::Backend::prefetch(
    const std::string&, std::uint64_t, MCSPrefetchTask::Progress, MCSPrefetchTask::Completion)
{
    return nullptr;
}

std::string SJMediaCacheServer::Backend::proxyAddress()
{
    return MCSProxyServer::shared().baseURL();
}

SJMediaCacheServer& SJMediaCacheServer::shared()
{
    static NoDestructor<SJMediaCacheServer> server;
    return *server;
}

void SJMediaCacheServer::setBackend(std::shared_ptr<Backend> backend)
{
    m_backend = std::move(backend);
    m_backendIsDefault = false;
    if (!m_backend)
        return;
    m_backend->setResolveAssetIdentifier(m_resolver);
    m_backend->setEnabledConsoleLog(m_consoleLog);
    m_backend->setActive(m_active);
}

SJMediaCacheServer::Backend& SJMediaCacheServer::backendForUse()
{
    std::filesystem::path root = AppContainer::documentsDirectory() / "com.SJMediaCacheServer.cache";
    // The cache follows the app's container, which tests replace between cases.
    if (m_backend && m_backendIsDefault && m_defaultRoot != root)
        m_backend.reset();
    if (!m_backend) {
        MCSMediaCacheOptions options;
        options.root = root;
        options.exports.fetch.trustedCAFile = HTTPClient::shared().trustedCAFile();
        setBackend(MCSMediaCache::open(std::move(options)));
        m_backendIsDefault = true;
        m_defaultRoot = root;
    }
    return *m_backend;
}

std::shared_ptr<MCSAssetExporter> SJMediaCacheServer::exportAssetWithURL(const std::string& url)
{
    return backendForUse().exportAsset(url, false);
}

std::shared_ptr<MCSAssetExporter> SJMediaCacheServer::exportAssetWithURL(const std::string& url, bool resumes)
{
    return backendForUse().exportAsset(url, resumes);
}

float SJMediaCacheServer::exportProgressWithURL(const std::string& url)
{
    return backendForUse().exportProgress(url);
}

void SJMediaCacheServer::removeExportAssetWithURL(const std::string& url)
{
    backendForUse().removeExportAsset(url);
}

std::vector<std::shared_ptr<MCSAssetExporter>> SJMediaCacheServer::allExporters()
{
    return backendForUse().allExporters();
}

void SJMediaCacheServer::removeAllRemovableCaches()
{
    backendForUse().removeAllRemovableCaches();
}

std::string SJMediaCacheServer::playbackURLWithURL(const std::string& url)
{
    return m_active ? backendForUse().playbackURL(url) : url;
}

bool SJMediaCacheServer::isProxyURL(const std::string& url) const
{
    // Before any cache is open, the process's proxy is the one there may be.
    std::string proxy = m_backend ? m_backend->proxyAddress() : MCSProxyServer::shared().baseURL();
    if (proxy.empty())
        return false;
    std::optional<URLOrigin> origin = URLOrigin::of(url);
    return origin && origin == URLOrigin::of(proxy);
}

std::shared_ptr<MCSPrefetchTask> SJMediaCacheServer::prefetch(const std::string& url,
    std::uint64_t preloadSize, MCSPrefetchTask::Progress progress, MCSPrefetchTask::Completion completed)
{
    if (!m_active)
        return nullptr;
    return backendForUse().prefetch(url, preloadSize, std::move(progress), std::move(completed));
}

void SJMediaCacheServer::setResolveAssetIdentifier(AssetIdentifierResolver resolver)
{
    m_resolver = std::move(resolver);
    if (m_backend)
        m_backend->setResolveAssetIdentifier(m_resolver);
}

void SJMediaCacheServer::setEnabledConsoleLog(bool enabled)
{
    m_consoleLog = enabled;
    if (m_backend)
        m_backend->setEnabledConsoleLog(enabled);
}

void SJMediaCacheServer::setActive(bool active)
{
    m_active = active;
    if (m_backend)
        m_backend->setActive(active);
}
