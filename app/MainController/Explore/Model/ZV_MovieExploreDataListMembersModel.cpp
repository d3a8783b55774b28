#include "app/MainController/Explore/Model/ZV_MovieExploreDataListMembersModel.h"

#include "platform/json/JSON.h"

ZV_MovieExploreDataListMembersModel::ZV_MovieExploreDataListMembersModel(const JSON& json)
    : member_id(json["member_id"].intValue())
    , name(json["name"].stringValue())
    , type(json["type"].intValue())
{ }
