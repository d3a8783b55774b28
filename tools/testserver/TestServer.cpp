#include "tools/testserver/TestServer.h"

#include "tools/testserver/RequestReader.h"
#include "tools/testserver/StaticFiles.h"
#include "tools/testserver/Upgrade.h"

#include <atomic>
#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket/rfc6455.hpp>
#include <cerrno>
#include <map>
#include <mutex>
#include <optional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace testserver {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;

}

// What the connections share with the owner: routes, scripts, files and the record.
struct RequestRouter {
    mutable std::mutex mutex;
    std::map<std::string, Handler> routes;
    std::map<std::string, Handler> prefixRoutes;
    std::map<std::string, std::shared_ptr<UpgradeHandler>> upgradeRoutes;
    std::map<std::string, Reply> scripts;
    RequestLog<Request> record;
    RecordLimits limits;
    StaticFiles files;
    std::chrono::milliseconds idleTimeout { 0 };
    std::atomic<std::uint64_t> connections { 0 };
    std::atomic<std::size_t> openConnections { 0 };

    // The route that takes this upgrade request over, if any; the request is recorded then.
    std::shared_ptr<UpgradeHandler> upgradeRoute(const Request& request)
    {
        std::lock_guard lock(mutex);
        auto it = upgradeRoutes.find(request.path);
        if (it == upgradeRoutes.end())
            return nullptr;
        record.add(request, request.body.size() + request.target.size());
        return it->second;
    }

    Reply answer(const Request& request)
    {
        Handler handler;
        {
            std::lock_guard lock(mutex);
            record.add(request, request.body.size() + request.target.size());
            if (auto it = scripts.find(request.path); it != scripts.end())
                return it->second;
            if (auto it = routes.find(request.path); it != routes.end()) {
                handler = it->second;
            } else {
                // The map is ordered, so the last match is the longest prefix.
                for (const auto& [prefix, candidate] : prefixRoutes) {
                    if (request.path.starts_with(prefix))
                        handler = candidate;
                }
            }
        }
        if (handler) {
            try {
                return handler(request);
            } catch (const std::exception& error) {
                return Reply::text(500, std::string("handler failed: ") + error.what());
            }
        }
        if (std::optional<Reply> file = files.serve(request))
            return std::move(*file);
        return Reply::text(404, "not found\n");
    }
};

