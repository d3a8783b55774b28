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

namespace {

std::string_view trimmedField(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty()
        && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

std::size_t headBytes(const HTTPHeaders& fields)
{
    std::size_t total = 0;
    for (const auto& [name, value] : fields)
        total += name.size() + value.size();
    return total;
}

}

ReplyHeadLine addReplyHeadLine(HTTPHeaders& fields, std::string_view line)
{
    if (line.starts_with("HTTP/")) {
        fields.clear();
        return ReplyHeadLine::StatusLine;
    }
    const bool continues = !line.empty() && (line.front() == ' ' || line.front() == '\t');
    const std::size_t colon = line.find(':');
    if (continues ? fields.empty() || trimmedField(line).empty() : colon == std::string_view::npos || colon == 0)
        return ReplyHeadLine::Ignored;
    if (headBytes(fields) + line.size() > maxReplyHeadBytes || (!continues && fields.size() >= maxReplyHeadFields))
        return ReplyHeadLine::TooLarge;
    if (continues)
        fields.back().second.append(" ").append(trimmedField(line));
    else
        fields.emplace_back(std::string(line.substr(0, colon)), std::string(trimmedField(line.substr(colon + 1))));
    return ReplyHeadLine::Field;
}
