#pragma once

#include <string>

// A parameter of a "more" link's target; filled by ZV_HomeRightModelData.
struct ZV_HomeRightModelDataParam {
    std::string classes; // sent by the server under "class"
};
