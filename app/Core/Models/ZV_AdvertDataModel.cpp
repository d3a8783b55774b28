#include "app/Core/Models/ZV_AdvertDataModel.h"

#include "platform/json/JSON.h"

ZV_AdvertDataModel::ZV_AdvertDataModel(const JSON& json)
    : image(json["image"].stringValue())
    , url(json["url"].stringValue())
{ }
