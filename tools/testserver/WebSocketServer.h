#pragma once

#include "tools/testserver/Upgrade.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace testserver {

// One accepted WebSocket connection. The calls are thread-safe; they take effect on the server's
// thread, in order.
class WebSocketPeer {
public:
    virtual ~WebSocketPeer() = default;

    virtual void send(std::string payload, bool binary = true) = 0;
    virtual void ping(std::string payload) = 0;
    // The close handshake.
    virtual void close(std::uint16_t code, std::string reason = {}) = 0;
    // Cuts the connection without a close frame, as a lost network would.
    virtual void drop() = 0;

    std::uint64_t id() const { return m_id; }
    bool isSecure() const { return m_secure; }

protected:
    WebSocketPeer(std::uint64_t id, bool secure)
        : m_id(id)
        , m_secure(secure)
    { }

private:
    std::uint64_t m_id;
    bool m_secure;
};

// What a WebSocket route reports, on the server's thread.
struct WebSocketCallbacks {
    // Asked before the upgrade; false refuses it with 403.
    std::function<bool(const UpgradeHandler::HTTPRequest&)> accept;
    std::function<void(const std::shared_ptr<WebSocketPeer>&)> opened;
    std::function<void(const std::shared_ptr<WebSocketPeer>&, std::string payload, bool binary)> message;
    // Once per opened peer, however it ended.
    std::function<void(const std::shared_ptr<WebSocketPeer>&)> closed;
    std::size_t maximumMessageSize = 1024 * 1024;
};

// An upgrade route that speaks WebSocket over ws and wss.
std::shared_ptr<UpgradeHandler> makeWebSocketHandler(WebSocketCallbacks callbacks);

}
