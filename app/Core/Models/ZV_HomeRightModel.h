#pragma once

#include "app/Core/Models/ZV_HomeRightModelData.h"

#include <string>

class JSON;

// A section's "more" link; an empty `text` means the section shows none.
struct ZV_HomeRightModel {
    ZV_HomeRightModel() = default;
    explicit ZV_HomeRightModel(const JSON& json);

    ZV_HomeRightModelData data;
    std::string text;
    std::string type; // "navigator" or "tabs" are acted on
};
