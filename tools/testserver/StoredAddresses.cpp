#include "tools/testserver/StoredAddresses.h"

namespace testserver {

namespace {

std::string origin(const char* scheme, std::uint16_t port)
{
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + "/";
}

// `text` with the origin `from` at its start replaced by `to`; none when it does not start so.
std::optional<std::string> swapOrigin(std::string_view text, const std::string& from, const std::string& to)
{
    if (!text.starts_with(from))
        return std::nullopt;
    return to + std::string(text.substr(from.size()));
}

}

std::optional<std::string> keptAddress(std::string_view text, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    // A port of 0 is no server's: an address on it is nobody's to keep.
    if (httpPort != 0) {
        if (std::optional<std::string> kept = swapOrigin(text, origin("http", httpPort), origin("http", 0)))
            return kept;
    }
    if (httpsPort != 0)
        return swapOrigin(text, origin("https", httpsPort), origin("https", 0));
    return std::nullopt;
}

std::string restoredAddress(std::string text, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (std::optional<std::string> http = swapOrigin(text, origin("http", 0), origin("http", httpPort)))
        return std::move(*http);
    if (std::optional<std::string> https = swapOrigin(text, origin("https", 0), origin("https", httpsPort)))
        return std::move(*https);
    return text;
}

void restoreAddresses(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    if (value.is_string()) {
        value = restoredAddress(value.get<std::string>(), httpPort, httpsPort);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            restoreAddresses(element, httpPort, httpsPort);
    }
}

}
