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

bool isHTTPToken(std::string_view text)
{
    constexpr std::string_view marks = "!#$%&'*+-.^_`|~";
    return !text.empty() && std::ranges::all_of(text, [&](char c) {
        bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        return alphanumeric || marks.find(c) != std::string_view::npos;
    });
}

bool isSafeHeaderValue(std::string_view value)
{
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

HTTPHeaders safeHeaderFields(const HTTPHeaders& fields)
{
    HTTPHeaders safe;
    for (const auto& [name, value] : fields) {
        if (isHTTPToken(name) && isSafeHeaderValue(value))
            safe.emplace_back(name, value);
    }
    return safe;
}
