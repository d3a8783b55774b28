#pragma once

#include "tools/testserver/Request.h"
#include "tools/testserver/RequestLog.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testserver {

class UpgradeHandler;

struct ServerOptions {
    std::filesystem::path keysDir; // holds server.pem and server.key (scripts/make-test-keys.sh)
    std::filesystem::path dataDir; // static files; empty serves none
    std::uint16_t httpPort = 0; // 0 picks a free port
    std::uint16_t httpsPort = 0;
    RecordLimits recordLimits {}; // of requests(), and of the records of an ApiServer on this server
    // How long a connection may wait for its next request (or a reply for its client) before the
    // server closes it.
    std::chrono::milliseconds idleTimeout = std::chrono::seconds(30);
    // False: the ports listen from the start (their numbers are known), but no connection is
    // served before serve(); those that arrive meanwhile wait for it, so that none is answered
    // while the routes and their data are still being put in place.
    bool serveAtStart = true;
};

// Runs on the server's one thread, so it should answer at once: a slow reply is a Reply with a
// delay, which does not hold up other connections. The request is also in the record by then.
using Handler = std::function<Reply(const Request&)>;

// A local HTTP and HTTPS server on 127.0.0.1 for tests and manual runs. Every request is
// answered, in this order, by a scripted reply for its exact path, an exact route, the
// longest matching prefix route, a file of the data folder, or 404. A WebSocket upgrade request
// for the exact path of an upgrade route is handed over to that route instead.
class TestServer {
public:
    // Listens and starts the server thread; nullptr (and a message in *error) when it cannot.
    static std::unique_ptr<TestServer> start(const ServerOptions& options, std::string* error = nullptr);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Starts serving a server started without serveAtStart; once, from the owner's thread.
    void serve();
    // Closes every connection and joins the server thread; pending delayed replies are dropped.
    void stop();

    std::uint16_t httpPort() const;
    std::uint16_t httpsPort() const;
    std::string httpURL() const; // "http://127.0.0.1:<port>", no trailing slash
    std::string httpsURL() const;

    void route(std::string path, Handler handler);
    void routePrefix(std::string prefix, Handler handler);
    void routeUpgrade(std::string path, std::shared_ptr<UpgradeHandler> handler);
    void script(std::string path, Reply reply); // kept until clearScripts()
    void clearScripts();

    // The newest requests within the record limits, oldest first.
    std::vector<Request> requests() const;
    std::vector<Request> requestsTo(std::string_view path) const;
    void clearRequests();
    RecordLimits recordLimits() const;
    // HTTP connections the server holds open now; one taken over by an upgrade route no longer
    // counts.
    std::size_t openConnections() const;

    struct Impl;
    explicit TestServer(std::unique_ptr<Impl> impl); // use start()

private:
    std::unique_ptr<Impl> m_impl;
};

}
