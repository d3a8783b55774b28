#include "platform/media/cache/MCSProxyAddress.h"

#include "platform/crypto/Digest.h"
#include "platform/media/cache/MCSURL.h"

#include <vector>

namespace {

std::vector<std::string_view> split(std::string_view path)
{
    std::vector<std::string_view> parts;
    while (!path.empty() && parts.size() < 8) {
        std::size_t slash = path.find('/');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

bool isHex(std::string_view text, std::size_t size)
{
    return text.size() == size && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

bool isRole(std::string_view text)
{
    return text == "P" || text == "R" || text == "p" || text == "r";
}

}

MCSProxyAddress::MCSProxyAddress(Data key)
    : m_key(std::move(key))
{ }

std::string MCSProxyAddress::assetForIdentifier(std::string_view identifier)
{
    return Digest::hex(Digest::sha256(Data(identifier.begin(), identifier.end()))).substr(0, 32);
}

std::string MCSProxyAddress::signature(std::string_view asset, Role role, std::string_view url) const
{
    std::string message = std::string(asset) + '\n' + static_cast<char>(role) + '\n' + std::string(url);
    return Digest::hex(HMAC::sha256(m_key, dataFromString(message))).substr(0, 32);
}

std::string MCSProxyAddress::onlinePath(std::string_view asset, Role role, std::string_view url) const
{
    return "/o/" + std::string(asset) + "/" + static_cast<char>(role) + "/" + signature(asset, role, url)
        + "/" + MCSURL::base64URLEncode(url) + "/" + MCSURL::leafName(url);
}

std::optional<MCSProxyAddress::Online> MCSProxyAddress::parseOnline(std::string_view path) const
{
    std::vector<std::string_view> parts = split(path);
    // "", "o", asset, role, signature, address, leaf
    if (parts.size() != 7 || !parts[0].empty() || parts[1] != "o" || !isHex(parts[2], 32) || !isRole(parts[3])
        || !isHex(parts[4], 32))
        return std::nullopt;
    auto url = MCSURL::base64URLDecode(parts[5]);
    if (!url)
        return std::nullopt;
    Online online { std::string(parts[2]), static_cast<Role>(parts[3][0]), *url };
    if (signature(online.asset, online.role, online.url) != parts[4])
        return std::nullopt;
    return online;
}

std::string MCSProxyAddress::exportPath(std::string_view name, std::string_view file)
{
    return "/e/" + std::string(name) + "/" + std::string(file);
}

std::optional<MCSProxyAddress::Export> MCSProxyAddress::parseExport(std::string_view path)
{
    std::vector<std::string_view> parts = split(path);
    if (parts.size() != 4 || !parts[0].empty() || parts[1] != "e" || !MCSURL::isSafeComponent(parts[2])
        || !MCSURL::isSafeComponent(parts[3]))
        return std::nullopt;
    return Export { std::string(parts[2]), std::string(parts[3]) };
}
