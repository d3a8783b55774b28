#include "platform/websocket/detail/WebSocketConnection.h"

#include "platform/crypto/OpenSSLLibrary.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <charconv>
#include <chrono>
#include <deque>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <thread>
#include <type_traits>

namespace detail {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;

constexpr std::string_view userAgent = "Zentavo-WebSocket";
constexpr std::size_t readChunk = 64 * 1024;

// The one thread of every connection. It lives until the process ends; connections still open
// then are dropped with it.
class WebSocketThread {
public:
    static WebSocketThread& shared()
    {
        static WebSocketThread thread;
        return thread;
    }

    asio::io_context& context() { return m_io; }

    ~WebSocketThread()
    {
        m_guard.reset();
        m_io.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    WebSocketThread()
        : m_guard(asio::make_work_guard(m_io))
        , m_thread([this] { run(); })
    { }

    void run()
    {
        for (;;) {
            try {
                m_io.run();
                return;
            } catch (const std::exception& error) {
                Log::write(std::string("WebSocket: a handler failed: ") + error.what());
            }
        }
    }

    asio::io_context m_io;
    asio::executor_work_guard<asio::io_context::executor_type> m_guard;
    std::thread m_thread;
};

bool isUnreserved(char c)
{
    return static_cast<unsigned char>(c) > 0x20 && c != 0x7f && c != ' ';
}

WSError makeError(WSError::ErrorType type, std::string message, std::uint16_t code = 0)
{
    return WSError { type, std::move(message), code };
}

template<bool Secure>
class Session : public WebSocketConnection, public std::enable_shared_from_this<Session<Secure>> {
    using Layer = std::conditional_t<Secure, beast::ssl_stream<beast::tcp_stream>, beast::tcp_stream>;
    using Stream = websocket::stream<Layer>;

public:
    Session(ConnectionSettings settings, WebSocketAddress address, EventSink sink,
        std::shared_ptr<ssl::context> tls)
        : m_settings(std::move(settings))
        , m_address(std::move(address))
        , m_sink(std::move(sink))
        , m_tls(std::move(tls))
        , m_resolver(WebSocketThread::shared().context())
        , m_ws(makeStream())
        , m_deadline(WebSocketThread::shared().context())
    { }

    void start()
    {
        asio::post(m_ws.get_executor(), [self = this->shared_from_this()] { self->resolve(); });
    }

    void send(std::string payload, bool binary) override
    {
        asio::post(m_ws.get_executor(),
            [self = this->shared_from_this(), payload = std::move(payload), binary]() mutable {
                self->enqueue(std::move(payload), binary);
            });
    }

    void close(std::uint16_t code) override
    {
        asio::post(m_ws.get_executor(), [self = this->shared_from_this(), code] { self->beginClose(code); });
    }

    void abort() override
    {
        asio::post(m_ws.get_executor(),
            [self = this->shared_from_this()] { self->finish(WebSocketEvent::cancelled()); });
    }

private:
    enum class State { opening, open, closing, ended };
    struct Outgoing {
        std::string payload;
        bool binary;
    };

    Stream makeStream()
    {
        if constexpr (Secure)
            return Stream(WebSocketThread::shared().context(), *m_tls);
        else
            return Stream(WebSocketThread::shared().context());
    }

    std::chrono::steady_clock::duration openingTime() const
    {
        double seconds = std::clamp(m_settings.request.timeoutInterval, 0.001, 3600.0);
        return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds));
    }

    void resolve()
    {
        if (m_state != State::opening)
            return;
        m_openedBy = std::chrono::steady_clock::now() + openingTime();
        m_deadline.expires_at(m_openedBy);
        m_deadline.async_wait([self = this->shared_from_this()](beast::error_code ec) {
            if (!ec && self->m_state == State::opening)
                self->fail(makeError(WSError::ErrorType::connectionError, "the connection timed out"));
        });
        m_resolver.async_resolve(m_address.host, m_address.port,
            [self = this->shared_from_this()](beast::error_code ec, tcp::resolver::results_type results) {
                if (self->m_state != State::opening)
                    return;
                if (ec)
                    return self->fail(makeError(WSError::ErrorType::connectionError,
                        "cannot find host " + self->m_address.host + ": " + ec.message()));
                self->connectTo(results);
            });
    }

