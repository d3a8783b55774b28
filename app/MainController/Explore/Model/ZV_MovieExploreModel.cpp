#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"

#include "platform/json/JSON.h"

ZV_MovieExploreModel::ZV_MovieExploreModel(const JSON& json)
    : blurb(json["blurb"].stringValue())
    , cover(json["cover"].stringValue())
    , id(json["id"].stringValue())
    , name(json["name"].stringValue())
    , year(json["year"].stringValue())
{
    for (const JSON& member : json["members"].arrayValue())
        members.emplace_back(member);
    for (const JSON& tag : json["tags"].arrayValue())
        tags.emplace_back(tag);
}
