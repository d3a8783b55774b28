#pragma once

#include "platform/storage/ASModel.h"

#include <cstdint>
#include <optional>
#include <string>

// How much of a title's opening and ending the player skips: one row per title in the local
// database. Times are whole seconds; 0 means not set. The settings panels look the record up,
// update it when found and create it only when there is none.
struct ZV_PlayerTimeModel : ASModel<ZV_PlayerTimeModel> {
    std::string vod_id; // the title's id: the lookup key
    std::int64_t endProgress = 0; // seconds of the ending to skip
    std::int64_t startProgress = 0; // seconds of the opening to skip

    static const ASTable<ZV_PlayerTimeModel>& table();

    // The title's record; none when there is none or the database cannot be read (logged).
    static std::optional<ZV_PlayerTimeModel> find(const std::string& vod_id);

    enum class Part { opening, ending };
    // Stores one of the two times for the title: on its record when there is one, else on a new
    // record whose other time is 0. A failing write is logged and changes nothing else.
    static void store(const std::string& vod_id, Part part, std::int64_t seconds);
};
