#include "app/Core/Models/ZV_DetailDataListLastPlaybackModel.h"

#include "platform/json/JSON.h"

ZV_DetailDataListLastPlaybackModel::ZV_DetailDataListLastPlaybackModel(const JSON& json)
    : movie_from(json["movie_from"].stringValue())
    , episode_id(json["episode_id"].stringValue())
    , duration(json["duration"].intValue())
    , current_time(json["current_time"].intValue())
{ }
