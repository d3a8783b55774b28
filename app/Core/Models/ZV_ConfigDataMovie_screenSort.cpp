#include "app/Core/Models/ZV_ConfigDataMovie_screenSort.h"

#include "platform/json/JSON.h"

ZV_ConfigDataMovie_screenSort::ZV_ConfigDataMovie_screenSort(const JSON& json)
    : name(json["name"].stringValue())
    , value(json["value"].stringValue())
{ }
