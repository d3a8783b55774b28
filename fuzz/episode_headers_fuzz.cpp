// Feeds untrusted episode entries (as a title's reply gives them) to the player's choice of header
// fields and playlist marking, then to the asset the player would hand its engine, and checks the
// rules: no User-Agent, no fields; a User-Agent always goes; nothing that reaches the engine could
// split a request.

#include "app/Core/Models/ZV_DetailDataListPlayFromListModel.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "platform/json/JSON.h"
#include "platform/media/SJVideoPlayerURLAsset.h"
#include "platform/net/HTTPHeaders.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    JSON json = JSON::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    ZV_DetailDataListPlayFromListModel entry(json);
    AVURLAsset::HeaderFields fields = ZV_Player::headerFields(entry);
    bool hasAgent = entry.userAgent && !entry.userAgent->empty();
    check(hasAgent || fields.empty());
    check(!hasAgent || fields.contains("User-Agent"));

    std::string address = entry.playUrl.value_or("https://media.test/index.m3u8");
    ZV_Player::isM3u8Address(address);
    AVURLAsset::Options options;
    if (!fields.empty())
        options[AVURLAssetHTTPHeaderFieldsKey] = fields;
    auto asset = SJVideoPlayerURLAsset::initWithAVAsset(AVURLAsset::URLAssetWithURL(address, options));
    if (!asset)
        return 0;
    for (const auto& [name, value] : safeHeaderFields(asset->httpHeaderFields()))
        check(isHTTPToken(name) && isSafeHeaderValue(value));
    return 0;
}
