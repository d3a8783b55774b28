#pragma once

#include <string>

class JSON;

// What an advert shows and where a tap on it leads.
struct ZV_AdvertDataModel {
    ZV_AdvertDataModel() = default;
    explicit ZV_AdvertDataModel(const JSON& json);

    std::string image;
    std::string url;
};
