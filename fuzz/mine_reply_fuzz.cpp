// Feeds untrusted replies of the viewer's own lists into what the pages make of them: the
// playback history's sections with each entry's progress text and the ids a deletion sends, and
// each notice's time text. The bytes are the JSON of a reply's delivered `data`.

#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/MainController/Mine/Message/ZV_MessageCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackCell.h"
#include "platform/json/JSON.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JSON json = JSON::parse(std::string_view(reinterpret_cast<const char*>(data), size));

    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> entries;
    for (const JSON& section : json.arrayValue()) {
        ZV_HomeRecommendModelData model(section);
        for (const auto& entry : model.list) {
            std::string text = ZV_PlaybackCell::progressText(*entry);
            // The update text always leads; a percentage only with a positive length.
            check(text.starts_with(entry->dynamic));
            check(entry->duration >= 1 || text == entry->dynamic);
            entry->isSel = entry->id.size() % 2 == 0;
            entries.push_back(entry);
        }
    }
    std::string ids = editmode::joinSelectedIds(entries);
    std::size_t selected = editmode::selectedCount(entries);
    check(selected <= entries.size());
    check(selected > 0 || ids.empty());

    for (const JSON& notice : json["list"].arrayValue()) {
        std::string time = ZV_MessageCell::timeText(notice["update_time"].intValue());
        check(time.empty() || time.size() >= 16);
    }
    return 0;
}
