#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"

#include "platform/json/JSON.h"

ZV_HomeRecommendModelDataList::ZV_HomeRecommendModelDataList(const JSON& json)
    : id(json["id"].stringValue())
    , click(json["click"].stringValue())
    , image(json["image"].stringValue())
    , label(json["label"].stringValue())
    , sub_title(json["sub_title"].stringValue())
    , title(json["title"].stringValue())
    , type(json["type"].intValue())
    , dynamic(json["dynamic"].stringValue())
    , name(json["name"].stringValue())
    , movie_name(json["movie_name"].stringValue())
    , cover(json["cover"].stringValue())
    , movie_dynamic(json["movie_dynamic"].stringValue())
    , type_name(json["type_name"].stringValue())
    , current_time(json["current_time"].intValue())
    , duration(json["duration"].intValue())
    , episode_id(json["episode_id"].intValue())
    , episode_name(json["episode_name"].stringValue())
    , from_name(json["from_name"].stringValue())
    , movie_from(json["movie_from"].stringValue())
    , movie_id(json["movie_id"].stringValue())
{ }
