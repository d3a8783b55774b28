#include "app/Core/Models/ZV_DetailDataListPlayFromModel.h"

#include "platform/json/JSON.h"

ZV_DetailDataListPlayFromModel::ZV_DetailDataListPlayFromModel(const JSON& json)
{
    if (json.isEmpty())
        return;
    code = json["code"].stringValue();
    name = json["name"].stringValue();
    tips = json["tips"].stringValue();
    total = json["total"].stringValue();
    list.emplace();
    for (const JSON& element : json["list"].arrayValue())
        list->push_back(std::make_shared<ZV_DetailDataListPlayFromListModel>(element));
}
