#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/URLRequest.h"
#include "platform/websocket/FoundationSecurity.h"
#include "platform/websocket/WebSocketEvent.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class WebSocket;

namespace detail {
class WebSocketConnection;
}

class WebSocketDelegate {
public:
    virtual ~WebSocketDelegate() = default;
    // Main queue, one event at a time.
    virtual void didReceive(const WebSocketEvent& event, WebSocket& client) = 0;
};

// A WebSocket client for ws and wss addresses. Connections run on the process's WebSocket thread;
// their events are posted to the main queue and handed to the delegate there.
//
// Each connect() starts a new connection and ends the previous one of this object: events of an
// earlier connection are dropped, as are all events once the socket is detached or gone. The
// opening (name lookup, TCP, TLS, upgrade) must finish within the request's time-out, or an error
// event reports it. Incoming messages above maximumFrameSize end the connection with an error.
//
// Main thread only.
class WebSocket : public std::enable_shared_from_this<WebSocket> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static constexpr std::size_t maximumFrameSize = 1024 * 1024;
    // Outgoing bytes that may wait for the network; a write beyond it is refused.
    static constexpr std::size_t maximumQueuedBytes = 8 * 1024 * 1024;

    // certPinner: how the server's certificate is checked (none: the configured authorities).
    static std::shared_ptr<WebSocket> create(
        URLRequest request, std::shared_ptr<FoundationSecurity> certPinner = nullptr);
    WebSocket(Passkey, URLRequest request, std::shared_ptr<FoundationSecurity> certPinner);
    // Ends the connection with a close handshake that runs on without this object.
    ~WebSocket();
    WebSocket(const WebSocket&) = delete;
    WebSocket& operator=(const WebSocket&) = delete;

    // Held weakly: a delegate that is gone gets nothing.
    std::weak_ptr<WebSocketDelegate> delegate;

    // Whether connect() can open the address: ws or wss, a host, a valid port.
    static bool isWebSocketURL(std::string_view url);

    const URLRequest& request() const { return m_request; }

    void connect();
    // Starts the close handshake; the disconnected event follows when it ends.
    void disconnect(std::uint16_t closeCode = CloseCode::normal);
    // Drops the connection at once; the cancelled event follows.
    void forceDisconnect();
    // One binary message, or one text message. Dropped (with a log line) while no connection is
    // open; an error event reports a message that is too big or a full queue.
    void write(Data data);
    void write(std::string string);
    // From now on no event of this socket reaches its delegate; the connection stays as it is.
    void detach() { m_detached = true; }
    bool isDetached() const { return m_detached; }

private:
    void deliver(std::uint64_t generation, WebSocketEvent event);
    void send(std::string payload, bool binary);

    URLRequest m_request;
    std::shared_ptr<FoundationSecurity> m_security;
    std::shared_ptr<detail::WebSocketConnection> m_connection;
    std::uint64_t m_generation = 0;
    bool m_detached = false;
};
