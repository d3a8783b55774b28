// The WebSocket client against WebSocket routes of the local test server, over ws and wss.

#include "platform/foundation/URLRequest.h"
#include "platform/websocket/WebSocket.h"
#include "platform/websocket/detail/WebSocketConnection.h"
#include "tests/support/MainLoopTest.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/WebSocketServer.h"

#include <mutex>
#include <vector>

namespace {

using Kind = WebSocketEvent::Kind;

class Recorder : public WebSocketDelegate {
public:
    void didReceive(const WebSocketEvent& event, WebSocket&) override { events.push_back(event); }

    std::vector<Kind> kinds() const
    {
        std::vector<Kind> result;
        for (const WebSocketEvent& event : events)
            result.push_back(event.kind);
        return result;
    }

    std::vector<WebSocketEvent> events;
};

// Holds the connection without ever answering the upgrade.
class StallingHandler : public testserver::UpgradeHandler {
public:
    void upgrade(boost::beast::tcp_stream&& stream, HTTPRequest) override { keep(std::move(stream)); }
    void upgrade(boost::beast::ssl_stream<boost::beast::tcp_stream>&& stream, HTTPRequest) override
    {
        keep(std::move(stream));
    }

    // Before the server goes: the streams belong to its io_context.
    void release()
    {
        std::lock_guard lock(m_mutex);
        m_held.clear();
    }

private:
    template<class Stream> void keep(Stream&& stream)
    {
        std::lock_guard lock(m_mutex);
        m_held.push_back(std::make_shared<std::decay_t<Stream>>(std::move(stream)));
    }

    std::mutex m_mutex;
    std::vector<std::shared_ptr<void>> m_held;
};

class WebSocketTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        std::string error;
        server = testserver::TestServer::start({ zvtest::testKeysDir(), {} }, &error);
        ASSERT_TRUE(server) << error;

        testserver::WebSocketCallbacks echo;
        echo.accept = [](const testserver::UpgradeHandler::HTTPRequest& request) {
            return request[boost::beast::http::field::user_agent] != "refuse-me";
        };
        echo.message
            = [](const std::shared_ptr<testserver::WebSocketPeer>& peer, std::string payload, bool binary) {
                  if (payload == "close")
                      return peer->close(4000, "bye");
                  if (payload == "drop")
                      return peer->drop();
                  if (payload == "ping")
                      return peer->ping("p");
                  if (payload == "big")
                      return peer->send(std::string(WebSocket::maximumFrameSize + 1, 'x'));
                  peer->send(std::move(payload), binary);
              };
        server->routeUpgrade("/ws", testserver::makeWebSocketHandler(echo));
        server->routeUpgrade("/stall", stalling);
        security = std::make_shared<FoundationSecurity>(true);
        security->setTrustedCAFile((zvtest::testKeysDir() / "ca.pem").string());
    }

    void TearDown() override
    {
        stalling->release();
        server.reset();
        MainLoopTest::TearDown();
    }

    std::shared_ptr<WebSocket> open(const std::string& url, double timeout = 5)
    {
        auto socket = WebSocket::create(URLRequest(url, timeout), security);
        socket->delegate = recorder;
        socket->connect();
        return socket;
    }

    bool waitForEvents(std::size_t count)
    {
        return runUntil([&] { return recorder->events.size() >= count; });
    }

    std::string wss(const std::string& path) const
    {
        return "wss://127.0.0.1:" + std::to_string(server->httpsPort()) + path;
    }
    std::string ws(const std::string& path) const
    {
        return "ws://127.0.0.1:" + std::to_string(server->httpPort()) + path;
    }

    std::unique_ptr<testserver::TestServer> server;
    std::shared_ptr<StallingHandler> stalling = std::make_shared<StallingHandler>();
    std::shared_ptr<FoundationSecurity> security;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

}

