#pragma once

#include <string>

class JSON;

// One sort option of the filter screen.
struct ZV_ConfigDataMovie_screenSort {
    ZV_ConfigDataMovie_screenSort() = default;
    explicit ZV_ConfigDataMovie_screenSort(const JSON& json);

    std::string name;
    std::string value;
};
