#pragma once

// Shared by the value type, the reader and the writer; not for users of JSON.

#include "platform/json/JSON.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct JSON::Storage {
    std::variant<std::string, std::vector<JSON>, std::vector<JSON::Member>> value;
};

namespace detail {

// Parses one JSON text (top-level scalars included); nullopt when it is not JSON.
std::optional<JSON> readJSON(std::string_view text);

// Length of the UTF-8 sequence that starts at text[i] (a byte of 0x80 or more),
// or 0 when it is not well formed: overlong forms, surrogates and code points
// above U+10FFFF are refused.
inline std::size_t utf8SequenceLength(std::string_view text, std::size_t i)
{
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (length > text.size() - i)
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

}
