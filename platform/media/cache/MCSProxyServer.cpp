#include "platform/media/cache/MCSProxyServer.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NoDestructor.h"

#include <arpa/inet.h>
#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sstream>
#include <string_view>
#include <sys/socket.h>
#include <sys/uio.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace beast = boost::beast;
namespace http = beast::http;
namespace asio = boost::asio;

namespace {

constexpr int ioTimeoutMilliseconds = 30000;
constexpr std::size_t headerLimit = 16 * 1024;
constexpr int maxBuffers = 16;

// A blocking socket as a Beast stream, each wait bounded by a time-out.
class SocketStream {
public:
    explicit SocketStream(int fd)
        : m_fd(fd)
    { }

    template<class Buffers> std::size_t read_some(const Buffers& buffers, boost::system::error_code& error)
    {
        iovec vectors[maxBuffers];
        int count = gather(buffers, vectors);
        error = {};
        if (count == 0)
            return 0;
        if (!wait(POLLIN, error))
            return 0;
        ssize_t got;
        do
            got = ::readv(m_fd, vectors, count);
        while (got < 0 && errno == EINTR);
        if (got == 0) {
            error = asio::error::eof;
            return 0;
        }
        if (got < 0) {
            error.assign(errno, boost::system::system_category());
            return 0;
        }
        return static_cast<std::size_t>(got);
    }

    template<class Buffers> std::size_t read_some(const Buffers& buffers)
    {
        boost::system::error_code error;
        std::size_t got = read_some(buffers, error);
        if (error)
            throw boost::system::system_error(error);
        return got;
    }

    template<class Buffers> std::size_t write_some(const Buffers& buffers, boost::system::error_code& error)
    {
        iovec vectors[maxBuffers];
        int count = gather(buffers, vectors);
        error = {};
        if (count == 0)
            return 0;
        if (!wait(POLLOUT, error))
            return 0;
        msghdr message {};
        message.msg_iov = vectors;
        message.msg_iovlen = static_cast<std::size_t>(count);
        ssize_t sent;
        do
            sent = ::sendmsg(m_fd, &message, MSG_NOSIGNAL);
        while (sent < 0 && errno == EINTR);
        if (sent < 0) {
            error.assign(errno, boost::system::system_category());
            return 0;
        }
        return static_cast<std::size_t>(sent);
    }

    template<class Buffers> std::size_t write_some(const Buffers& buffers)
    {
        boost::system::error_code error;
        std::size_t sent = write_some(buffers, error);
        if (error)
            throw boost::system::system_error(error);
        return sent;
    }

    // Writes the pieces in order, as few packets as the socket allows.
    bool writeAll(std::initializer_list<std::string_view> pieces)
    {
        std::vector<asio::const_buffer> buffers;
        for (std::string_view piece : pieces) {
            if (!piece.empty())
                buffers.emplace_back(piece.data(), piece.size());
        }
        std::size_t next = 0;
        while (next < buffers.size()) {
            boost::system::error_code error;
            std::size_t sent
                = write_some(std::vector<asio::const_buffer>(
                                 buffers.begin() + static_cast<std::ptrdiff_t>(next), buffers.end()),
                    error);
            if (error || sent == 0)
                return false;
            while (next < buffers.size() && sent >= buffers[next].size())
                sent -= buffers[next++].size();
            if (next < buffers.size())
                buffers[next] += sent;
        }
        return true;
    }

private:
    template<class Buffers> static int gather(const Buffers& buffers, iovec* vectors)
    {
        int count = 0;
        for (auto it = asio::buffer_sequence_begin(buffers);
             it != asio::buffer_sequence_end(buffers) && count < maxBuffers; ++it) {
            auto buffer = *it;
            if (buffer.size() == 0)
                continue;
            vectors[count].iov_base = const_cast<void*>(static_cast<const void*>(buffer.data()));
            vectors[count].iov_len = buffer.size();
            ++count;
        }
        return count;
    }

    bool wait(short events, boost::system::error_code& error)
    {
        pollfd entry { m_fd, events, 0 };
        int ready;
        do
            ready = ::poll(&entry, 1, ioTimeoutMilliseconds);
        while (ready < 0 && errno == EINTR);
        if (ready == 0) {
            error = asio::error::timed_out;
            return false;
        }
        if (ready < 0) {
            error.assign(errno, boost::system::system_category());
            return false;
        }
        return true;
    }

