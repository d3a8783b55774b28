#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"

#include "platform/json/JSON.h"

ZV_MessageCurrentModel::ZV_MessageCurrentModel(const JSON& json)
    : block_remain_time(json["block_remain_time"].intValue())
    , is_block(json["is_block"].intValue())
    , online_devices(json["online_devices"].intValue())
    , room_notice(json["room_notice"].stringValue())
    , member_type(json["member_type"].intValue())
{ }