namespace {

// The head, and the body unless it trickles out on its own.
std::string serialize(const Reply& reply, bool headRequest, bool closeAfter)
{
    auto status = static_cast<unsigned>(reply.status);
    std::string out = "HTTP/1.1 " + std::to_string(status) + " "
        + std::string(http::obsolete_reason(http::int_to_status(status))) + "\r\n";
    for (const auto& [name, value] : reply.headers)
        out += name + ": " + value + "\r\n";
    bool bodyless = (status >= 100 && status < 200) || status == 204 || status == 304;
    // A chunked body is sent as the reply wrote it.
    if (!bodyless && !findHeader(reply.headers, "Content-Length")
        && !findHeader(reply.headers, "Transfer-Encoding"))
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    if (closeAfter && !findHeader(reply.headers, "Connection"))
        out += "Connection: close\r\n";
    out += "\r\n";
    if (bodyless || headRequest || reply.byteInterval.count() > 0)
        return out;
    if (reply.action == ReplyAction::TruncateBody)
        out += reply.body.substr(0, reply.body.size() / 2);
    else
        out += reply.body;
    return out;
}

template<class Stream> class Session : public std::enable_shared_from_this<Session<Stream>> {
public:
    static constexpr bool isTLS = !std::is_same_v<Stream, beast::tcp_stream>;

    template<class... Args>
    Session(std::shared_ptr<RequestRouter> router, tcp::socket&& socket, Args&... args)
        : m_router(std::move(router))
        , m_connection(++m_router->connections)
        , m_stream(std::move(socket), args...)
        , m_timer(m_stream.get_executor())
    {
        ++m_router->openConnections;
    }

    ~Session() { --m_router->openConnections; }

    void run()
    {
        beast::get_lowest_layer(m_stream).expires_after(m_router->idleTimeout);
        if constexpr (isTLS) {
            m_stream.async_handshake(
                ssl::stream_base::server, [self = this->shared_from_this()](beast::error_code ec) {
                    if (ec)
                        return self->drop();
                    self->readRequest();
                });
        } else {
            readRequest();
        }
    }

private:
    void readRequest()
    {
        m_parser.emplace();
        m_parser->body_limit(maxBodySize);
        m_parser->header_limit(maxHeaderSize);
        beast::get_lowest_layer(m_stream).expires_after(m_router->idleTimeout);
        http::async_read(m_stream, m_buffer, *m_parser,
            [self = this->shared_from_this()](beast::error_code ec, std::size_t) {
                if (ec)
                    return self->drop();
                self->handleRequest();
            });
    }

    void handleRequest()
    {
        http::request<http::string_body> message = m_parser->release();
        m_keepAlive = message.keep_alive();
        Request request = requestFromMessage(message, isTLS ? "https" : "http");
        request.connection = m_connection;
        if (beast::websocket::is_upgrade(message)) {
            if (std::shared_ptr<UpgradeHandler> upgrade = m_router->upgradeRoute(request)) {
                beast::get_lowest_layer(m_stream).expires_never();
                return upgrade->upgrade(std::move(m_stream), std::move(message));
            }
        }

        m_reply = m_router->answer(request);
        m_headRequest = request.method == "HEAD";
        if (m_reply.delay.count() <= 0)
            return reply();
        // The connection stays quiet during the delay; the client's own time-out decides.
        beast::get_lowest_layer(m_stream).expires_never();
        m_timer.expires_after(m_reply.delay);
        m_timer.async_wait([self = this->shared_from_this()](beast::error_code ec) {
            if (ec)
                return self->drop();
            self->reply();
        });
    }

    void reply()
    {
        if (m_reply.action == ReplyAction::CloseWithoutReply)
            return drop();
        bool closeAfter = !m_keepAlive || m_reply.action == ReplyAction::TruncateBody;
        m_out = serialize(m_reply, m_headRequest, closeAfter);
        beast::get_lowest_layer(m_stream).expires_after(m_router->idleTimeout);
        asio::async_write(m_stream, asio::buffer(m_out),
            [self = this->shared_from_this(), closeAfter](beast::error_code ec, std::size_t) {
                if (ec)
                    return self->drop();
                if (self->m_reply.byteInterval.count() > 0 && !self->m_headRequest)
                    return self->trickle(0, closeAfter);
                self->afterReply(closeAfter);
            });
    }

    void afterReply(bool closeAfter)
    {
        if (m_reply.action == ReplyAction::TruncateBody)
            return drop();
        if (closeAfter)
            return closeGracefully();
        readRequest();
    }

    // The body from `sent` on, one byte per pause; a truncated body stops half-way.
    void trickle(std::size_t sent, bool closeAfter)
    {
        std::size_t end
            = m_reply.action == ReplyAction::TruncateBody ? m_reply.body.size() / 2 : m_reply.body.size();
        if (sent >= end)
            return afterReply(closeAfter);
        beast::get_lowest_layer(m_stream).expires_never();
        m_timer.expires_after(m_reply.byteInterval);
        m_timer.async_wait([self = this->shared_from_this(), sent, closeAfter](beast::error_code ec) {
            if (ec)
                return self->drop();
            beast::get_lowest_layer(self->m_stream).expires_after(self->m_router->idleTimeout);
            asio::async_write(self->m_stream, asio::buffer(self->m_reply.body.data() + sent, 1),
                [self, sent, closeAfter](beast::error_code ec, std::size_t) {
                    if (ec)
                        return self->drop();
                    self->trickle(sent + 1, closeAfter);
                });
        });
    }

    void closeGracefully()
    {
        if constexpr (isTLS) {
            beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(2));
            m_stream.async_shutdown([self = this->shared_from_this()](beast::error_code) { self->drop(); });
        } else {
            beast::error_code ignored;
            m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
            drop();
        }
    }

    // Ends the connection at once, without a TLS close notification.
    void drop()
    {
        beast::error_code ignored;
        beast::get_lowest_layer(m_stream).socket().shutdown(tcp::socket::shutdown_both, ignored);
        beast::get_lowest_layer(m_stream).close();
        m_timer.cancel();
    }

