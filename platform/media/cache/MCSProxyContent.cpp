#include "platform/media/cache/MCSProxyContent.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/SecureRandom.h"
#include "platform/media/cache/MCSExportJob.h"
#include "platform/media/cache/MCSReadThrough.h"
#include "platform/media/cache/MCSURL.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* playlistType = "application/vnd.apple.mpegurl";
constexpr std::size_t readBlock = 256 * 1024;

// One key for the life of the process, so addresses handed out stay valid as long as the port.
const Data& processKey()
{
    static const Data key = SecureRandom::bytes(32);
    return key;
}

bool isPlaylistType(std::string_view type)
{
    std::string lower(type.substr(0, type.find(';')));
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "application/vnd.apple.mpegurl" || lower == "application/x-mpegurl"
        || lower == "audio/mpegurl" || lower == "audio/x-mpegurl";
}

std::string typeForFile(std::string_view name)
{
    std::string extension = MCSURL::extension(name);
    if (extension == "m3u8")
        return playlistType;
    if (extension == "ts")
        return "video/mp2t";
    if (extension == "mp4" || extension == "m4s")
        return "video/mp4";
    return "application/octet-stream";
}

// The player's User-Agent goes on to the origin; nothing that could end a header line does.
HTTPHeaders forwardedHeaders(const MCSProxyRequest& request)
{
    if (!request.userAgent || request.userAgent->size() > 512)
        return {};
    for (char c : *request.userAgent) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return {};
    }
    return { { "User-Agent", *request.userAgent } };
}

bool sendError(MCSProxyReply& reply, int status)
{
    return reply.sendHead(status, { { "Content-Type", "text/plain" } }, 0);
}

// Turns a resource answer into the proxy's reply.
class ReplyOutput : public MCSResourceOutput {
public:
    ReplyOutput(MCSProxyReply& reply, bool watchForPlaylist)
        : m_reply(reply)
        , m_watchForPlaylist(watchForPlaylist)
    { }

    bool begin(const MCSResourceAnswer& answer) override
    {
        if (m_watchForPlaylist && (answer.status == 200 || answer.status == 206)
            && isPlaylistType(answer.contentType)) {
            turnedOutPlaylist = true;
            return false;
        }
        status = answer.status;
        HTTPHeaders fields;
        if (answer.status == 200 || answer.status == 206) {
            fields.emplace_back("Content-Type", answer.contentType);
            fields.emplace_back("Accept-Ranges", "bytes");
        }
        if (answer.status == 206 && answer.first && answer.last && answer.total)
            fields.emplace_back("Content-Range",
                "bytes " + std::to_string(*answer.first) + "-" + std::to_string(*answer.last) + "/"
                    + std::to_string(*answer.total));
        if (answer.status == 416 && answer.total)
            fields.emplace_back("Content-Range", "bytes */" + std::to_string(*answer.total));
        return m_reply.sendHead(answer.status, fields, answer.contentLength);
    }

    bool write(const std::uint8_t* bytes, std::size_t size) override { return m_reply.sendBody(bytes, size); }

    bool turnedOutPlaylist = false;
    int status = 0;

private:
    MCSProxyReply& m_reply;
    bool m_watchForPlaylist;
};

}

MCSProxyContent::MCSProxyContent(std::filesystem::path root, std::shared_ptr<MCSPlaybackStore> store,
    MCSFetchSettings settings, MCSPlaylistLimits limits)
    : m_root(std::move(root))
    , m_store(std::move(store))
    , m_settings(std::move(settings))
    , m_limits(limits)
    , m_addresses(processKey())
{ }

std::string MCSProxyContent::onlineURL(const std::string& identifier, const std::string& url) const
{
    bool playlist = MCSURL::extension(url) == "m3u8" || MCSURL::extension(url) == "m3u";
    return MCSProxyServer::shared().baseURL()
        + m_addresses.onlinePath(MCSProxyAddress::assetForIdentifier(identifier),
            playlist ? MCSProxyAddress::Role::MainPlaylist : MCSProxyAddress::Role::MainResource, url);
}

std::string MCSProxyContent::exportURL(const std::string& name) const
{
    auto folder = MCSURL::child(m_root, name);
    const char* file = folder ? MCSExportFiles::playable(*folder) : nullptr;
    return MCSProxyServer::shared().baseURL()
        + MCSProxyAddress::exportPath(name, file ? file : MCSExportFiles::localPlaylist);
}

void MCSProxyContent::setServedExport(const std::string& name, bool served)
{
    std::lock_guard lock(m_mutex);
    if (served)
        m_servedExports.insert(name);
    else
        m_servedExports.erase(name);
}