    int m_fd;
};

class SessionReply : public MCSProxyReply {
public:
    SessionReply(SocketStream& stream, unsigned version, bool keepAlive, bool isHead)
        : m_stream(stream)
        , m_version(version)
        , m_keepAlive(keepAlive)
        , m_isHead(isHead)
    { }

    bool sendHead(int status, const HTTPHeaders& fields, std::optional<std::uint64_t> contentLength) override
    {
        if (m_headSent)
            return false;
        m_headSent = true;
        http::response<http::empty_body> response { static_cast<http::status>(status), m_version };
        for (const auto& [name, value] : fields)
            response.set(name, value);
        if (contentLength) {
            response.content_length(*contentLength);
            m_length = contentLength;
        } else if (m_version >= 11) {
            response.chunked(true);
            m_chunked = !m_isHead;
        } else {
            m_keepAlive = false; // the end of the body is the end of the connection
        }
        response.keep_alive(m_keepAlive);
        // Held back until the first body bytes, so both leave in one write: a player that
        // waits for data is woken once, not once for the head and again for the body.
        std::ostringstream head;
        head << response.base();
        m_pendingHead = head.str();
        return true;
    }

    bool sendBody(const std::uint8_t* bytes, std::size_t size) override
    {
        if (!m_headSent || m_failed || m_isHead)
            return false;
        if (size == 0)
            return true;
        if (m_length && m_sent + size > *m_length)
            return false;
        std::string_view body(reinterpret_cast<const char*>(bytes), size);
        bool ok;
        if (m_chunked) {
            char line[32];
            int length = std::snprintf(line, sizeof line, "%zx\r\n", size);
            ok = m_stream.writeAll(
                { m_pendingHead, std::string_view(line, static_cast<std::size_t>(length)), body, "\r\n" });
        } else {
            ok = m_stream.writeAll({ m_pendingHead, body });
        }
        m_pendingHead.clear();
        m_failed = !ok;
        m_sent += size;
        return ok;
    }

    bool headSent() const { return m_headSent; }

    // Ends the answer; true when the connection can carry another one.
    bool finish(bool whole)
    {
        if (m_failed || !m_headSent)
            return false;
        if (!m_pendingHead.empty()) {
            m_failed = !m_stream.writeAll({ m_pendingHead });
            m_pendingHead.clear();
            if (m_failed)
                return false;
        }
        if (m_isHead)
            return m_keepAlive;
        if (m_length && m_sent != *m_length)
            return false;
        if (!whole)
            return false;
        if (m_chunked && !m_stream.writeAll({ "0\r\n\r\n" }))
            return false;
        return m_keepAlive;
    }

private:
    SocketStream& m_stream;
    unsigned m_version;
    bool m_keepAlive;
    bool m_isHead;
    bool m_headSent = false;
    bool m_chunked = false;
    bool m_failed = false;
    std::optional<std::uint64_t> m_length;
    std::uint64_t m_sent = 0;
    std::string m_pendingHead;
};

void answerPlain(SocketStream& stream, http::status status, unsigned version)
{
    http::response<http::string_body> response { status, version };
    response.keep_alive(false);
    response.body() = std::string(http::obsolete_reason(status)) + "\n";
    response.set(http::field::content_type, "text/plain");
    response.prepare_payload();
    boost::system::error_code error;
    http::write(stream, response, error);
}

}

MCSProxyServer& MCSProxyServer::shared()
{
    static NoDestructor<MCSProxyServer> server;
    return *server;
}

bool MCSProxyServer::start()
{
    std::lock_guard lock(m_mutex);
    if (m_port.load() != 0)
        return true;
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener, 128) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        Log::write(std::string("MCSProxyServer: cannot listen on loopback: ") + std::strerror(errno));
        ::close(listener);
        return false;
    }
    m_port = ntohs(address.sin_port);
    // Lives as long as the process, like the port.
    std::thread([this, listener] { acceptLoop(listener); }).detach();
    // Sessions still inside a transfer when the process ends would run on while its libraries and
    // objects are torn down: they are ended first.
    static std::once_flag atExit;
    std::call_once(atExit, [] {
        std::atexit([] {
            MCSProxyServer& server = shared();
            {
                std::lock_guard lock(server.m_sessionsMutex);
                server.m_exiting = true;
            }
            server.endSessions();
        });
    });
    return true;
}

