#include "app/MainController/Search/Model/ZV_SearchCompleteModel.h"

#include "platform/json/JSON.h"

ZV_SearchCompleteModel::ZV_SearchCompleteModel(const JSON& json)
    : dynamic(json["dynamic"].stringValue())
    , highlight(json["highlight"].stringValue())
    , name(json["name"].stringValue())
{ }
