#pragma once

#include "app/Core/Models/ZV_AdvertModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Core/Models/ZV_HomeRightModel.h"

#include <memory>
#include <string>
#include <vector>

class JSON;

// One section of the home feed (or of the playback history). Any JSON value
// gives a section; `right` and `data` are always there, empty when not sent.
struct ZV_HomeRecommendModelData {
    ZV_HomeRecommendModelData() = default;
    explicit ZV_HomeRecommendModelData(const JSON& json);

    // Layouts that the home page shows as one cell for the whole section.
    static constexpr const char* carouselLayout = "index_recommend_carousel";
    static constexpr const char* playbackLayout = "index_recommend_playback";
    static constexpr const char* advertLayout = "advert_self";

    std::string layout;
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list;
    ZV_HomeRightModel right;
    std::string title;
    ZV_AdvertModel data; // the advert of an "advert_self" section
};
