#include "app/MainController/Explore/Model/ZV_MovieExploreDataListTagsModel.h"

#include "platform/json/JSON.h"

ZV_MovieExploreDataListTagsModel::ZV_MovieExploreDataListTagsModel(const JSON& json)
    : name(json["name"].stringValue())
    , tag_id(json["tag_id"].intValue())
{ }
