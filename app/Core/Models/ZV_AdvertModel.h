#pragma once

#include "app/Core/Models/ZV_AdvertDataModel.h"

#include <cstdint>
#include <string>

class JSON;

// One advert placement as the server fills it. Only `data` is shown; the other
// fields are kept as the server sent them.
struct ZV_AdvertModel {
    ZV_AdvertModel() = default;
    explicit ZV_AdvertModel(const JSON& json);

    std::string channel;
    ZV_AdvertDataModel data;
    std::int64_t location_id = 0;
    std::string remarks;
    std::int64_t type = 0;
};