    std::shared_ptr<RequestRouter> m_router;
    std::uint64_t m_connection;
    Stream m_stream;
    asio::steady_timer m_timer;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    Reply m_reply;
    std::string m_out;
    bool m_keepAlive = true;
    bool m_headRequest = false;
};

}

struct TestServer::Impl {
    // Declared first so that it outlives the connections torn down with the io_context.
    ssl::context tls { ssl::context::tls_server };
    // Destroyed by stop(), which closes every connection that is still open.
    std::unique_ptr<asio::io_context> io = std::make_unique<asio::io_context>();
    std::optional<tcp::acceptor> httpAcceptor { std::in_place, *io };
    std::optional<tcp::acceptor> httpsAcceptor { std::in_place, *io };
    std::uint16_t httpPort = 0;
    std::uint16_t httpsPort = 0;
    std::shared_ptr<RequestRouter> router = std::make_shared<RequestRouter>();
    std::thread thread;
    bool serving = false;
    bool stopped = false;

    // Every socket of the server is close-on-exec from the moment it exists, which asio's own open
    // and accept do not give: a program that runs this server may start helper processes at any
    // time (the web engine does), and they inherit every descriptor without the flag. A helper
    // holding a copy keeps a connection open after the server closed it, so the client's
    // kept-alive connection looks alive while nobody reads it any more; a copy of a listening
    // socket keeps taking connections after the server stopped.
    bool listen(tcp::acceptor& acceptor, std::uint16_t port, std::string* error)
    {
        beast::error_code ec;
        tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            ec.assign(errno, boost::system::system_category());
        else if (acceptor.assign(endpoint.protocol(), fd, ec); ec)
            ::close(fd);
        // Waits come from the server's loop; accept4() only takes what is there.
        if (!ec)
            acceptor.non_blocking(true, ec);
        if (!ec)
            acceptor.set_option(asio::socket_base::reuse_address(true), ec);
        if (!ec)
            acceptor.bind(endpoint, ec);
        if (!ec)
            acceptor.listen(asio::socket_base::max_listen_connections, ec);
        if (ec && error)
            *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + ec.message();
        return !ec;
    }

    // Takes the connections waiting on the acceptor, each close-on-exec from the start, and hands
    // them to `serve`; then waits for more.
    template<class Serve> void acceptOn(tcp::acceptor& acceptor, Serve serve)
    {
        acceptor.async_wait(tcp::acceptor::wait_read, [this, &acceptor, serve](beast::error_code ec) {
            if (ec == asio::error::operation_aborted)
                return;
            while (!ec) {
                int fd = ::accept4(acceptor.native_handle(), nullptr, nullptr, SOCK_CLOEXEC);
                // None left, or the one that was there went away before it was taken.
                if (fd < 0)
                    break;
                tcp::socket socket(*io);
                socket.assign(tcp::v4(), fd, ec);
                if (ec) {
                    ::close(fd);
                    break;
                }
                noDelay(socket);
                serve(std::move(socket));
            }
            acceptOn(acceptor, serve);
        });
    }

    void acceptHTTP()
    {
        acceptOn(*httpAcceptor, [this](tcp::socket socket) {
            std::make_shared<Session<beast::tcp_stream>>(router, std::move(socket))->run();
        });
    }

    void acceptHTTPS()
    {
        acceptOn(*httpsAcceptor, [this](tcp::socket socket) {
            std::make_shared<Session<beast::ssl_stream<beast::tcp_stream>>>(router, std::move(socket), tls)
                ->run();
        });
    }

    // A reply's last bytes go out at once, as a web server sends them: held back until the
    // client acknowledges the rest, they wait for its delayed acknowledgement (up to 40 ms).
    static void noDelay(tcp::socket& socket)
    {
        beast::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
    }
};

