#pragma once

#include <string>

class JSON;

// The contact entry of the About page.
struct ZV_ConfigDataAbout {
    ZV_ConfigDataAbout() = default;
    explicit ZV_ConfigDataAbout(const JSON& json);

    std::string button;
    std::string link;
};
