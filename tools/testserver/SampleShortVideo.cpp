#include "tools/testserver/SampleShortVideo.h"

#include "tools/testserver/JsonText.h"
#include "tools/testserver/StaticFiles.h"
#include "tools/testserver/TestServer.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

namespace testserver {

namespace {

constexpr std::string_view kPlaceholderHost = "://127.0.0.1:0/";
constexpr long long kDefaultPageSize = 16;
constexpr long long kMaxPageSize = 50;

std::optional<std::string> readFile(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    if (!stream)
        return std::nullopt;
    return text.str();
}

// The sample's addresses, pointed at the server's own ports.
void pointAtServer(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.find(kPlaceholderHost) != std::string::npos)
            value = pointAtLoopback(text, httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            pointAtServer(element, httpPort, httpsPort);
    }
}

// The array under `key` of a data file, or none with a message.
std::optional<nlohmann::json> readList(const std::filesystem::path& file, const char* key,
    std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    std::optional<std::string> text = readFile(file);
    nlohmann::json json = text ? nlohmann::json::parse(*text, nullptr, false) : nlohmann::json();
    if (!json.is_object() || !json.contains(key) || !json[key].is_array() || json[key].empty()) {
        if (error)
            *error = std::string("needs a non-empty array \"") + key + "\": " + file.string();
        return std::nullopt;
    }
    nlohmann::json list = json[key];
    pointAtServer(list, httpPort, httpsPort);
    return list;
}

long long pageSizeOf(const nlohmann::json& parameters)
{
    // A size past either end is taken as that end (a client that asks for everything gets the
    // most a page holds); anything but a whole number is the default.
    IntegerRead read = readInteger(parameters.value("pageSize", nlohmann::json()), { 1, kMaxPageSize, true });
    switch (read.fault) {
    case IntegerFault::none:
        return *read;
    case IntegerFault::belowLow:
        return 1;
    case IntegerFault::aboveHigh:
        return kMaxPageSize;
    case IntegerFault::notInteger:
        break;
    }
    return kDefaultPageSize;
}

struct ClipRound {
    nlohmann::json clips;
    std::mutex mutex;
    std::size_t next = 0;

    nlohmann::json page(long long size)
    {
        std::lock_guard lock(mutex);
        nlohmann::json list = nlohmann::json::array();
        for (long long i = 0; i < size; ++i) {
            list.push_back(clips[next]);
            next = (next + 1) % clips.size();
        }
        return list;
    }
};

}

bool SampleShortVideo::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error)
{
    std::optional<nlohmann::json> clips
        = readList(dataDir / "api" / "short_video.json", "clips", httpPort, httpsPort, error);
    std::optional<nlohmann::json> titles
        = readList(dataDir / "api" / "explore.json", "titles", httpPort, httpsPort, error);
    if (!clips || !titles)
        return false;

    auto round = std::make_shared<ClipRound>();
    round->clips = std::move(*clips);
    api.handle("v1/video/display", [round](const ApiCall& call) {
        return ApiReply::success({ { "list", round->page(pageSizeOf(call.parameters)) } });
    });
    api.handle("v1/movie/explore/list", [list = std::move(*titles)](const ApiCall&) {
        return ApiReply::success({ { "list", list } });
    });
    return true;
}

bool SampleShortVideo::installPosterCode(
    TestServer& server, const std::filesystem::path& dataDir, std::string* error)
{
    std::optional<std::string> image = readFile(dataDir / "images" / "qrcode.png");
    if (!image) {
        if (error)
            *error = "missing " + (dataDir / "images" / "qrcode.png").string();
        return false;
    }
    server.route("/api/down/qrcode.png", [png = std::move(*image)](const Request&) {
        Reply reply;
        reply.headers.push_back({ "Content-Type", "image/png" });
        reply.body = png;
        return reply;
    });
    return true;
}

}
