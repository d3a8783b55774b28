#include "app/Core/Models/ZV_ConfigDataIndex_top_nav.h"

#include "platform/json/JSON.h"

ZV_ConfigDataIndex_top_nav::ZV_ConfigDataIndex_top_nav(const JSON& json)
    : id(json["id"].intValue())
    , name(json["name"].stringValue())
{ }
