#pragma once

#include "platform/foundation/Data.h"

#include <optional>
#include <string>
#include <string_view>

// Paths of the loopback proxy.
//  "/e/<export name>/<file>": a file of a finished export.
//  "/o/<asset>/<role>/<signature>/<address>/<leaf>": online media through the playback cache, where
//  <address> is the original address in base64url and <signature> an HMAC of it under a key of
//  this process, so the proxy fetches only what this process handed out and never becomes an
//  open relay for other programs on the machine. <leaf> is the original file name, for players
//  that look at the extension.
class MCSProxyAddress {
public:
    enum class Role : char {
        MainPlaylist = 'P', // the address the player was given, cached under the asset's identifier
        MainResource = 'R',
        Playlist = 'p', // addresses found in playlists, cached under their own address
        Resource = 'r',
    };

    struct Online {
        std::string asset;
        Role role = Role::Resource;
        std::string url;
    };
    struct Export {
        std::string name;
        std::string file;
    };

    explicit MCSProxyAddress(Data key);

    // The cache folder name of an asset identifier.
    static std::string assetForIdentifier(std::string_view identifier);

    std::string onlinePath(std::string_view asset, Role role, std::string_view url) const;
    std::optional<Online> parseOnline(std::string_view path) const;

    static std::string exportPath(std::string_view name, std::string_view file);
    static std::optional<Export> parseExport(std::string_view path);

private:
    std::string signature(std::string_view asset, Role role, std::string_view url) const;

    Data m_key;
};
