#include "app/Core/Models/ZV_DetailDataListTagsModel.h"

#include "platform/json/JSON.h"

ZV_DetailDataListTagsModel::ZV_DetailDataListTagsModel(const JSON& json)
    : name(json["name"].stringValue())
    , tag_id(json["tag_id"].intValue())
{ }
