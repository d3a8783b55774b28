#include "app/Core/Models/ZV_AdvertConfigModel.h"

#include "platform/json/JSON.h"

ZV_AdvertConfigModel::ZV_AdvertConfigModel(const JSON& json)
    : collect_up(json["collect_up"])
    , downloaded_up(json["downloaded_up"])
    , index_popup(json["index_popup"])
    , notice_up(json["notice_up"])
    , play_record_up(json["play_record_up"])
    , player_episode_up(json["player_episode_up"])
    , player_pause(json["player_pause"])
    , player_recommend_up(json["player_recommend_up"])
    , projection_up(json["projection_up"])
    , screen_index(json["screen_index"])
    , search_input_under(json["search_input_under"])
    , search_result_up(json["search_result_up"])
    , user_index(json["user_index"])
    , start(json["start"])
{ }