    void connectTo(const tcp::resolver::results_type& results)
    {
        beast::get_lowest_layer(m_ws).async_connect(
            results, [self = this->shared_from_this()](beast::error_code ec, const tcp::endpoint&) {
                if (self->m_state != State::opening)
                    return;
                if (ec)
                    return self->fail(makeError(WSError::ErrorType::connectionError,
                        "cannot connect to " + self->m_address.hostField + ": " + ec.message()));
                if constexpr (Secure)
                    self->secure();
                else
                    self->upgrade();
            });
    }

    void secure()
    {
        if constexpr (Secure) {
            SSL* handle = m_ws.next_layer().native_handle();
            beast::error_code ec;
            asio::ip::make_address(m_address.host, ec);
            bool verifiable = ec
                ? SSL_set_tlsext_host_name(handle, m_address.host.c_str()) == 1
                    && SSL_set1_host(handle, m_address.host.c_str()) == 1
                : X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(handle), m_address.host.c_str()) == 1;
            if (!verifiable)
                return fail(
                    makeError(WSError::ErrorType::securityError, "cannot check the host " + m_address.host));
            m_ws.next_layer().async_handshake(
                ssl::stream_base::client, [self = this->shared_from_this()](beast::error_code ec) {
                    if (self->m_state != State::opening)
                        return;
                    if (ec)
                        return self->fail(makeError(
                            WSError::ErrorType::securityError, "TLS handshake failed: " + ec.message()));
                    self->upgrade();
                });
        }
    }

    void upgrade()
    {
        auto left = std::max<std::chrono::steady_clock::duration>(
            m_openedBy - std::chrono::steady_clock::now(), std::chrono::milliseconds(1));
        websocket::stream_base::timeout timeouts;
        timeouts.handshake_timeout = left;
        timeouts.idle_timeout = websocket::stream_base::none();
        timeouts.keep_alive_pings = false;
        m_ws.set_option(timeouts);
        m_ws.read_message_max(0); // read() enforces the limit itself
        m_ws.auto_fragment(false);
        auto fields = m_settings.request.allHTTPHeaderFields;
        m_ws.set_option(websocket::stream_base::decorator([fields](websocket::request_type& request) {
            request.set(
                beast::http::field::user_agent, beast::string_view(userAgent.data(), userAgent.size()));
            for (const auto& [name, value] : fields)
                request.set(name, value);
        }));
        m_ws.async_handshake(m_response, m_address.hostField, m_address.target,
            [self = this->shared_from_this()](beast::error_code ec) {
                if (self->m_state != State::opening)
                    return;
                if (ec) {
                    bool declined
                        = ec == websocket::error::upgrade_declined || self->m_response.result_int() != 0;
                    return self->fail(makeError(
                        declined ? WSError::ErrorType::upgradeError : WSError::ErrorType::connectionError,
                        "the WebSocket handshake failed: " + ec.message()));
                }
                self->opened();
            });
    }

    void opened()
    {
        m_state = State::open;
        m_deadline.cancel();
        m_ws.control_callback([this](websocket::frame_type kind, beast::string_view payload) {
            Data data(payload.begin(), payload.end());
            if (kind == websocket::frame_type::ping)
                emit(WebSocketEvent::ping(std::move(data)));
            else if (kind == websocket::frame_type::pong)
                emit(WebSocketEvent::pong(std::move(data)));
        });
        std::map<std::string, std::string> headers;
        for (const auto& field : m_response)
            headers[std::string(field.name_string())] = std::string(field.value());
        emit(WebSocketEvent::connected(std::move(headers)));
        read();
    }

    // Piece by piece, so that a message above the limit is refused before it is all in memory.
    void read()
    {
        m_ws.async_read_some(
            m_buffer, readChunk, [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
                if (self->m_state == State::ended)
                    return;
                if (ec)
                    return self->readFailed(ec);
                if (self->m_buffer.size() > self->m_settings.maximumFrameSize)
                    return self->fail(makeError(WSError::ErrorType::protocolError,
                        "a message exceeded " + std::to_string(self->m_settings.maximumFrameSize) + " bytes",
                        CloseCode::messageTooBig));
                if (!self->m_ws.is_message_done())
                    return self->read();
                std::string payload = beast::buffers_to_string(self->m_buffer.data());
                self->m_buffer.consume(self->m_buffer.size());
                if (self->m_ws.got_binary())
                    self->emit(WebSocketEvent::binary(Data(payload.begin(), payload.end())));
                else
                    self->emit(WebSocketEvent::text(std::move(payload)));
                self->read();
            });
    }

    void readFailed(beast::error_code ec)
    {
        if (ec == websocket::error::closed) {
            const websocket::close_reason& reason = m_ws.reason();
            return finish(WebSocketEvent::disconnected(std::string(reason.reason.c_str()), reason.code));
        }
        if (m_state == State::closing)
            return; // our own close handshake reports the end
        if (ec == websocket::condition::protocol_violation)
            return fail(makeError(WSError::ErrorType::protocolError, ec.message(), CloseCode::protocolError));
        fail(makeError(WSError::ErrorType::connectionError, "the connection was lost: " + ec.message()));
    }

    void enqueue(std::string payload, bool binary)
    {
        if (m_state != State::open) {
            Log::write("WebSocket: a message was dropped, the connection is not open");
            return;
        }
        if (payload.size() > m_settings.maximumFrameSize
            || m_queuedBytes + payload.size() > m_settings.maximumQueuedBytes) {
            Log::write("WebSocket: a message of " + std::to_string(payload.size()) + " bytes was refused");
            return;
        }
        m_queuedBytes += payload.size();
        m_queue.push_back({ std::move(payload), binary });
        if (!m_writing)
            writeNext();
    }

    void writeNext()
    {
        if (m_queue.empty() || m_state != State::open)
            return;
        m_writing = true;
        m_ws.binary(m_queue.front().binary);
        m_ws.async_write(asio::buffer(m_queue.front().payload),
            [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
                self->m_writing = false;
                if (!self->m_queue.empty()) {
                    self->m_queuedBytes -= self->m_queue.front().payload.size();
                    self->m_queue.pop_front();
                }
                if (self->m_state == State::ended)
                    return;
                if (ec && self->m_state == State::open)
                    return self->fail(makeError(
                        WSError::ErrorType::connectionError, "a message could not be sent: " + ec.message()));
                if (self->m_pendingClose)
                    return self->closeNow(*self->m_pendingClose);
                self->writeNext();
            });
    }

    void beginClose(std::uint16_t code)
    {
        if (m_state == State::opening)
            return finish(WebSocketEvent::cancelled());
        if (m_state != State::open)
            return;
        m_state = State::closing;
        m_queue.erase(m_queue.begin() + (m_writing ? 1 : 0), m_queue.end());
        if (m_writing) {
            m_pendingClose = code;
            return;
        }
        closeNow(code);
    }

    void closeNow(std::uint16_t code)
    {
        m_pendingClose.reset();
        m_ws.async_close(
            websocket::close_reason(code), [self = this->shared_from_this(), code](beast::error_code) {
                self->finish(WebSocketEvent::disconnected("", code));
            });
    }

    void fail(WSError error) { finish(WebSocketEvent::failed(std::move(error))); }

    // The last event: everything still pending ends with the socket.
    void finish(WebSocketEvent event)
    {
        if (m_state == State::ended)
            return;
        m_state = State::ended;
        m_deadline.cancel();
        m_resolver.cancel();
        beast::error_code ignored;
        beast::get_lowest_layer(m_ws).socket().shutdown(tcp::socket::shutdown_both, ignored);
        beast::get_lowest_layer(m_ws).close();
        emit(std::move(event));
        m_sink = nullptr;
    }

    void emit(WebSocketEvent event)
    {
        if (m_sink)
            m_sink(std::move(event));
    }

    ConnectionSettings m_settings;
    WebSocketAddress m_address;
    EventSink m_sink;
    std::shared_ptr<ssl::context> m_tls; // before the stream, which uses it
    tcp::resolver m_resolver;
    Stream m_ws;
    asio::steady_timer m_deadline;
    std::chrono::steady_clock::time_point m_openedBy;
    beast::flat_buffer m_buffer;
    websocket::response_type m_response;
    std::deque<Outgoing> m_queue;
    std::size_t m_queuedBytes = 0;
    bool m_writing = false;
    std::optional<std::uint16_t> m_pendingClose;
    State m_state = State::opening;
};

