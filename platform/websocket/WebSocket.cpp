#include "platform/websocket/WebSocket.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/websocket/detail/WebSocketConnection.h"

std::shared_ptr<WebSocket> WebSocket::create(
    URLRequest request, std::shared_ptr<FoundationSecurity> certPinner)
{
    return std::make_shared<WebSocket>(Passkey {}, std::move(request), std::move(certPinner));
}

bool WebSocket::isWebSocketURL(std::string_view url)
{
    return detail::parseWebSocketURL(url).has_value();
}

WebSocket::WebSocket(Passkey, URLRequest request, std::shared_ptr<FoundationSecurity> certPinner)
    : m_request(std::move(request))
    , m_security(certPinner ? std::move(certPinner) : std::make_shared<FoundationSecurity>())
{ }

WebSocket::~WebSocket()
{
    if (m_connection)
        m_connection->close(CloseCode::goingAway);
}

void WebSocket::connect()
{
    if (m_connection)
        m_connection->close(CloseCode::goingAway);
    std::uint64_t generation = ++m_generation;
    detail::ConnectionSettings settings;
    settings.request = m_request;
    settings.trustedCAFile = m_security->trustedCAFile();
    settings.maximumFrameSize = maximumFrameSize;
    settings.maximumQueuedBytes = maximumQueuedBytes;
    std::weak_ptr<WebSocket> weakSelf = weak_from_this();
    m_connection = detail::WebSocketConnection::open(
        std::move(settings), [weakSelf, generation](WebSocketEvent event) {
            DispatchQueue::main().async([weakSelf, generation, event = std::move(event)]() mutable {
                if (auto self = weakSelf.lock())
                    self->deliver(generation, std::move(event));
            });
        });
}

void WebSocket::disconnect(std::uint16_t closeCode)
{
    if (m_connection)
        m_connection->close(closeCode);
}

void WebSocket::forceDisconnect()
{
    if (m_connection)
        m_connection->abort();
}

void WebSocket::write(Data data)
{
    send(std::string(data.begin(), data.end()), true);
}

void WebSocket::write(std::string string)
{
    send(std::move(string), false);
}

void WebSocket::send(std::string payload, bool binary)
{
    if (!m_connection) {
        Log::write("WebSocket: nothing written, no connection was opened");
        return;
    }
    m_connection->send(std::move(payload), binary);
}

void WebSocket::deliver(std::uint64_t generation, WebSocketEvent event)
{
    if (m_detached || generation != m_generation)
        return;
    if (auto target = delegate.lock())
        target->didReceive(event, *this);
}
