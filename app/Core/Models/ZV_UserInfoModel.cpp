#include "app/Core/Models/ZV_UserInfoModel.h"

#include "platform/json/JSON.h"

ZV_UserInfoModel::ZV_UserInfoModel(const JSON& json)
    : avatar(json["avatar"].stringValue())
    , create_time(json["create_time"].intValue())
    , email(json["email"].stringValue())
    , id(json["id"].stringValue())
    , login_addr(json["login_addr"].stringValue())
    , login_ip(json["login_ip"].stringValue())
    , nickname(json["nickname"].stringValue())
    , phone(json["phone"].stringValue())
    , status(json["status"].intValue())
    , username(json["username"].stringValue())
{ }