// What the WebSocket holds: the session weakly. Sessions live only in the handlers of the
// WebSocket thread, so they all go with it when the process ends, and calls that come later (from
// objects destroyed after it) find nothing to post to.
class Handle : public WebSocketConnection {
public:
    explicit Handle(std::weak_ptr<WebSocketConnection> session = {})
        : m_session(std::move(session))
    { }

    void send(std::string payload, bool binary) override
    {
        if (auto session = m_session.lock())
            session->send(std::move(payload), binary);
    }
    void close(std::uint16_t code) override
    {
        if (auto session = m_session.lock())
            session->close(code);
    }
    void abort() override
    {
        if (auto session = m_session.lock())
            session->abort();
    }

private:
    std::weak_ptr<WebSocketConnection> m_session;
};

std::shared_ptr<WebSocketConnection> failed(EventSink sink, WSError error)
{
    asio::post(WebSocketThread::shared().context(),
        [sink = std::move(sink), error = std::move(error)] { sink(WebSocketEvent::failed(error)); });
    return std::make_shared<Handle>();
}

}

std::optional<WebSocketAddress> parseWebSocketURL(std::string_view url)
{
    if (url.empty() || url.size() > 8192 || !std::all_of(url.begin(), url.end(), isUnreserved))
        return std::nullopt;
    size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos)
        return std::nullopt;
    std::string scheme(url.substr(0, schemeEnd));
    std::transform(
        scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    WebSocketAddress address;
    if (scheme == "wss")
        address.secure = true;
    else if (scheme != "ws")
        return std::nullopt;

    std::string_view rest = url.substr(schemeEnd + 3);
    rest = rest.substr(0, rest.find('#'));
    size_t authorityEnd = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, authorityEnd);
    std::string_view target
        = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    if (authority.empty() || authority.find('@') != std::string_view::npos)
        return std::nullopt;

    std::string_view host;
    std::string_view port;
    bool portGiven = false;
    if (authority.front() == '[') {
        size_t close = authority.find(']');
        if (close == std::string_view::npos || close == 1)
            return std::nullopt;
        host = authority.substr(1, close - 1);
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return std::nullopt;
            port = after.substr(1);
            portGiven = true;
        }
        if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos)
            return std::nullopt;
    } else {
        size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            portGiven = true;
        }
        if (host.empty() || host.find_first_of("[]") != std::string_view::npos)
            return std::nullopt;
    }
    if (portGiven) {
        unsigned value = 0;
        auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (ec != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
            return std::nullopt;
        address.port = std::to_string(value);
    } else {
        address.port = address.secure ? "443" : "80";
    }
    address.host = std::string(host);
    address.hostField = std::string(authority);
    if (target.empty())
        address.target = "/";
    else if (target.front() == '?')
        address.target = "/" + std::string(target);
    else
        address.target = std::string(target);
    return address;
}

