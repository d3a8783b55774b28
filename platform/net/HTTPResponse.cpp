#include "platform/net/HTTPResponse.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowercased(std::string_view text)
{
    std::string out(text);
    std::ranges::transform(
        out, out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The charset parameter of a Content-Type value, lowercased; empty when there is none.
std::string charsetOf(std::string_view contentType)
{
    std::string lower = lowercased(contentType);
    size_t pos = lower.find("charset=");
    if (pos == std::string::npos)
        return {};
    std::string value = lower.substr(pos + 8);
    value = value.substr(0, value.find(';'));
    std::erase_if(value, [](char c) { return c == '"' || c == ' ' || c == '\t'; });
    return value;
}

bool isValidUTF8(const Data& bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        std::uint8_t lead = bytes[i];
        size_t length;
        std::uint32_t min;
        std::uint32_t codePoint;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, min = 0x80, codePoint = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, min = 0x800, codePoint = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (bytes[i + k] & 0x3F);
        }
        if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string latin1ToUTF8(const Data& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::uint8_t byte : bytes) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

}

std::string_view errorCodeName(HTTPError::Code code)
{
    switch (code) {
    case HTTPError::Code::InvalidURL:
        return "InvalidURL";
    case HTTPError::Code::CannotFindHost:
        return "CannotFindHost";
    case HTTPError::Code::CannotConnect:
        return "CannotConnect";
    case HTTPError::Code::TimedOut:
        return "TimedOut";
    case HTTPError::Code::SecureConnectionFailed:
        return "SecureConnectionFailed";
    case HTTPError::Code::ConnectionLost:
        return "ConnectionLost";
    case HTTPError::Code::EmptyBody:
        return "EmptyBody";
    case HTTPError::Code::TooLarge:
        return "TooLarge";
    case HTTPError::Code::InsecureRedirect:
        return "InsecureRedirect";
    case HTTPError::Code::Cancelled:
        return "Cancelled";
    case HTTPError::Code::Other:
        return "Other";
    }
    return "Other";
}

std::optional<std::string> HTTPResponse::text() const
{
    if (!body)
        return std::nullopt;
    std::string charset = charsetOf(headerValueIgnoringCase(headers, "Content-Type").value_or(""));
    if (charset == "iso-8859-1" || charset == "latin1" || charset == "iso_8859-1" || charset == "l1")
        return latin1ToUTF8(*body);
    if (charset == "us-ascii" || charset == "ascii") {
        if (std::ranges::any_of(*body, [](std::uint8_t byte) { return byte >= 0x80; }))
            return std::nullopt;
        return stringFromData(*body);
    }
    if (!isValidUTF8(*body))
        return std::nullopt;
    return stringFromData(*body);
}
