#include "tools/testserver/VideoRoutes.h"

#include "tools/testserver/TestServer.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace testserver {

namespace {

constexpr int defaultDelayMs = 4000;
constexpr int maxDelayMs = 60000;

const char* const masterPlaylist = "#EXTM3U\n"
                                   "#EXT-X-VERSION:3\n"
                                   "#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=320x180\n"
                                   "low/index.m3u8{query}\n"
                                   "#EXT-X-STREAM-INF:BANDWIDTH=600000,RESOLUTION=480x270\n"
                                   "high/index.m3u8{query}\n";

const char* const brokenPlaylist = "\x89PNG this is not a playlist\n#EXTINF:banana\n\0\xff\xfe";

// The files of the media folder that are served, by their path under /video/.
const char* const mediaFiles[] = {
    "low/index.m3u8",
    "low/seg0.ts",
    "low/seg1.ts",
    "low/seg2.ts",
    "low/seg3.ts",
    "low/seg4.ts",
    "low/seg5.ts",
    "high/index.m3u8",
    "high/key.bin",
    "high/seg0.ts",
    "high/seg1.ts",
    "high/seg2.ts",
    "high/seg3.ts",
    "high/seg4.ts",
    "high/seg5.ts",
    "clip.mp4",
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

std::string contentTypeFor(std::string_view path)
{
    if (path.ends_with(".m3u8"))
        return "application/vnd.apple.mpegurl";
    if (path.ends_with(".ts"))
        return "video/mp2t";
    if (path.ends_with(".mp4"))
        return "video/mp4";
    return "application/octet-stream";
}

std::optional<std::uint64_t> parseNumber(std::string_view text)
{
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<std::string> queryValue(const Items& items, std::string_view name)
{
    for (const auto& [key, value] : items) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

int delayOf(const Items& items)
{
    std::optional<std::string> text = queryValue(items, "delay");
    std::optional<std::uint64_t> value = text ? parseNumber(*text) : std::nullopt;
    if (!value)
        return defaultDelayMs;
    return static_cast<int>(std::min<std::uint64_t>(*value, maxDelayMs));
}

// The media playlist with the faults that the query names put on its segments.
std::string withSegmentFaults(const std::string& playlist, const Items& query)
{
    std::map<std::uint64_t, std::string> faults;
    std::string delay = std::to_string(delayOf(query));
    for (const auto& [key, value] : query) {
        std::optional<std::uint64_t> index = parseNumber(value);
        if (!index)
            continue;
        if (key == "slow")
            faults[*index] = "fault=slow&delay=" + delay;
        else if (key == "fail")
            faults[*index] = "fault=404";
        else if (key == "truncate")
            faults[*index] = "fault=truncate";
    }
    std::istringstream lines(playlist);
    std::string out;
    std::string line;
    std::uint64_t segment = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.front() != '#') {
            if (auto fault = faults.find(segment); fault != faults.end())
                line += "?" + fault->second;
            ++segment;
        }
        out += line + "\n";
    }
    return out;
}

Reply fileReply(const Request& request, const std::string& body, std::string contentType)
{
    Reply reply;
    reply.headers = { { "Content-Type", std::move(contentType) }, { "Accept-Ranges", "bytes" } };
    ByteRange range;
    std::optional<std::string> field = request.header("Range");
    switch (field ? parseRange(*field, body.size(), range) : RangeAnswer::whole) {
    case RangeAnswer::whole:
        reply.body = body;
        break;
    case RangeAnswer::partial:
        reply.status = 206;
        reply.headers.emplace_back("Content-Range",
            "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/"
                + std::to_string(body.size()));
        reply.body = body.substr(range.first, range.last - range.first + 1);
        break;
    case RangeAnswer::unsatisfiable:
        reply.status = 416;
        reply.headers.emplace_back("Content-Range", "bytes */" + std::to_string(body.size()));
        break;
    }
    return reply;
}

Reply withFault(Reply reply, const Items& query)
{
    std::optional<std::string> fault = queryValue(query, "fault");
    if (!fault)
        return reply;
    if (*fault == "404")
        return Reply::text(404, "not found\n");
    if (*fault == "redirect") {
        Reply moved;
        moved.status = 302;
        moved.headers = { { "Location", queryValue(query, "to").value_or("/") } };
        return moved;
    }
    if (*fault == "slow")
        reply.delay = std::chrono::milliseconds(delayOf(query));
    else if (*fault == "truncate")
        reply.action = ReplyAction::TruncateBody;
    return reply;
}

class VideoFiles {
public:
    std::map<std::string, std::string, std::less<>> files;

    Reply answer(const Request& request) const
    {
        if (request.method != "GET" && request.method != "HEAD")
            return Reply::text(405, "method not allowed\n");
        std::string_view name = std::string_view(request.path).substr(VideoRoutes::prefix.size());
        Items query = request.queryItems();
        if (name == "master.m3u8") {
            std::string text = masterPlaylist;
            std::string suffix = request.query.empty() ? "" : "?" + request.query;
            for (size_t at; (at = text.find("{query}")) != std::string::npos;)
                text.replace(at, 7, suffix);
            return withFault(fileReply(request, text, contentTypeFor(name)), query);
        }
        if (name == "broken.m3u8")
            return fileReply(request, std::string(brokenPlaylist, sizeof brokenPlaylist - 1), contentTypeFor(name));
        auto file = files.find(name);
        if (file == files.end())
            return Reply::text(404, "not found\n");
        if (name.ends_with("index.m3u8"))
            return withFault(fileReply(request, withSegmentFaults(file->second, query), contentTypeFor(name)), query);
        return withFault(fileReply(request, file->second, contentTypeFor(name)), query);
    }
};

}

RangeAnswer parseRange(std::string_view field, std::uint64_t size, ByteRange& range)
{
    constexpr std::string_view unit = "bytes=";
    if (!field.starts_with(unit))
        return RangeAnswer::whole;
    std::string_view ranges = field.substr(unit.size());
    size_t dash = ranges.find('-');
    if (dash == std::string_view::npos || ranges.find(',') != std::string_view::npos)
        return RangeAnswer::whole;
    std::string_view firstText = ranges.substr(0, dash);
    std::string_view lastText = ranges.substr(dash + 1);
    if (firstText.empty()) {
        // The last n bytes.
        std::optional<std::uint64_t> count = parseNumber(lastText);
        if (!count)
            return RangeAnswer::whole;
        if (*count == 0 || size == 0)
            return RangeAnswer::unsatisfiable;
        range = { size - std::min(*count, size), size - 1 };
        return RangeAnswer::partial;
    }
    std::optional<std::uint64_t> first = parseNumber(firstText);
    std::optional<std::uint64_t> last = lastText.empty() ? std::optional<std::uint64_t>(UINT64_MAX) : parseNumber(lastText);
    if (!first || !last || *last < *first)
        return RangeAnswer::whole;
    if (*first >= size)
        return RangeAnswer::unsatisfiable;
    range = { *first, std::min(*last, size - 1) };
    return RangeAnswer::partial;
}

bool VideoRoutes::install(TestServer& server, const std::filesystem::path& mediaDir, std::string* error)
{
    auto video = std::make_shared<VideoFiles>();
    for (const char* name : mediaFiles) {
        std::optional<std::string> content = readFile(mediaDir / name);
        if (!content) {
            if (error)
                *error = "missing " + (mediaDir / name).string() + " (scripts/make-test-media.sh makes it)";
            return false;
        }
        video->files.emplace(name, std::move(*content));
    }
    server.routePrefix(std::string(prefix), [video](const Request& request) { return video->answer(request); });
    return true;
}

}
