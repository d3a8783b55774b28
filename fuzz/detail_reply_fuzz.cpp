// Feeds untrusted title replies into what the title page makes of them: the title, the episode
// it starts with, a switch to each source with the episodes of another source's list, the pages
// of the episode sheet and the texts of the intro sheet and the poster. The bytes are the JSON of
// a detail reply's delivered `data`.

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/Conrtoller/ZV_ShareVC.h"
#include "app/MainController/Detail/View/ZV_DetailsContentView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"
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

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JSON json = JSON::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    ZV_DetailModel model(json);

    std::optional<std::string> start = ZV_DetailVC::startEpisode(model);
    check(!start || ZV_DetailVC::sourceInUse(model) != nullptr);
    ZV_PlayerInfoCell::infoText(model, " | ");
    ZV_ShareVC::actorLine(model);
    ZV_DetailsContentView::creditsText(model);

    // Each source's code switched to, with the episodes that an address list of the input gives.
    ZV_DetailVC::Episodes list;
    for (const JSON& element : json["addresses"].arrayValue())
        list.push_back(std::make_shared<ZV_DetailDataListPlayFromListModel>(element));
    std::vector<std::string> codes;
    if (model.playFrom) {
        for (const auto& source : *model.playFrom)
            codes.push_back(source && source->code ? *source->code : std::string());
    }
    std::optional<std::string> current = start;
    for (const std::string& code : codes) {
        current = ZV_DetailVC::switchSource(model, code, list, current, json["position"].doubleValue());
        // Only sources of the picked code keep episodes.
        for (const auto& source : *model.playFrom) {
            if (source && source->list && !source->list->empty())
                check(source->code.value_or("") == code);
        }
        check(model.lastPlayback != nullptr);
    }

    if (auto source = ZV_DetailVC::sourceInUse(model)) {
        std::vector<std::string> ranges = ZV_SelectEpisodeContentView::ranges(source->list->size());
        std::size_t paged = 0;
        for (const std::string& range : ranges)
            paged += ZV_SelectEpisodeContentView::pageEpisodes(range, *source->list).size();
        check(source->list->size() <= 50 ? paged == source->list->size() * ranges.size() : paged == source->list->size());
    }
    return 0;
}
