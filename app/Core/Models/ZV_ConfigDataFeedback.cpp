#include "app/Core/Models/ZV_ConfigDataFeedback.h"

#include "platform/json/JSON.h"

ZV_ConfigDataFeedback::ZV_ConfigDataFeedback(const JSON& json)
    : name(json["name"].stringValue())
    , value(json["value"].intValue())
{ }
