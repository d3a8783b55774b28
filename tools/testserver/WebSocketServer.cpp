#include "tools/testserver/WebSocketServer.h"

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <deque>
#include <optional>

namespace testserver {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;

std::atomic<std::uint64_t> g_nextPeer { 1 };

template<class Layer> class Peer : public WebSocketPeer, public std::enable_shared_from_this<Peer<Layer>> {
public:
    Peer(Layer&& layer, std::shared_ptr<const WebSocketCallbacks> callbacks)
        : WebSocketPeer(g_nextPeer++, !std::is_same_v<Layer, beast::tcp_stream>)
        , m_callbacks(std::move(callbacks))
        , m_ws(std::move(layer))
    { }

    void start(UpgradeHandler::HTTPRequest request)
    {
        if (m_callbacks->accept && !m_callbacks->accept(request))
            return refuse(request);
        websocket::stream_base::timeout timeouts
            = websocket::stream_base::timeout::suggested(beast::role_type::server);
        timeouts.idle_timeout = websocket::stream_base::none();
        timeouts.keep_alive_pings = false;
        m_ws.set_option(timeouts);
        m_ws.read_message_max(m_callbacks->maximumMessageSize);
        m_ws.async_accept(request, [self = this->shared_from_this()](beast::error_code ec) {
            if (ec)
                return self->end();
            self->m_open = true;
            if (self->m_callbacks->opened)
                self->m_callbacks->opened(self);
            self->read();
        });
    }

    void send(std::string payload, bool binary) override
    {
        asio::post(m_ws.get_executor(),
            [self = this->shared_from_this(), payload = std::move(payload), binary]() mutable {
                if (!self->m_open || self->m_closing)
                    return;
                self->m_queue.push_back({ std::move(payload), binary, false });
                self->writeNext();
            });
    }

    void ping(std::string payload) override
    {
        asio::post(
            m_ws.get_executor(), [self = this->shared_from_this(), payload = std::move(payload)]() mutable {
                if (!self->m_open || self->m_closing)
                    return;
                self->m_queue.push_back({ std::move(payload), false, true });
                self->writeNext();
            });
    }

    void close(std::uint16_t code, std::string reason) override
    {
        asio::post(m_ws.get_executor(), [self = this->shared_from_this(), code, reason = std::move(reason)] {
            if (!self->m_open || self->m_closing)
                return;
            self->m_closing = true;
            self->m_closeReason.code = code;
            self->m_closeReason.reason = reason;
            if (!self->m_writing)
                self->closeNow();
        });
    }

    void drop() override
    {
        asio::post(m_ws.get_executor(), [self = this->shared_from_this()] {
            beast::error_code ignored;
            beast::get_lowest_layer(self->m_ws)
                .socket()
                .shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
            beast::get_lowest_layer(self->m_ws).close();
            self->end();
        });
    }

private:
    struct Outgoing {
        std::string payload;
        bool binary;
        bool ping;
    };

    void refuse(const UpgradeHandler::HTTPRequest& request)
    {
        auto response
            = std::make_shared<http::response<http::string_body>>(http::status::forbidden, request.version());
        response->set(http::field::content_type, "text/plain");
        response->body() = "refused\n";
        response->keep_alive(false);
        response->prepare_payload();
        http::async_write(m_ws.next_layer(), *response,
            [self = this->shared_from_this(), response](beast::error_code, std::size_t) {
                beast::error_code ignored;
                beast::get_lowest_layer(self->m_ws)
                    .socket()
                    .shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
                beast::get_lowest_layer(self->m_ws).close();
            });
    }

    void read()
    {
        m_ws.async_read(m_buffer, [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec)
                return self->end();
            std::string payload = beast::buffers_to_string(self->m_buffer.data());
            self->m_buffer.consume(self->m_buffer.size());
            if (self->m_callbacks->message)
                self->m_callbacks->message(self, std::move(payload), self->m_ws.got_binary());
            self->read();
        });
    }

    void writeNext()
    {
        if (m_writing || m_queue.empty())
            return;
        m_writing = true;
        Outgoing& next = m_queue.front();
        auto done = [self = this->shared_from_this()](beast::error_code ec, std::size_t = 0) {
            self->m_writing = false;
            self->m_queue.pop_front();
            if (ec)
                return self->end();
            if (self->m_closing)
                return self->closeNow();
            self->writeNext();
        };
        if (next.ping) {
            m_ws.async_ping(websocket::ping_data(next.payload.substr(0, 125).c_str()),
                [done](beast::error_code ec) { done(ec); });
            return;
        }
        m_ws.binary(next.binary);
        m_ws.async_write(asio::buffer(next.payload), done);
    }

    void closeNow()
    {
        m_queue.clear();
        m_ws.async_close(
            m_closeReason, [self = this->shared_from_this()](beast::error_code) { self->end(); });
    }

    void end()
    {
        if (m_ended)
            return;
        m_ended = true;
        bool wasOpen = m_open;
        m_open = false;
        if (wasOpen && m_callbacks->closed)
            m_callbacks->closed(this->shared_from_this());
    }

    std::shared_ptr<const WebSocketCallbacks> m_callbacks;
    websocket::stream<Layer> m_ws;
    beast::flat_buffer m_buffer;
    std::deque<Outgoing> m_queue;
    websocket::close_reason m_closeReason;
    bool m_open = false;
    bool m_writing = false;
    bool m_closing = false;
    bool m_ended = false;
};

class Handler : public UpgradeHandler {
public:
    explicit Handler(WebSocketCallbacks callbacks)
        : m_callbacks(std::make_shared<const WebSocketCallbacks>(std::move(callbacks)))
    { }

    void upgrade(beast::tcp_stream&& stream, HTTPRequest request) override
    {
        std::make_shared<Peer<beast::tcp_stream>>(std::move(stream), m_callbacks)->start(std::move(request));
    }

    void upgrade(beast::ssl_stream<beast::tcp_stream>&& stream, HTTPRequest request) override
    {
        std::make_shared<Peer<beast::ssl_stream<beast::tcp_stream>>>(std::move(stream), m_callbacks)
            ->start(std::move(request));
    }

private:
    std::shared_ptr<const WebSocketCallbacks> m_callbacks;
};

}

std::shared_ptr<UpgradeHandler> makeWebSocketHandler(WebSocketCallbacks callbacks)
{
    return std::make_shared<Handler>(std::move(callbacks));
}

}
