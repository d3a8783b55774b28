#include "platform/net/HTTPHeaders.h"

#include <algorithm>
#include <cctype>

std::optional<std::string> headerValue(const HTTPHeaders& headers, std::string_view name)
{
    for (const auto& [key, value] : headers) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

bool headerNameEquals(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<std::string> headerValueIgnoringCase(const HTTPHeaders& headers, std::string_view name)
{
    for (const auto& [key, value] : headers) {
        if (headerNameEquals(key, name))
            return value;
    }
    return std::nullopt;
}
