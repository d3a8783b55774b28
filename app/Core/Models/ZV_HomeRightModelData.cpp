#include "app/Core/Models/ZV_HomeRightModelData.h"

#include "platform/json/JSON.h"

ZV_HomeRightModelData::ZV_HomeRightModelData(const JSON& json)
    : page(json["page"].stringValue())
    , index(json["index"].intValue())
    , param { .classes = json["param"]["class"].stringValue() }
{ }