TEST_F(WebSocketTest, ExchangesMessagesOverWssAndClosesWithAHandshake)
{
    auto socket = open(wss("/ws"));
    ASSERT_TRUE(waitForEvents(1));
    ASSERT_EQ(recorder->events[0].kind, Kind::connected) << recorder->events[0].error->message;
    EXPECT_EQ(recorder->events[0].headers.at("Upgrade"), "websocket");

    socket->write(Data { 0x08, 0x03, 0x00 });
    socket->write(std::string("hello"));
    socket->write(std::string("ping"));
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_EQ(recorder->events[1].kind, Kind::binary);
    EXPECT_EQ(recorder->events[1].data, (Data { 0x08, 0x03, 0x00 }));
    EXPECT_EQ(recorder->events[2].kind, Kind::text);
    EXPECT_EQ(recorder->events[2].string, "hello");
    EXPECT_EQ(recorder->events[3].kind, Kind::ping);

    socket->disconnect();
    ASSERT_TRUE(waitForEvents(5));
    EXPECT_EQ(recorder->events[4].kind, Kind::disconnected);
    EXPECT_EQ(recorder->events[4].code, CloseCode::normal);
    // Nothing goes out on a closed connection, and nothing more comes.
    socket->write(std::string("late"));
    runUntil([] { return false; }, 0.2);
    EXPECT_EQ(recorder->events.size(), 5u);
}

TEST_F(WebSocketTest, TheEndOfAConnectionIsReportedByHowItEnded)
{
    // The server's close handshake: its reason and code.
    auto closed = open(ws("/ws"));
    ASSERT_TRUE(waitForEvents(1));
    closed->write(std::string("close"));
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder->events[1].kind, Kind::disconnected);
    EXPECT_EQ(recorder->events[1].reason, "bye");
    EXPECT_EQ(recorder->events[1].code, 4000);

    // A cut connection is an error; so is a message above the limit.
    for (const char* trigger : { "drop", "big" }) {
        recorder->events.clear();
        auto socket = open(wss("/ws"));
        ASSERT_TRUE(waitForEvents(1));
        socket->write(std::string(trigger));
        ASSERT_TRUE(waitForEvents(2)) << trigger;
        ASSERT_EQ(recorder->events[1].kind, Kind::error) << trigger;
        bool tooBig = std::string(trigger) == "big";
        EXPECT_EQ(recorder->events[1].error->type,
            tooBig ? WSError::ErrorType::protocolError : WSError::ErrorType::connectionError);
        EXPECT_EQ(recorder->events[1].error->code, tooBig ? CloseCode::messageTooBig : 0)
            << recorder->events[1].error->message;
    }

    // Dropped on our side: cancelled at once.
    recorder->events.clear();
    auto forced = open(wss("/ws"));
    ASSERT_TRUE(waitForEvents(1));
    forced->forceDisconnect();
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder->kinds(), (std::vector<Kind> { Kind::connected, Kind::cancelled }));
}

TEST_F(WebSocketTest, OpeningFailsWithinItsTimeOutAndForEveryBadCertificateOrAnswer)
{
    double started = Clock::realNow();
    auto stalled = open(wss("/stall"), 0.3);
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(recorder->events[0].error->type, WSError::ErrorType::connectionError);
    EXPECT_LT(Clock::realNow() - started, 3.0);

    struct Case {
        std::string url;
        std::string trustedCA;
        WSError::ErrorType expected;
    };
    zvtest::TempDir other;
    zvtest::makeTestKeys(other / "keys");
    std::string ourCA = (zvtest::testKeysDir() / "ca.pem").string();
    const Case cases[] = {
        { wss("/ws"), (other / "keys" / "ca.pem").string(), WSError::ErrorType::securityError },
        { wss("/ws"), (other / "missing.pem").string(), WSError::ErrorType::securityError },
        { wss("/nothing-here"), ourCA, WSError::ErrorType::upgradeError },
        { "https://127.0.0.1/ws", ourCA, WSError::ErrorType::invalidRequest },
        { "ws://127.0.0.1:1/ws", ourCA, WSError::ErrorType::connectionError },
    };
    for (const Case& c : cases) {
        recorder->events.clear();
        security->setTrustedCAFile(c.trustedCA);
        auto socket = open(c.url);
        ASSERT_TRUE(waitForEvents(1)) << c.url;
        ASSERT_EQ(recorder->events[0].kind, Kind::error) << c.url;
        EXPECT_EQ(recorder->events[0].error->type, c.expected)
            << c.url << ": " << recorder->events[0].error->message;
    }

    // The host name is checked as well as the chain: the certificate names localhost too.
    recorder->events.clear();
    security->setTrustedCAFile(ourCA);
    auto byName = open("wss://localhost:" + std::to_string(server->httpsPort()) + "/ws");
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(recorder->events[0].kind, Kind::connected);

    // A refused upgrade.
    recorder->events.clear();
    URLRequest refused(wss("/ws"));
    refused.allHTTPHeaderFields = { { "User-Agent", "refuse-me" } };
    auto socket = WebSocket::create(refused, security);
    socket->delegate = recorder;
    socket->connect();
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(recorder->events[0].error->type, WSError::ErrorType::upgradeError);
}

