// Feeds untrusted server replies through the API client's reply handling, as a hostile or broken
// server would send them. The first byte chooses what the rest is:
//   0: the body of an API reply (the second byte picks the endpoint and the encryption flag),
//      decoded and dispatched; whatever is delivered is built into every model;
//   1: JSON built straight into every model;
//   2: the reply of the multipart upload;
//   3: reply header lines, a blank line and a body: charset decoding and header lookups;
//   4: the server-address file, applied to the base URLs and the stored defaults.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_AdvertDataModel.h"
#include "app/Core/Models/ZV_AdvertModel.h"
#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/Core/Models/ZV_HomeRightModel.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_API.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

template<class Model> void build(const JSON& json)
{
    Model model(json);
    (void)model;
}

void buildEveryModel(const JSON& json)
{
    build<ZV_AdvertConfigModel>(json);
    build<ZV_AdvertDataModel>(json);
    build<ZV_AdvertModel>(json);
    build<ZV_ConfigData>(json);
    build<ZV_DetailModel>(json);
    build<ZV_DetailDataListPlayFromModel>(json);
    build<ZV_HomeRecommendModelData>(json);
    build<ZV_HomeRecommendModelDataList>(json);
    build<ZV_HomeRightModel>(json);
    build<ZV_UserInfoModel>(json);
    build<ZV_SearchMovieModel>(json);
    // The handlers that keep a model for the app.
    ZV_Network::storeAdvertConfig(json, [] {});
    ZV_Network::userInfoHandler(json, std::nullopt);
}

// Lists come as arrays of these, and replies nest them one level down.
void buildFromValueAndItsParts(const JSON& json)
{
    buildEveryModel(json);
    for (const JSON& element : json.arrayValue())
        buildEveryModel(element);
    for (const auto& [name, member] : json.dictionaryValue())
        buildEveryModel(member);
}

HTTPResponse responseWithBody(std::string_view body, bool encrypted)
{
    HTTPResponse response;
    response.statusCode = 200;
    if (encrypted)
        response.headers.emplace_back("X-App-Data-Encrypt", "true");
    response.body = Data(body.begin(), body.end());
    return response;
}

void reply(std::uint8_t choice, std::string_view body)
{
    auto api = static_cast<ZV_API>(choice % ZV_APICaseCount);
    std::optional<JSON> envelope = ZV_NetworkReply::decodeBody(responseWithBody(body, choice & 0x80));
    ZV_NetworkReply::Outcome outcome = ZV_NetworkReply::dispatch(envelope, path(api));
    if (outcome.kind == ZV_NetworkReply::Outcome::Kind::Deliver)
        buildFromValueAndItsParts(outcome.value);
    // A delivery is never an error, and only an object is an envelope.
    check(outcome.kind != ZV_NetworkReply::Outcome::Kind::Deliver || (envelope && envelope->type() == JSON::Type::Object));
}

void upload(std::uint8_t choice, std::string_view body)
{
    HTTPResponse response = responseWithBody(body, choice & 1);
    if (choice & 2)
        response.body.reset();
    ZV_NetworkReply::Outcome outcome = ZV_NetworkReply::decodeUpload(response);
    if (outcome.kind == ZV_NetworkReply::Outcome::Kind::Deliver)
        buildFromValueAndItsParts(outcome.value["data"]);
}

void headers(std::string_view text)
{
    HTTPResponse response;
    response.statusCode = 200;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty())
            break;
        std::size_t colon = line.find(':');
        response.headers.emplace_back(std::string(line.substr(0, colon)),
            colon == std::string_view::npos ? std::string() : std::string(line.substr(colon + 1)));
    }
    response.body = Data(text.begin(), text.end());
    if (std::optional<std::string> decoded = response.text())
        check(decoded->size() <= 2 * text.size());
    for (const auto& [name, value] : response.headers)
        check(headerValueIgnoringCase(response.headers, name).has_value());
    ZV_NetworkReply::decodeBody(response);
}

void domainFile(std::string_view text)
{
    HTTPResponse response = responseWithBody(text, false);
    ZV_Network::applyDomainConfig(response);
    BaseURLs::resetToDefaults();
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setSink([](std::string_view) {});
    // The stored defaults of this run live in memory-backed scratch space.
    std::filesystem::path home
        = std::filesystem::path("/dev/shm") / ("zv-api-reply-fuzz-" + std::to_string(::getpid()));
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    AppContainer::setHome(home);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(AppContainer::home(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    switch (data[0] % 5) {
    case 0:
        reply(data[1], rest);
        break;
    case 1:
        buildFromValueAndItsParts(JSON::parse(rest));
        break;
    case 2:
        upload(data[1], rest);
        break;
    case 3:
        headers(rest);
        break;
    case 4:
        domainFile(rest);
        break;
    }
    ConfigSingleton::shared().advertConfigModel.reset();
    ConfigSingleton::shared().zv_userInfoModel.reset();
    return 0;
}
