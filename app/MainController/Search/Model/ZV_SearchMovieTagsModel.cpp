#include "app/MainController/Search/Model/ZV_SearchMovieTagsModel.h"

#include "platform/json/JSON.h"

ZV_SearchMovieTagsModel::ZV_SearchMovieTagsModel(const JSON& json)
    : name(json["name"].stringValue())
    , tag_id(json["tag_id"].intValue())
    , member_id(json["member_id"].intValue())
{ }
