#include "app/Core/Models/ZV_DetailDataListMembersModel.h"

#include "platform/json/JSON.h"

std::optional<ZV_DetailDataListMembersModel::membersType>
ZV_DetailDataListMembersModel::membersTypeFromRawValue(std::int64_t rawValue)
{
    switch (rawValue) {
    case 1:
        return membersType::actor;
    case 2:
        return membersType::director;
    case 3:
        return membersType::screenwriter;
    default:
        return std::nullopt;
    }
}

ZV_DetailDataListMembersModel::ZV_DetailDataListMembersModel(const JSON& json)
    : type(membersTypeFromRawValue(json["type"].intValue()).value_or(membersType::actor))
    , member_id(json["member_id"].intValue())
    , name(json["name"].stringValue())
{ }
