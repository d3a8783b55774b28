#pragma once

#include "app/Core/Models/ZV_DetailDataListLastPlaybackModel.h"
#include "app/Core/Models/ZV_DetailDataListMembersModel.h"
#include "app/Core/Models/ZV_DetailDataListPlayFromModel.h"
#include "app/Core/Models/ZV_DetailDataListTagsModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class JSON;

// One title as the detail reply describes it. The detail page, the player and
// the pickers share one instance (hold it in a std::shared_ptr) and see each
// other's changes to `isCollect`, `lastPlayback` and the episode lists.
//
// Built from an empty JSON value (no members, or not an object at all) every
// field stays absent, the lists included. Otherwise every text, `isCollect`
// and the four lists are present, with the reader's default for a key the
// reply lacks; `lastPlayback` is set only when the reply has a non-empty one.
struct ZV_DetailModel {
    ZV_DetailModel() = default;
    explicit ZV_DetailModel(const JSON& json);

    std::optional<std::string> id;
    std::optional<std::string> hot; // popularity figure
    std::optional<std::string> name;
    std::optional<std::string> year;
    std::optional<std::string> cover;
    std::optional<bool> isCollect;
    std::optional<std::string> dynamic;
    std::optional<std::string> content; // synopsis
    std::optional<std::string> typeName;
    std::optional<std::string> blurb;
    std::optional<std::vector<std::shared_ptr<ZV_DetailDataListTagsModel>>> tags;
    std::optional<std::vector<std::shared_ptr<ZV_DetailDataListMembersModel>>> members;
    std::optional<std::vector<std::shared_ptr<ZV_DetailDataListPlayFromModel>>> playFrom;
    std::optional<std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>> recommendList;
    std::shared_ptr<ZV_DetailDataListLastPlaybackModel> lastPlayback; // null when absent
};
