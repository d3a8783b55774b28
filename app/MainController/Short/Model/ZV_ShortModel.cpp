#include "app/MainController/Short/Model/ZV_ShortModel.h"

#include "platform/json/JSON.h"

ZV_ShortModel::ZV_ShortModel(const JSON& json)
{
    if (json.isEmpty())
        return;
    avatar = json["avatar"].stringValue();
    cover = json["cover"].stringValue();
    cover1 = json["cover_1"].stringValue();
    createTime = json["create_time"].intValue();
    desc = json["desc"].stringValue();
    douban = json["douban"].stringValue();
    mixId = json["mix_id"].intValue();
    mixItems.emplace();
    for (const JSON& item : json["mix_items"].arrayValue())
        mixItems->emplace_back(item);
    mixName = json["mix_name"].stringValue();
    nickname = json["nickname"].stringValue();
    no = json["no"].intValue();
    playAddr = json["play_addr"].stringValue();
    title = json["title"].stringValue();
    type = json["type"].intValue();
    updateTime = json["update_time"].doubleValue();
    vid = json["vid"].stringValue();
}
