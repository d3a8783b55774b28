#pragma once

#include "app/Core/Models/ZV_ConfigDataAbout.h"
#include "app/Core/Models/ZV_ConfigDataFeedback.h"
#include "app/Core/Models/ZV_ConfigDataIndex_top_nav.h"
#include "app/Core/Models/ZV_ConfigDataMovie_screen.h"

#include <string>
#include <vector>

class JSON;

// The server configuration ("v1/app/config"). Every field has a value: a key
// the reply lacks reads as empty text, 0 or an empty list.
struct ZV_ConfigData {
    ZV_ConfigData() = default;
    explicit ZV_ConfigData(const JSON& json);

    ZV_ConfigDataAbout about;
    std::vector<ZV_ConfigDataFeedback> feedback;
    std::vector<ZV_ConfigDataIndex_top_nav> index_top_nav;
    ZV_ConfigDataMovie_screen movie_screen;
    std::string share_qrcode;
    std::string new_notice; // compared with the stored "new_notice" to light the notice dots
    std::string share_link;
};
