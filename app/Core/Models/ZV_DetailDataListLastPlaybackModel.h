#pragma once

#include <cstdint>
#include <string>

class JSON;

// Where the viewer last stopped in a title.
struct ZV_DetailDataListLastPlaybackModel {
    ZV_DetailDataListLastPlaybackModel() = default;
    explicit ZV_DetailDataListLastPlaybackModel(const JSON& json);

    std::string movie_from; // the play source of that playback
    std::string episode_id;
    std::int64_t duration = 0; // seconds
    std::int64_t current_time = 0; // seconds: the position reached
};
