#include "app/Core/Models/ZV_ConfigDataMovie_screen.h"

#include "platform/json/JSON.h"

ZV_ConfigDataMovie_screen::ZV_ConfigDataMovie_screen(const JSON& json)
{
    for (const JSON& element : json["filter"].arrayValue())
        filter.emplace_back(element);
    for (const JSON& element : json["sort"].arrayValue())
        sort.emplace_back(element);
}
