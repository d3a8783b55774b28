#include "app/MainController/Detail/Model/ZV_PlayerTimeModel.h"

#include "platform/foundation/Log.h"

const ASTable<ZV_PlayerTimeModel>& ZV_PlayerTimeModel::table()
{
    static const ASTable<ZV_PlayerTimeModel> table { "ZV_PlayerTimeModel",
        {
            { "vod_id", &ZV_PlayerTimeModel::vod_id },
            { "endProgress", &ZV_PlayerTimeModel::endProgress },
            { "startProgress", &ZV_PlayerTimeModel::startProgress },
        } };
    return table;
}

std::optional<ZV_PlayerTimeModel> ZV_PlayerTimeModel::find(const std::string& vod_id)
{
    auto found = findFirst(ASQuery().equal("vod_id", vod_id));
    if (!found) {
        Log::write("ZV_PlayerTimeModel: skip times not read: " + found.error());
        return std::nullopt;
    }
    return *found;
}

void ZV_PlayerTimeModel::store(const std::string& vod_id, Part part, std::int64_t seconds)
{
    std::optional<ZV_PlayerTimeModel> record = find(vod_id);
    bool found = record.has_value();
    if (!found) {
        record.emplace();
        record->vod_id = vod_id;
    }
    (part == Part::opening ? record->startProgress : record->endProgress) = seconds;
    ASStatus written = found ? record->update() : record->save();
    if (!written)
        Log::write("ZV_PlayerTimeModel: skip time not stored: " + written.error());
}
