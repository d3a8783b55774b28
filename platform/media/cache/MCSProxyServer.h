#pragma once

#include "platform/media/cache/MCSDownloader.h"
#include "platform/net/HTTPHeaders.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

template<typename T> class NoDestructor;

struct MCSProxyRequest {
    std::string method; // "GET" or "HEAD"
    std::string path; // the target up to '?'
    std::optional<std::string> range;
    std::optional<std::string> userAgent;
};

// One answer, written on the session's thread.
class MCSProxyReply {
public:
    virtual ~MCSProxyReply() = default;
    // Without a length the body goes out chunked.
    virtual bool sendHead(int status, const HTTPHeaders& fields, std::optional<std::uint64_t> contentLength)
        = 0;
    // False when the client is gone (or the request was HEAD: no body is wanted).
    virtual bool sendBody(const std::uint8_t* bytes, std::size_t size) = 0;
};

// What the proxy serves. Runs on the session threads, several at once, and may block.
class MCSProxyResponder {
public:
    virtual ~MCSProxyResponder() = default;
    virtual MCSFetchSettings fetchSettings() const = 0;
    // True when the whole answer went out; false leaves the client with a cut answer.
    virtual bool respond(const MCSProxyRequest& request, MCSProxyReply& reply, MCSDownloader& downloader) = 0;
};

// The loopback HTTP proxy: listens on 127.0.0.1 only, on a port chosen when it first starts and
// kept for the life of the process. Each client connection has a thread of its own (HTTP/1.1 with
// keep-alive, bounded waits and head sizes, at most `maxSessions` at once).
class MCSProxyServer {
public:
    static constexpr std::size_t maxSessions = 64;

    static MCSProxyServer& shared();

    // Starts listening when not yet listening; false when it cannot. Thread-safe.
    bool start();
    std::uint16_t port() const { return m_port.load(); }
    // "http://127.0.0.1:<port>"; empty before a successful start.
    std::string baseURL() const;

    // Requests go to the responder while it lives; without one they get 503.
    void setResponder(std::weak_ptr<MCSProxyResponder> responder);
    std::shared_ptr<MCSProxyResponder> responder() const;

    // Ends the sessions under way (their transfers are cancelled, their connections shut) and
    // waits for their threads, at most `wait` seconds. Later connections are served as before.
    // The process does this at exit, before the TLS library is torn down under a transfer.
    void endSessions(double wait = 5);

    MCSProxyServer(const MCSProxyServer&) = delete;
    MCSProxyServer& operator=(const MCSProxyServer&) = delete;

private:
    MCSProxyServer() = default;
    friend class NoDestructor<MCSProxyServer>;

    void acceptLoop(int listener);
    void runSession(int fd);
    // The transfers of a session, while it has any; cancelled when sessions end.
    void setSessionDownloader(int fd, MCSDownloader* downloader);

    mutable std::mutex m_mutex;
    std::weak_ptr<MCSProxyResponder> m_responder;
    std::atomic<std::uint16_t> m_port { 0 };
    // The sessions' sockets and their downloaders, under m_sessionsMutex: at most maxSessions.
    std::mutex m_sessionsMutex;
    std::condition_variable m_sessionEnded;
    std::map<int, MCSDownloader*> m_live;
    bool m_exiting = false; // connections are refused from here on
};
