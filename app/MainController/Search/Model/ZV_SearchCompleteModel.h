#pragma once

#include <string>

class JSON;

// One suggestion for the typed text; `name` is shown and searched for when tapped.
struct ZV_SearchCompleteModel {
    ZV_SearchCompleteModel() = default;
    explicit ZV_SearchCompleteModel(const JSON& json);

    std::string dynamic;
    std::string highlight;
    std::string name;
};
