#include "app/MainController/Ranking/Model/ZV_RankingModel.h"

#include "platform/json/JSON.h"

ZV_RankingModel::ZV_RankingModel(const JSON& json)
    : id(json["id"].stringValue())
    , title(json["title"].stringValue())
    , movie_data(titlesFrom(json["movie_data"]))
{
    for (const JSON& element : json["list"].arrayValue())
        list.emplace_back(element);
}

std::vector<std::shared_ptr<ZV_DetailModel>> ZV_RankingModel::titlesFrom(const JSON& array)
{
    std::vector<std::shared_ptr<ZV_DetailModel>> titles;
    for (const JSON& element : array.arrayValue())
        titles.push_back(std::make_shared<ZV_DetailModel>(element));
    return titles;
}

std::vector<std::shared_ptr<ZV_RankingModel>> ZV_RankingModel::rankingsFrom(const JSON& array)
{
    std::vector<std::shared_ptr<ZV_RankingModel>> rankings;
    for (const JSON& element : array.arrayValue())
        rankings.push_back(std::make_shared<ZV_RankingModel>(element));
    return rankings;
}
