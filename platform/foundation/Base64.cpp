#include "platform/foundation/Base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}

std::string Base64::encode(const Data& data)
{
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= data.size(); i += 3) {
        std::uint32_t block
            = (std::uint32_t(data[i]) << 16) | (std::uint32_t(data[i + 1]) << 8) | data[i + 2];
        out += kAlphabet[(block >> 18) & 63];
        out += kAlphabet[(block >> 12) & 63];
        out += kAlphabet[(block >> 6) & 63];
        out += kAlphabet[block & 63];
    }
    std::size_t left = data.size() - i;
    if (left == 1) {
        std::uint32_t block = std::uint32_t(data[i]) << 16;
        out += kAlphabet[(block >> 18) & 63];
        out += kAlphabet[(block >> 12) & 63];
        out += "==";
    } else if (left == 2) {
        std::uint32_t block = (std::uint32_t(data[i]) << 16) | (std::uint32_t(data[i + 1]) << 8);
        out += kAlphabet[(block >> 18) & 63];
        out += kAlphabet[(block >> 12) & 63];
        out += kAlphabet[(block >> 6) & 63];
        out += '=';
    }
    return out;
}

std::optional<Data> Base64::decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') {
        padding = 1;
        if (text[text.size() - 2] == '=')
            padding = 2;
    }
    Data out;
    out.reserve(text.size() / 4 * 3);
    const std::size_t dataChars = text.size() - padding;
    std::uint32_t block = 0;
    int bits = 0;
    for (std::size_t i = 0; i < dataChars; ++i) {
        int value = sextet(text[i]);
        if (value < 0)
            return std::nullopt;
        block = (block << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((block >> bits) & 0xFF));
        }
    }
    return out;
}
