#include "app/Core/Models/ZV_ConfigData.h"

#include "platform/json/JSON.h"

ZV_ConfigData::ZV_ConfigData(const JSON& json)
    : about(json["about"])
{
    for (const JSON& element : json["feedback"].arrayValue())
        feedback.emplace_back(element);
    for (const JSON& element : json["index_top_nav"].arrayValue())
        index_top_nav.emplace_back(element);
    movie_screen = ZV_ConfigDataMovie_screen(json["movie_screen"]);
    share_qrcode = json["share_qrcode"].stringValue();
    new_notice = json["new_notice"].stringValue();
    share_link = json["share_link"].stringValue();
}
