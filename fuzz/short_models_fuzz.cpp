// Feeds arbitrary text, as the short-video list and the explore list might send it, through the
// JSON reader into the short-video and explore models: the list itself, each of its items, and
// the items of `list` under an object. A model from an item that is no empty value has every
// field present, however odd the item.

#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "platform/json/JSON.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkClip(const ZV_ShortModel& clip, const JSON& json)
{
    bool filled = !json.isEmpty();
    check(clip.title.has_value() == filled && clip.playAddr.has_value() == filled
        && clip.vid.has_value() == filled);
    check(clip.mixItems.has_value() == filled);
    if (filled)
        check(clip.mixItems->size() == json["mix_items"].arrayValue().size());
}

void build(const JSON& json)
{
    checkClip(ZV_ShortModel(json), json);
    ZV_MovieExploreModel title(json);
    check(title.members.size() == json["members"].arrayValue().size());
    check(title.tags.size() == json["tags"].arrayValue().size());
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JSON json = JSON::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    build(json);
    for (const JSON& item : json.arrayValue())
        build(item);
    for (const JSON& item : json["list"].arrayValue())
        build(item);
    return 0;
}
