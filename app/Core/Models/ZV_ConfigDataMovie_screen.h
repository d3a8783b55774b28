#pragma once

#include "app/Core/Models/ZV_ConfigDataMovie_screenFilter.h"
#include "app/Core/Models/ZV_ConfigDataMovie_screenSort.h"

#include <vector>

class JSON;

// The filter screen's groups and sort options.
struct ZV_ConfigDataMovie_screen {
    ZV_ConfigDataMovie_screen() = default;
    explicit ZV_ConfigDataMovie_screen(const JSON& json);

    std::vector<ZV_ConfigDataMovie_screenFilter> filter;
    std::vector<ZV_ConfigDataMovie_screenSort> sort;
};
