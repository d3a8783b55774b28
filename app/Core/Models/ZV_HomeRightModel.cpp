#include "app/Core/Models/ZV_HomeRightModel.h"

#include "platform/json/JSON.h"

ZV_HomeRightModel::ZV_HomeRightModel(const JSON& json)
    : data(json["data"])
    , text(json["text"].stringValue())
    , type(json["type"].stringValue())
{ }
