#include "app/Core/Models/ZV_HomeRecommendModelData.h"

#include "platform/json/JSON.h"

ZV_HomeRecommendModelData::ZV_HomeRecommendModelData(const JSON& json)
    : layout(json["layout"].stringValue())
    , right(json["right"])
    , title(json["title"].stringValue())
    , data(json["data"])
{
    for (const JSON& element : json["list"].arrayValue())
        list.push_back(std::make_shared<ZV_HomeRecommendModelDataList>(element));
}
