#include "app/Core/Models/ZV_ConfigDataMovie_screenFilter.h"

#include "platform/json/JSON.h"

namespace {

// Each element in its text form, so a year sent as a number still shows.
std::vector<std::string> texts(const JSON& json)
{
    std::vector<std::string> result;
    for (const JSON& element : json.arrayValue())
        result.push_back(element.stringValue());
    return result;
}

}

ZV_ConfigDataMovie_screenFilter::ZV_ConfigDataMovie_screenFilter(const JSON& json)
    : area(texts(json["area"]))
    , type(texts(json["class"]))
    , id(json["id"].intValue())
    , name(json["name"].stringValue())
    , year(texts(json["year"]))
{ }
