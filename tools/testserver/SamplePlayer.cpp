#include "tools/testserver/SamplePlayer.h"

#include "tools/testserver/StaticFiles.h"

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace testserver {

namespace {

bool fail(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
    return false;
}

}

bool SamplePlayer::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, std::string* error)
{
    std::filesystem::path file = dataDir / "api" / "player.json";
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || !json.is_object() || !json.value("addresses", nlohmann::json()).is_object())
        return fail(error, "not the player's sample file: " + file.string());

    auto addresses = std::make_shared<std::map<std::string, std::string>>();
    for (const auto& [playURL, resolved] : json["addresses"].items()) {
        if (!resolved.is_string())
            return fail(error, "player.json: the address of " + playURL + " is not a text");
        (*addresses)[playURL] = pointAtLoopback(resolved.get<std::string>(), httpPort, httpsPort);
    }
    nlohmann::json unresolved = json.value("unresolved", nlohmann::json::object());
    int failCode = unresolved.value("errorCode", 1101);
    std::string failMessage = unresolved.value("msg", "解析失败");
    std::string reportMessage = json.value("report", nlohmann::json::object()).value("msg", "success");

    api.handle("v1/movie_addr/parse", [addresses, failCode, failMessage](const ApiCall& call) {
        nlohmann::json playURL = call.parameters.value("play_url", nlohmann::json());
        auto found = playURL.is_string() ? addresses->find(playURL.get<std::string>()) : addresses->end();
        if (found == addresses->end())
            return ApiReply::error(failCode, failMessage);
        return ApiReply::success({ { "url", found->second } });
    });
    api.handle("v1/movie_play/report", [reportMessage](const ApiCall&) {
        return ApiReply::success(nlohmann::json::object(), reportMessage);
    });
    return true;
}

}
