#include "app/Core/Models/ZV_ConfigDataAbout.h"

#include "platform/json/JSON.h"

ZV_ConfigDataAbout::ZV_ConfigDataAbout(const JSON& json)
    : button(json["button"].stringValue())
    , link(json["link"].stringValue())
{ }
