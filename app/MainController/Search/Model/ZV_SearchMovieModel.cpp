#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"

#include "platform/json/JSON.h"

namespace {

std::vector<ZV_SearchMovieTagsModel> tagsOf(const JSON& list)
{
    std::vector<ZV_SearchMovieTagsModel> tags;
    for (const JSON& element : list.arrayValue())
        tags.emplace_back(element);
    return tags;
}

}

ZV_SearchMovieModel::ZV_SearchMovieModel(const JSON& json)
    : blurb(json["blurb"].stringValue())
    , cover(json["cover"].stringValue())
    , dynamic(json["dynamic"].stringValue())
    , highlight(json["highlight"].stringValue())
    , id(json["id"].stringValue())
    , is_collect(json["is_collect"].boolValue())
    , name(json["name"].stringValue())
    , tags(tagsOf(json["tags"]))
    , members(tagsOf(json["members"]))
    , type_name(json["type_name"].stringValue())
    , label(json["label"].stringValue())
{ }