std::shared_ptr<WebSocketConnection> WebSocketConnection::open(ConnectionSettings settings, EventSink sink)
{
    std::optional<WebSocketAddress> address = parseWebSocketURL(settings.request.url);
    if (!address)
        return failed(std::move(sink),
            makeError(
                WSError::ErrorType::invalidRequest, "not a ws or wss address: " + settings.request.url));
    if (!address->secure) {
        auto session = std::make_shared<Session<false>>(
            std::move(settings), std::move(*address), std::move(sink), nullptr);
        session->start();
        return std::make_shared<Handle>(session);
    }
    OpenSSLLibrary::initialize();
    auto tls = std::make_shared<ssl::context>(ssl::context::tls_client);
    beast::error_code ec;
    tls->set_verify_mode(ssl::verify_peer, ec);
    if (!ec) {
        if (settings.trustedCAFile.empty())
            tls->set_default_verify_paths(ec);
        else
            tls->load_verify_file(settings.trustedCAFile, ec);
    }
    if (ec)
        return failed(std::move(sink),
            makeError(WSError::ErrorType::securityError,
                "cannot load the trusted authorities " + settings.trustedCAFile + ": " + ec.message()));
    auto session = std::make_shared<Session<true>>(
        std::move(settings), std::move(*address), std::move(sink), std::move(tls));
    session->start();
    return std::make_shared<Handle>(session);
}

}
