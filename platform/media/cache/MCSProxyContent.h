#pragma once

#include "platform/media/cache/MCSPlaybackStore.h"
#include "platform/media/cache/MCSPlaylist.h"
#include "platform/media/cache/MCSProxyAddress.h"
#include "platform/media/cache/MCSProxyServer.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>

// What the proxy serves for one media cache: the files of finished exports, and online media
// through the playback store, with every playlist's addresses turned into proxy addresses.
class MCSProxyContent : public MCSProxyResponder {
public:
    MCSProxyContent(std::filesystem::path root, std::shared_ptr<MCSPlaybackStore> store,
        MCSFetchSettings settings, MCSPlaylistLimits limits);

    // The proxy's address of online media, or of a finished export's local playlist.
    std::string onlineURL(const std::string& identifier, const std::string& url) const;
    std::string exportURL(const std::string& name) const;

    // Finished exports are served; others are not (their files may be half there). Thread-safe.
    void setServedExport(const std::string& name, bool served);

    void setConsoleLog(bool enabled) { m_log = enabled; }

    MCSFetchSettings fetchSettings() const override { return m_settings; }
    bool respond(const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader) override;

    // The same addresses as this content's, for a prefetch of the given identifier.
    const MCSProxyAddress& addresses() const { return m_addresses; }
    const std::shared_ptr<MCSPlaybackStore>& store() const { return m_store; }
    const MCSPlaylistLimits& limits() const { return m_limits; }

private:
    bool respondExport(
        const MCSProxyAddress::Export& file, const MCSProxyRequest& request, MCSProxyReply& reply);
    bool respondPlaylist(const MCSProxyAddress::Online& online, const std::string& key,
        const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader);
    bool respondResource(const MCSProxyAddress::Online& online, const std::string& key,
        const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader);

    std::filesystem::path m_root;
    std::shared_ptr<MCSPlaybackStore> m_store;
    MCSFetchSettings m_settings;
    MCSPlaylistLimits m_limits;
    MCSProxyAddress m_addresses;
    std::atomic<bool> m_log { false };

    mutable std::mutex m_mutex;
    std::set<std::string> m_servedExports;
};
