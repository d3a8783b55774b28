#pragma once

#include "app/Core/Models/ZV_HomeRightModelDataParam.h"

#include <cstdint>
#include <string>

class JSON;

// Where a section's "more" link leads: a page name or a home tab index.
struct ZV_HomeRightModelData {
    ZV_HomeRightModelData() = default;
    explicit ZV_HomeRightModelData(const JSON& json);

    std::string page;
    std::int64_t index = 0;
    ZV_HomeRightModelDataParam param;
};
