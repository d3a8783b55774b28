#include "app/Core/Models/ZV_DetailModel.h"

#include "platform/json/JSON.h"

namespace {

template<typename Model> std::vector<std::shared_ptr<Model>> sharedModels(const JSON& json)
{
    std::vector<std::shared_ptr<Model>> result;
    for (const JSON& element : json.arrayValue())
        result.push_back(std::make_shared<Model>(element));
    return result;
}

}

ZV_DetailModel::ZV_DetailModel(const JSON& json)
{
    if (json.isEmpty())
        return;
    id = json["id"].stringValue();
    hot = json["hot"].stringValue();
    year = json["year"].stringValue();
    name = json["name"].stringValue();
    cover = json["cover"].stringValue();
    content = json["content"].stringValue();
    dynamic = json["dynamic"].stringValue();
    typeName = json["type_name"].stringValue();
    blurb = json["blurb"].stringValue();
    isCollect = json["is_collect"].boolValue();
    tags = sharedModels<ZV_DetailDataListTagsModel>(json["tags"]);
    members = sharedModels<ZV_DetailDataListMembersModel>(json["members"]);
    playFrom = sharedModels<ZV_DetailDataListPlayFromModel>(json["play_from"]);
    recommendList = sharedModels<ZV_HomeRecommendModelDataList>(json["recommendList"]);
    if (JSON lastPlaybackJSON = json["last_playback"]; !lastPlaybackJSON.isEmpty())
        lastPlayback = std::make_shared<ZV_DetailDataListLastPlaybackModel>(lastPlaybackJSON);
}
