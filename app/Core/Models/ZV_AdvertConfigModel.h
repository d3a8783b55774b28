#pragma once

#include "app/Core/Models/ZV_AdvertModel.h"

class JSON;

// The advert of each fixed place of the app. A place has an advert to show
// when its `data.image` is not empty; a key missing from the reply leaves an
// all-empty placement, never a missing one.
struct ZV_AdvertConfigModel {
    ZV_AdvertConfigModel() = default;
    explicit ZV_AdvertConfigModel(const JSON& json);

    ZV_AdvertModel collect_up;
    ZV_AdvertModel downloaded_up;
    ZV_AdvertModel index_popup;
    ZV_AdvertModel notice_up;
    ZV_AdvertModel play_record_up;
    ZV_AdvertModel player_episode_up;
    ZV_AdvertModel player_pause;
    ZV_AdvertModel player_recommend_up;
    ZV_AdvertModel projection_up;
    ZV_AdvertModel screen_index;
    ZV_AdvertModel search_input_under;
    ZV_AdvertModel search_result_up;
    ZV_AdvertModel user_index;
    ZV_AdvertModel start;
};
