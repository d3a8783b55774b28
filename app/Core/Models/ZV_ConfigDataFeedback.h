#pragma once

#include <cstdint>
#include <string>

class JSON;

// One problem category of the request form; `value` is what the form sends.
struct ZV_ConfigDataFeedback {
    ZV_ConfigDataFeedback() = default;
    explicit ZV_ConfigDataFeedback(const JSON& json);

    std::string name;
    std::int64_t value = 0;
};
