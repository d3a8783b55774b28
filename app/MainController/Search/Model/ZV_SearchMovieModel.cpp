#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"

#include "platform/json/JSON.h"

ZV_SearchMovieModel::ZV_SearchMovieModel(const JSON& json)
    : cover(json["cover"].stringValue())
    , dynamic(json["dynamic"].stringValue())
    , label(json["label"].stringValue())
{ }
