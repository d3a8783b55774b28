#pragma once

#include "platform/foundation/URLRequest.h"
#include "platform/websocket/WebSocketEvent.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace detail {

// What a connection needs from its WebSocket, copied when it opens.
struct ConnectionSettings {
    URLRequest request;
    std::string trustedCAFile; // empty: the system's store
    std::size_t maximumFrameSize = 0;
    std::size_t maximumQueuedBytes = 0;
};

// Runs on the WebSocket thread; each event of the connection goes through it once, and the last
// one is always exactly one of disconnected, error or cancelled.
using EventSink = std::function<void(WebSocketEvent)>;

// A ws or wss address taken apart. Only "ws" and "wss" (any letter case), a host (a name, an
// IPv4 address or a bracketed IPv6 address), an optional port and a path with an optional
// query are accepted; no user information, spaces or control characters.
struct WebSocketAddress {
    bool secure = false;
    std::string host; // without brackets
    std::string port; // decimal, the scheme's default when none is given
    std::string hostField; // the Host header: the host as written, with the port when it is given
    std::string target; // path and query, at least "/"
};
std::optional<WebSocketAddress> parseWebSocketURL(std::string_view url);

// One connection on the process's WebSocket thread: opened at once, then driven by the calls
// below, which are thread-safe and take effect on that thread in order.
class WebSocketConnection {
public:
    static std::shared_ptr<WebSocketConnection> open(ConnectionSettings settings, EventSink sink);
    virtual ~WebSocketConnection() = default;

    virtual void send(std::string payload, bool binary) = 0;
    // A close handshake when open; while still opening, the opening is given up (cancelled).
    virtual void close(std::uint16_t code) = 0;
    virtual void abort() = 0;
};

}
