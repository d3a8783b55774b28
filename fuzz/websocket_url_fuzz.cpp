// Feeds arbitrary text to the WebSocket address parser, as the server-address file can hand it
// any chat address. What it accepts must be something a connection can be opened to.

#include "platform/websocket/detail/WebSocketConnection.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<detail::WebSocketAddress> address = detail::parseWebSocketURL(text);
    if (!address)
        return 0;
    check(!address->host.empty());
    check(!address->target.empty() && address->target.front() == '/');
    unsigned port = 0;
    auto [end, ec] = std::from_chars(address->port.data(), address->port.data() + address->port.size(), port);
    check(ec == std::errc() && end == address->port.data() + address->port.size() && port >= 1
        && port <= 65535);
    for (char c : address->hostField + address->target)
        check(static_cast<unsigned char>(c) > 0x20 && c != 0x7f);
    return 0;
}