TEST_F(WebSocketTest, OnlyTheLatestConnectionOfAnAttachedSocketReportsEvents)
{
    auto socket = open(wss("/ws"));
    socket->connect(); // the first connection is given up; its events never come
    ASSERT_TRUE(waitForEvents(1));
    runUntil([] { return false; }, 0.3);
    EXPECT_EQ(recorder->kinds(), (std::vector<Kind> { Kind::connected }));

    socket->write(std::string("echo"));
    ASSERT_TRUE(waitForEvents(2));
    socket->detach();
    socket->write(std::string("echo"));
    socket->write(std::string("close"));
    runUntil([] { return false; }, 0.3);
    EXPECT_EQ(recorder->events.size(), 2u);
    EXPECT_TRUE(socket->isDetached());

    // A socket that is gone reports nothing either.
    auto dropped = open(wss("/ws"));
    dropped.reset();
    runUntil([] { return false; }, 0.3);
    EXPECT_EQ(recorder->events.size(), 2u);
}

TEST(WebSocketURL, OnlyWsAndWssAddressesWithAHostAndAValidPortAreTakenApart)
{
    struct Case {
        const char* url;
        bool valid;
        // Only a valid address is taken apart.
        bool secure = false;
        const char* host = "";
        const char* port = "";
        const char* target = "";
    };
    const Case cases[] = {
        { "wss://127.0.0.1:9314/ws", true, true, "127.0.0.1", "9314", "/ws" },
        { "WS://example.org", true, false, "example.org", "80", "/" },
        { "wss://[::1]/chat?room=1#top", true, true, "::1", "443", "/chat?room=1" },
        { "ws://h?x=1", true, false, "h", "80", "/?x=1" },
        { "https://127.0.0.1/ws", false },
        { "ws://", false },
        { "ws://:80/", false },
        { "ws://h:/x", false },
        { "ws://h:0", false },
        { "ws://h:65536", false },
        { "ws://user@h/", false },
        { "ws://h/a b", false },
        { "ws://[::1/x", false },
        { "wss//h", false },
    };
    for (const Case& c : cases) {
        auto address = detail::parseWebSocketURL(c.url);
        ASSERT_EQ(address.has_value(), c.valid) << c.url;
        if (!c.valid)
            continue;
        EXPECT_EQ(address->secure, c.secure) << c.url;
        EXPECT_EQ(address->host, c.host) << c.url;
        EXPECT_EQ(address->port, c.port) << c.url;
        EXPECT_EQ(address->target, c.target) << c.url;
    }
}

// Web views and sockets share one request type: two types of one name in one program break the
// one-definition rule, and an unoptimised build then reads one as the other.
TEST(URLRequestType, OneTypeServesWebViewsAndSockets)
{
    URLRequest request("wss://127.0.0.1:1/ws", URLRequestCachePolicy::useProtocolCachePolicy, 12);
    request.allHTTPHeaderFields = { { "Origin", "https://127.0.0.1" } };
    auto socket = WebSocket::create(request);
    EXPECT_EQ(socket->request().url, "wss://127.0.0.1:1/ws");
    EXPECT_EQ(socket->request().timeoutInterval, 12);
    EXPECT_EQ(socket->request().allHTTPHeaderFields, request.allHTTPHeaderFields);
    EXPECT_EQ(URLRequest("https://127.0.0.1/captcha.html").timeoutInterval, 60);
}
