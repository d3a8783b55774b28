#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace testserver {

namespace {

// The keys of the server-address file whose values are base URLs of this server.
constexpr const char* baseURLKeys[] = {
    "api_service",
    "short_video_service",
    "captcha_url",
    "help_url",
    "room_gateway_websocket_url",
};

std::optional<std::string> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return out.str();
}

std::string contentTypeFor(const std::filesystem::path& path)
{
    std::string ext = path.extension().string();
    if (ext == ".json")
        return "application/json";
    if (ext == ".png")
        return "image/png";
    if (ext == ".jpg" || ext == ".jpeg")
        return "image/jpeg";
    if (ext == ".gif")
        return "image/gif";
    if (ext == ".html")
        return "text/html; charset=utf-8";
    if (ext == ".css")
        return "text/css; charset=utf-8";
    if (ext == ".txt")
        return "text/plain; charset=utf-8";
    if (ext == ".m3u8")
        return "application/vnd.apple.mpegurl";
    if (ext == ".ts")
        return "video/mp2t";
    return "application/octet-stream";
}

// The file below root that a request path names, or nullopt for anything that could leave it.
std::optional<std::filesystem::path> resolve(const std::filesystem::path& root, const std::string& rawPath)
{
    std::string path = percentDecode(rawPath, false);
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos)
        return std::nullopt;
    std::filesystem::path relative = std::filesystem::path(path.substr(1)).lexically_normal();
    if (relative.empty() || relative.is_absolute())
        return std::nullopt;
    for (const auto& part : relative) {
        if (part == "..")
            return std::nullopt;
    }
    std::error_code ec;
    std::filesystem::path full = std::filesystem::weakly_canonical(root / relative, ec);
    std::filesystem::path canonicalRoot = std::filesystem::weakly_canonical(root, ec);
    if (ec)
        return std::nullopt;
    // Links must not lead out of the data folder either.
    auto rootEnd = std::mismatch(canonicalRoot.begin(), canonicalRoot.end(), full.begin(), full.end()).first;
    if (rootEnd != canonicalRoot.end())
        return std::nullopt;
    if (!std::filesystem::is_regular_file(full, ec))
        return std::nullopt;
    return full;
}

}

std::string pointAtLoopback(const std::string& url, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos)
        return url;
    std::string scheme = url.substr(0, schemeEnd);
    std::uint16_t port;
    if (scheme == "https" || scheme == "wss")
        port = httpsPort;
    else if (scheme == "http" || scheme == "ws")
        port = httpPort;
    else
        return url;
    size_t restStart = url.find('/', schemeEnd + 3);
    std::string rest = restStart == std::string::npos ? "/" : url.substr(restStart);
    return scheme + "://127.0.0.1:" + std::to_string(port) + rest;
}

std::optional<StaticFiles> StaticFiles::load(
    const std::filesystem::path& dataDir, std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    StaticFiles files;
    files.m_root = dataDir;
    if (dataDir.empty())
        return files;
    std::optional<std::string> text = readFile(dataDir / std::string(domainFilePath).substr(1));
    if (!text)
        return files;
    nlohmann::ordered_json json = nlohmann::ordered_json::parse(*text, nullptr, false);
    if (!json.is_object()) {
        if (error)
            *error = "the server-address file in " + dataDir.string() + " is not a JSON object";
        return std::nullopt;
    }
    for (const char* key : baseURLKeys) {
        auto it = json.find(key);
        if (it != json.end() && it->is_string())
            *it = pointAtLoopback(it->get<std::string>(), httpPort, httpsPort);
    }
    files.m_domainFile = json.dump(2) + "\n";
    return files;
}

std::optional<Reply> StaticFiles::serve(const Request& request) const
{
    if (m_root.empty() || (request.method != "GET" && request.method != "HEAD"))
        return std::nullopt;
    if (request.path == domainFilePath && !m_domainFile.empty())
        return Reply::json(m_domainFile);
    std::optional<std::filesystem::path> file = resolve(m_root, request.path);
    if (!file)
        return std::nullopt;
    std::optional<std::string> content = readFile(*file);
    if (!content)
        return std::nullopt;
    return Reply::text(200, std::move(*content), contentTypeFor(*file));
}

}