void MCSProxyServer::endSessions(double wait)
{
    std::unique_lock lock(m_sessionsMutex);
    for (const auto& [fd, downloader] : m_live) {
        ::shutdown(fd, SHUT_RDWR);
        if (downloader)
            downloader->cancel();
    }
    if (!m_sessionEnded.wait_for(
            lock, std::chrono::duration<double>(wait), [this] { return m_live.empty(); }))
        Log::write("MCSProxyServer: " + std::to_string(m_live.size()) + " sessions still running");
}

void MCSProxyServer::setSessionDownloader(int fd, MCSDownloader* downloader)
{
    std::lock_guard lock(m_sessionsMutex);
    if (auto it = m_live.find(fd); it != m_live.end())
        it->second = downloader;
}

std::string MCSProxyServer::baseURL() const
{
    std::uint16_t port = m_port.load();
    return port == 0 ? std::string() : "http://127.0.0.1:" + std::to_string(port);
}

void MCSProxyServer::setResponder(std::weak_ptr<MCSProxyResponder> responder)
{
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

std::shared_ptr<MCSProxyResponder> MCSProxyServer::responder() const
{
    std::lock_guard lock(m_mutex);
    return m_responder.lock();
}

void MCSProxyServer::acceptLoop(int listener)
{
    while (true) {
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno != EINTR && errno != ECONNABORTED)
                std::this_thread::sleep_for(std::chrono::milliseconds(10)); // out of descriptors: wait
            continue;
        }
        int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        bool busy = false;
        {
            std::lock_guard lock(m_sessionsMutex);
            if (m_exiting) {
                ::close(fd);
                continue;
            }
            busy = m_live.size() >= maxSessions;
            if (!busy)
                m_live.emplace(fd, nullptr);
        }
        if (busy) {
            SocketStream stream(fd);
            answerPlain(stream, http::status::service_unavailable, 11);
            ::close(fd);
            continue;
        }
        std::thread([this, fd] {
            runSession(fd);
            {
                // Closed under the lock: no one shuts a number the system has handed out again.
                std::lock_guard lock(m_sessionsMutex);
                m_live.erase(fd);
                ::close(fd);
            }
            m_sessionEnded.notify_all();
        }).detach();
    }
}

void MCSProxyServer::runSession(int fd)
{
    SocketStream stream(fd);
    beast::flat_buffer buffer(headerLimit + 1024);
    std::unique_ptr<MCSDownloader> downloader;
    // Gone from the live sessions before it is destroyed, so that no one cancels it then.
    struct Forget {
        MCSProxyServer& server;
        int fd;
        ~Forget() { server.setSessionDownloader(fd, nullptr); }
    } forget { *this, fd };
    while (true) {
        http::request_parser<http::empty_body> parser;
        parser.header_limit(headerLimit);
        boost::system::error_code error;
        http::read(stream, buffer, parser, error);
        if (error) {
            if (error != http::error::end_of_stream && error != asio::error::eof
                && error != asio::error::timed_out && error != asio::error::connection_reset)
                answerPlain(stream, http::status::bad_request, 11);
            return;
        }
        const auto& message = parser.get();
        unsigned version = message.version();
        if (message.method() != http::verb::get && message.method() != http::verb::head) {
            answerPlain(stream, http::status::method_not_allowed, version);
            return;
        }
        std::shared_ptr<MCSProxyResponder> responder = this->responder();
        if (!responder) {
            answerPlain(stream, http::status::service_unavailable, version);
            return;
        }
        MCSProxyRequest request;
        request.method = std::string(message.method_string());
        auto target = std::string_view(message.target().data(), message.target().size());
        request.path = std::string(target.substr(0, target.find('?')));
        if (auto range = message.find(http::field::range); range != message.end())
            request.range = std::string(range->value());
        if (auto agent = message.find(http::field::user_agent); agent != message.end())
            request.userAgent = std::string(agent->value());
        if (!downloader) {
            downloader = std::make_unique<MCSDownloader>(responder->fetchSettings());
            setSessionDownloader(fd, downloader.get());
        }

        SessionReply reply(stream, version, message.keep_alive(), message.method() == http::verb::head);
        bool whole = responder->respond(request, reply, *downloader);
        responder.reset();
        if (!reply.headSent()) {
            answerPlain(stream, http::status::internal_server_error, version);
            return;
        }
        if (!reply.finish(whole))
            return;
    }
}
