#include "app/Core/Models/ZV_DetailDataListPlayFromListModel.h"

ZV_DetailDataListPlayFromListModel::ZV_DetailDataListPlayFromListModel(const JSON& json)
{
    if (json.isEmpty())
        return;
    episodeId = json["episode_id"].stringValue();
    episodeName = json["episode_name"].stringValue();
    fromCode = json["from_code"].stringValue();
    playUrl = json["play_url"].stringValue();
    readyToPlay = json["ready_to_play"].boolValue();
    userAgent = json["user_agent"].stringValue();
    headers.emplace();
    // An element that is not an object still takes its place, as an empty dictionary.
    for (const JSON& element : json["headers"].arrayValue())
        headers->push_back(element.dictionaryValue());
}

void removeEpisode(std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>& list,
    const ZV_DetailDataListPlayFromListModel& episode)
{
    // Copied first: `episode` may be an element of `list`.
    const std::optional<std::string> episodeId = episode.episodeId;
    std::erase_if(list, [&](const auto& each) { return each && each->episodeId == episodeId; });
}