bool MCSProxyContent::respond(const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader)
{
    if (m_log)
        Log::write("MCSProxy: " + request.method + " " + request.path.substr(0, 160));
    if (auto file = MCSProxyAddress::parseExport(request.path))
        return respondExport(*file, request, reply);
    auto online = m_addresses.parseOnline(request.path);
    if (!online)
        return sendError(reply, 404);
    bool main = online->role == MCSProxyAddress::Role::MainPlaylist
        || online->role == MCSProxyAddress::Role::MainResource;
    std::string key = main ? "main" : MCSPlaybackStore::resourceKey(online->url);
    if (online->role == MCSProxyAddress::Role::MainPlaylist
        || online->role == MCSProxyAddress::Role::Playlist)
        return respondPlaylist(*online, key, request, reply, downloader);
    return respondResource(*online, key, request, reply, downloader);
}

bool MCSProxyContent::respondExport(
    const MCSProxyAddress::Export& file, const MCSProxyRequest& request, MCSProxyReply& reply)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_servedExports.contains(file.name))
            return sendError(reply, 404);
    }
    auto folder = MCSURL::child(m_root, file.name);
    auto path = folder ? MCSURL::child(*folder, file.file) : std::nullopt;
    int fd = path ? ::open(path->c_str(), O_RDONLY | O_CLOEXEC) : -1;
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return sendError(reply, 404);
    }
    auto length = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t first = 0;
    std::uint64_t last = length == 0 ? 0 : length - 1;
    HTTPHeaders fields { { "Content-Type", typeForFile(file.file) }, { "Accept-Ranges", "bytes" } };
    int status = 200;
    if (auto range = request.range ? parseRangeHeader(*request.range) : std::nullopt) {
        if (range->first) {
            first = *range->first;
            last = std::min(range->last.value_or(last), last);
        } else {
            first = length - std::min(range->suffix, length);
        }
        if (first >= length || first > last || (!range->first && range->suffix == 0)) {
            ::close(fd);
            return reply.sendHead(416, { { "Content-Range", "bytes */" + std::to_string(length) } }, 0);
        }
        status = 206;
        fields.emplace_back("Content-Range",
            "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" + std::to_string(length));
    }
    std::uint64_t count = length == 0 ? 0 : last - first + 1;
    bool ok = reply.sendHead(status, fields, count);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(count, readBlock)));
    while (ok && count > 0 && request.method != "HEAD") {
        ssize_t got = ::pread(fd, buffer.data(),
            static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size())),
            static_cast<off_t>(first));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = false;
            break;
        }
        ok = reply.sendBody(buffer.data(), static_cast<std::size_t>(got));
        first += static_cast<std::uint64_t>(got);
        count -= static_cast<std::uint64_t>(got);
    }
    ::close(fd);
    return ok;
}

bool MCSProxyContent::respondPlaylist(const MCSProxyAddress::Online& online, const std::string& key,
    const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader)
{
    HTTPHeaders headers = forwardedHeaders(request);
    MCSLoadedPlaylist loaded
        = loadPlaylist(*m_store, downloader, online.asset, key, online.url, headers, m_limits);
    if (!loaded.stored || !loaded.playlist) {
        Log::write("MCSProxy: " + loaded.error);
        return sendError(reply, loaded.status);
    }
    const std::string base = MCSProxyServer::shared().baseURL();
    const std::string& origin = loaded.stored->baseURL;
    std::string text = rewritePlaylist(loaded.stored->text, *loaded.playlist, [&](const MCSPlaylistURI& uri) {
        auto resolved = MCSURL::resolve(origin, uri.uri);
        if (!resolved)
            return uri.uri;
        auto role = uri.kind == MCSPlaylistURIKind::Playlist ? MCSProxyAddress::Role::Playlist
                                                             : MCSProxyAddress::Role::Resource;
        return base + m_addresses.onlinePath(online.asset, role, *resolved);
    });
    if (!reply.sendHead(
            200, { { "Content-Type", playlistType }, { "Cache-Control", "no-cache" } }, text.size()))
        return false;
    if (request.method == "HEAD")
        return true;
    return reply.sendBody(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

bool MCSProxyContent::respondResource(const MCSProxyAddress::Online& online, const std::string& key,
    const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader)
{
    MCSReadRequest read;
    read.asset = online.asset;
    read.key = key;
    read.url = online.url;
    read.headers = forwardedHeaders(request);
    if (request.range)
        read.range = parseRangeHeader(*request.range);
    ReplyOutput output(reply, online.role == MCSProxyAddress::Role::MainResource);
    bool whole = readThrough(*m_store, downloader, read, output);
    if (output.turnedOutPlaylist)
        return respondPlaylist(online, key, request, reply, downloader);
    if (request.method == "HEAD" && output.status != 0)
        return true;
    return whole;
}