std::unique_ptr<TestServer> TestServer::start(const ServerOptions& options, std::string* error)
{
    for (const char* name : { "server.pem", "server.key" }) {
        if (!std::filesystem::is_regular_file(options.keysDir / name)) {
            if (error)
                *error = "missing " + (options.keysDir / name).string()
                    + " (scripts/make-test-keys.sh makes it)";
            return nullptr;
        }
    }
    auto impl = std::make_unique<Impl>();
    beast::error_code ec;
    impl->tls.use_certificate_chain_file((options.keysDir / "server.pem").string(), ec);
    if (!ec)
        impl->tls.use_private_key_file((options.keysDir / "server.key").string(), ssl::context::pem, ec);
    if (ec) {
        if (error)
            *error = "cannot load server.pem and server.key from " + options.keysDir.string() + ": "
                + ec.message();
        return nullptr;
    }
    if (!impl->listen(*impl->httpAcceptor, options.httpPort, error)
        || !impl->listen(*impl->httpsAcceptor, options.httpsPort, error))
        return nullptr;
    impl->httpPort = impl->httpAcceptor->local_endpoint().port();
    impl->httpsPort = impl->httpsAcceptor->local_endpoint().port();

    std::optional<StaticFiles> files
        = StaticFiles::load(options.dataDir, impl->httpPort, impl->httpsPort, error);
    if (!files)
        return nullptr;
    impl->router->files = std::move(*files);
    impl->router->limits = options.recordLimits;
    impl->router->idleTimeout = options.idleTimeout;
    impl->router->record.setLimits(options.recordLimits);

    auto server = std::make_unique<TestServer>(std::move(impl));
    if (options.serveAtStart)
        server->serve();
    return server;
}

void TestServer::serve()
{
    if (m_impl->serving || m_impl->stopped)
        return;
    m_impl->serving = true;
    m_impl->acceptHTTP();
    m_impl->acceptHTTPS();
    m_impl->thread = std::thread([io = m_impl->io.get()] { io->run(); });
}

TestServer::TestServer(std::unique_ptr<Impl> impl)
    : m_impl(std::move(impl))
{ }

TestServer::~TestServer()
{
    stop();
}

void TestServer::stop()
{
    if (m_impl->stopped)
        return;
    m_impl->stopped = true;
    m_impl->io->stop();
    if (m_impl->thread.joinable())
        m_impl->thread.join();
    m_impl->httpAcceptor.reset();
    m_impl->httpsAcceptor.reset();
    // Destroying the context destroys the pending operations, and with them the connections.
    m_impl->io.reset();
}

std::uint16_t TestServer::httpPort() const
{
    return m_impl->httpPort;
}

std::uint16_t TestServer::httpsPort() const
{
    return m_impl->httpsPort;
}

std::string TestServer::httpURL() const
{
    return "http://127.0.0.1:" + std::to_string(httpPort());
}

std::string TestServer::httpsURL() const
{
    return "https://127.0.0.1:" + std::to_string(httpsPort());
}

void TestServer::route(std::string path, Handler handler)
{
    std::lock_guard lock(m_impl->router->mutex);
    m_impl->router->routes[std::move(path)] = std::move(handler);
}

void TestServer::routePrefix(std::string prefix, Handler handler)
{
    std::lock_guard lock(m_impl->router->mutex);
    m_impl->router->prefixRoutes[std::move(prefix)] = std::move(handler);
}

void TestServer::routeUpgrade(std::string path, std::shared_ptr<UpgradeHandler> handler)
{
    std::lock_guard lock(m_impl->router->mutex);
    m_impl->router->upgradeRoutes[std::move(path)] = std::move(handler);
}

void TestServer::script(std::string path, Reply reply)
{
    std::lock_guard lock(m_impl->router->mutex);
    m_impl->router->scripts[std::move(path)] = std::move(reply);
}

void TestServer::clearScripts()
{
    std::lock_guard lock(m_impl->router->mutex);
    m_impl->router->scripts.clear();
}

std::vector<Request> TestServer::requests() const
{
    std::lock_guard lock(m_impl->router->mutex);
    return m_impl->router->record.entries();
}

std::vector<Request> TestServer::requestsTo(std::string_view path) const
{
    std::lock_guard lock(m_impl->router->mutex);
    std::vector<Request> matching;
    for (const Request& request : m_impl->router->record.entries()) {
        if (request.path == path)
            matching.push_back(request);
    }
    return matching;
}

void TestServer::clearRequests()
{
    std::lock_guard lock(m_impl->router->mutex);
    m_impl->router->record.clear();
}

RecordLimits TestServer::recordLimits() const
{
    return m_impl->router->limits;
}

std::size_t TestServer::openConnections() const
{
    return m_impl->router->openConnections.load();
}

}
