#include "tools/testserver/StoredAddresses.h"

#include <string>

namespace testserver {

namespace {

std::string origin(const char* scheme, std::uint16_t port)
{
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + "/";
}

// Replaces the origin `from` by `to` at the start of every text.
void swapOrigins(nlohmann::json& value, const std::string& from, const std::string& to)
{
    if (value.is_string()) {
        std::string& text = value.get_ref<std::string&>();
        if (text.starts_with(from))
            text.replace(0, from.size(), to);
        return;
    }
    if (value.is_structured()) {
        for (auto& element : value)
            swapOrigins(element, from, to);
    }
}

}

void keepAddresses(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    // A port of 0 is no server's: nothing to rewrite (and nothing that would read back wrong).
    if (httpPort != 0)
        swapOrigins(value, origin("http", httpPort), origin("http", 0));
    if (httpsPort != 0)
        swapOrigins(value, origin("https", httpsPort), origin("https", 0));
}

void restoreAddresses(nlohmann::json& value, std::uint16_t httpPort, std::uint16_t httpsPort)
{
    swapOrigins(value, origin("http", 0), origin("http", httpPort));
    swapOrigins(value, origin("https", 0), origin("https", httpsPort));
}

}
