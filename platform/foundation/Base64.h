#pragma once

#include "platform/foundation/Data.h"

#include <optional>
#include <string>
#include <string_view>

// The platform's base64: standard alphabet, "=" padding, no line breaks.
class Base64 {
public:
    static std::string encode(const Data& data);

    // Strict: length a multiple of 4, only the standard alphabet, "=" only as the last one or two
    // characters. Unused low bits of the last character are ignored, as the platform does.
    static std::optional<Data> decode(std::string_view text);
};
