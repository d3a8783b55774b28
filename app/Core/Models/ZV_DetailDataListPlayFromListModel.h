#pragma once

#include "platform/json/JSON.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One episode of a play source. Built from an empty JSON value (no members,
// or not an object at all) every field stays absent; otherwise every field is
// present, with the reader's default for a key the reply lacks.
struct ZV_DetailDataListPlayFromListModel {
    ZV_DetailDataListPlayFromListModel() = default;
    explicit ZV_DetailDataListPlayFromListModel(const JSON& json);

    std::optional<std::string> episodeId;
    std::optional<std::string> episodeName;
    std::optional<std::string> fromCode; // the code of the source the episode belongs to
    std::optional<std::vector<std::map<std::string, JSON>>>
        headers; // extra request header fields for the media
    std::optional<std::string> playUrl;
    std::optional<bool> readyToPlay; // true: `playUrl` plays without being resolved first
    std::optional<std::string> userAgent;
};

// Removes from the list every episode with the given episode's id; two absent
// ids count as equal, an absent and a present one as different.
void removeEpisode(std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>& list,
    const ZV_DetailDataListPlayFromListModel& episode);
