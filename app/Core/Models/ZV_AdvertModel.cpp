#include "app/Core/Models/ZV_AdvertModel.h"

#include "platform/json/JSON.h"

ZV_AdvertModel::ZV_AdvertModel(const JSON& json)
    : channel(json["channel"].stringValue())
    , data(json["data"])
    , location_id(json["location_id"].intValue())
    , remarks(json["remarks"].stringValue())
    , type(json["type"].intValue())
{ }
