#include "tests/support/HelperProcess.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>

using namespace testserver;
namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

// Bytes a plain socket read until the server closed the connection.
std::string exchange(std::uint16_t port, const std::string& request)
{
    asio::io_context io;
    tcp::socket socket(io);
    socket.connect(tcp::endpoint(asio::ip::address_v4::loopback(), port));
    asio::write(socket, asio::buffer(request));
    std::string reply;
    boost::system::error_code ec;
    asio::read(socket, asio::dynamic_buffer(reply), ec);
    EXPECT_EQ(ec, asio::error::eof);
    return reply;
}

std::string bodyOf(const std::string& reply)
{
    size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

// The inodes of the loopback sockets that listen on a port (every port for none), from the
// kernel's table of TCP sockets.
std::set<std::string> listeningSocketInodes(std::optional<std::uint16_t> port)
{
    std::set<std::string> inodes;
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode))
            continue;
        if (state != "0A")
            continue;
        size_t colon = local.find(':');
        if (colon == std::string::npos)
            continue;
        unsigned long localPort = std::stoul(local.substr(colon + 1), nullptr, 16);
        if (!port || localPort == *port)
            inodes.insert(inode);
    }
    return inodes;
}

class TestServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        server = TestServer::start(
            { zvtest::testKeysDir(), zvtest::sourceDir() / "tools/testserver/data" }, &error);
        ASSERT_TRUE(server) << error;
    }

    std::string get(const std::string& target)
    {
        return exchange(
            server->httpPort(), "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    }

    std::unique_ptr<TestServer> server;
};

}

TEST_F(TestServerTest, ServerAddressFileLeadsBackToThisServer)
{
    std::string reply = exchange(
        server->httpPort(), "GET /domain_v2.json HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    ASSERT_TRUE(reply.starts_with("HTTP/1.1 200 OK\r\n")) << reply;
    EXPECT_NE(reply.find("Content-Type: application/json\r\n"), std::string::npos);
    nlohmann::json json = nlohmann::json::parse(bodyOf(reply));
    std::string https = server->httpsURL();
    EXPECT_EQ(json["api_service"], https + "/api/");
    EXPECT_EQ(json["short_video_service"], https + "/api/v1/video/display");
    EXPECT_EQ(json["captcha_url"], https + "/captcha.html");
    EXPECT_EQ(json["help_url"], https + "/help.html");
    EXPECT_EQ(
        json["room_gateway_websocket_url"], "wss://127.0.0.1:" + std::to_string(server->httpsPort()) + "/ws");
}

TEST_F(TestServerTest, FilesAreServedAndNothingOutsideTheDataFolder)
{
    std::string image
        = exchange(server->httpPort(), "GET /images/cover.png HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_NE(image.find("Content-Type: image/png\r\n"), std::string::npos);
    EXPECT_TRUE(bodyOf(image).starts_with("\x89PNG"));

    std::string head
        = exchange(server->httpPort(), "HEAD /images/cover.png HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_NE(head.find("Content-Length: " + std::to_string(bodyOf(image).size())), std::string::npos);
    EXPECT_EQ(bodyOf(head), "");

    for (const char* path : { "/../CMakeLists.txt", "/images/../../CMakeLists.txt", "/%2e%2e/CMakeLists.txt",
             "/images", "/missing.json" }) {
        std::string reply = exchange(
            server->httpPort(), std::string("GET ") + path + " HTTP/1.1\r\nConnection: close\r\n\r\n");
        EXPECT_TRUE(reply.starts_with("HTTP/1.1 404 ")) << path;
    }
    std::string post = exchange(server->httpPort(),
        "POST /images/cover.png HTTP/1.1\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(post.starts_with("HTTP/1.1 404 "));
}

TEST_F(TestServerTest, PagesAndAdvertLinksLoadOnlyFromTheServerItself)
{
    // Every address a page names is on its own server, and is there.
    for (const char* page : { "/captcha.html", "/help.html", "/about.html", "/download.html", "/landing.html",
             "/event-summer.html", "/event-autumn.html" }) {
        std::string reply = get(page);
        ASSERT_TRUE(reply.starts_with("HTTP/1.1 200 ")) << page;
        EXPECT_NE(reply.find("Content-Type: text/html; charset=utf-8"), std::string::npos) << page;
        std::string html = bodyOf(reply);
        for (const char* outside : { "http:", "https:", "\"//", "'//", "(//" })
            EXPECT_EQ(html.find(outside), std::string::npos) << page << ": " << outside;
        for (std::size_t at = html.find("src=\""); at != std::string::npos;
             at = html.find("src=\"", at + 1)) {
            std::string source = html.substr(at + 5, html.find('"', at + 5) - at - 5);
            EXPECT_TRUE(get("/" + source).starts_with("HTTP/1.1 200 ")) << page << ": " << source;
        }
        // A page's stylesheet is served as one, or the page would show unstyled.
        const std::string link = "rel=\"stylesheet\" href=\"";
        for (std::size_t at = html.find(link); at != std::string::npos; at = html.find(link, at + 1)) {
            std::size_t start = at + link.size();
            std::string sheet = get("/" + html.substr(start, html.find('"', start) - start));
            EXPECT_TRUE(sheet.starts_with("HTTP/1.1 200 ")) << page;
            EXPECT_NE(sheet.find("Content-Type: text/css; charset=utf-8"), std::string::npos) << page;
        }
    }

    // The sample adverts lead to the landing page.
    std::ifstream file(zvtest::sourceDir() / "tools/testserver/data/api/advert_config.json");
    nlohmann::json adverts = nlohmann::json::parse(file, nullptr, false);
    ASSERT_TRUE(adverts.is_object());
    int links = 0;
    for (const auto& [slot, advert] : adverts.items()) {
        std::string url = advert["data"].value("url", "");
        if (url.empty())
            continue;
        ++links;
        constexpr std::string_view placeholder = "https://127.0.0.1:0";
        ASSERT_TRUE(url.starts_with(std::string(placeholder) + "/landing.html")) << slot << ": " << url;
        EXPECT_TRUE(get(url.substr(placeholder.size())).starts_with("HTTP/1.1 200 ")) << url;
    }
    EXPECT_EQ(links, 13);
}

TEST_F(TestServerTest, RoutingOrder)
{
    server->route("/api/v1/exact", [](const Request&) { return Reply::text(200, "exact"); });
    server->routePrefix("/api/", [](const Request&) { return Reply::text(200, "api"); });
    server->routePrefix("/api/v1/", [](const Request& r) { return Reply::text(200, "v1 " + r.path); });
    server->routePrefix("/images/", [](const Request&) { return Reply::text(200, "images route"); });
    server->route("/boom", [](const Request&) -> Reply { throw std::runtime_error("broken handler"); });

    auto get = [&](const std::string& path) {
        return bodyOf(exchange(server->httpPort(), "GET " + path + " HTTP/1.1\r\nConnection: close\r\n\r\n"));
    };
    EXPECT_EQ(get("/api/v1/exact"), "exact");
    EXPECT_EQ(get("/api/v1/movie/detail?x=1"), "v1 /api/v1/movie/detail");
    EXPECT_EQ(get("/api/v2/other"), "api");
    EXPECT_EQ(get("/images/cover.png"), "images route"); // routes come before files
    EXPECT_EQ(get("/boom"), "handler failed: broken handler");

    server->script("/api/v1/exact", Reply::text(201, "scripted"));
    EXPECT_EQ(get("/api/v1/exact"), "scripted");
    server->clearScripts();
    EXPECT_EQ(get("/api/v1/exact"), "exact");
}

TEST_F(TestServerTest, RecordsEveryRequestAsItArrived)
{
    std::string multipart
        = "--B\r\nContent-Disposition: form-data; name=\"image\"; filename=\"image.png\"\r\n"
          "Content-Type: image/png\r\n\r\nPNGDATA\r\n"
          "--B\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhi\r\n--B--\r\n";
    // Two requests on one kept-alive connection.
    std::string request1 = "POST /api/v1/user/upload_image?a=%2B1&b HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                           "X-Second: 2\r\nx-first: 1\r\nContent-Type: multipart/form-data; boundary=B\r\n"
                           "Content-Length: "
        + std::to_string(multipart.size()) + "\r\n\r\n" + multipart;
    std::string request2 = "GET /missing HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    std::string replies = exchange(server->httpPort(), request1 + request2);
    EXPECT_TRUE(replies.starts_with("HTTP/1.1 404 "));
    EXPECT_NE(replies.find("HTTP/1.1 404 ", 10), std::string::npos);

    std::vector<Request> record = server->requests();
    ASSERT_EQ(record.size(), 2u);
    const Request& upload = record[0];
    EXPECT_EQ(upload.scheme, "http");
    EXPECT_EQ(upload.method, "POST");
    EXPECT_EQ(upload.target, "/api/v1/user/upload_image?a=%2B1&b");
    EXPECT_EQ(upload.path, "/api/v1/user/upload_image");
    EXPECT_EQ(upload.query, "a=%2B1&b");
    EXPECT_EQ(upload.queryItems(), (Items { { "a", "+1" }, { "b", "" } }));
    ASSERT_GE(upload.headers.size(), 3u);
    EXPECT_EQ(upload.headers[0], (std::pair<std::string, std::string>("Host", "127.0.0.1")));
    EXPECT_EQ(upload.headers[1], (std::pair<std::string, std::string>("X-Second", "2")));
    EXPECT_EQ(upload.headers[2], (std::pair<std::string, std::string>("x-first", "1")));
    EXPECT_EQ(upload.header("X-FIRST"), "1");
    EXPECT_EQ(upload.body, multipart);
    ASSERT_TRUE(upload.multipart);
    ASSERT_EQ(upload.multipart->files.size(), 1u);
    EXPECT_EQ(upload.multipart->files[0].data, "PNGDATA");
    EXPECT_EQ(upload.multipart->fields, (Items { { "note", "hi" } }));
    EXPECT_EQ(record[1].path, "/missing");

    EXPECT_EQ(server->requestsTo("/missing").size(), 1u);
    server->clearRequests();
    EXPECT_TRUE(server->requests().empty());
}

TEST_F(TestServerTest, ScriptedFailures)
{
    Reply close;
    close.action = ReplyAction::CloseWithoutReply;
    server->script("/close", close);
    EXPECT_EQ(exchange(server->httpPort(), "GET /close HTTP/1.1\r\n\r\n"), "");

    Reply truncated = Reply::text(200, "0123456789");
    truncated.action = ReplyAction::TruncateBody;
    server->script("/truncated", truncated);
    std::string reply = exchange(server->httpPort(), "GET /truncated HTTP/1.1\r\n\r\n");
    EXPECT_NE(reply.find("Content-Length: 10\r\n"), std::string::npos);
    EXPECT_EQ(bodyOf(reply), "01234");

    Reply custom;
    custom.status = 204;
    custom.headers = { { "x-app-data-encrypt", "true" }, { "B-Header", "2" } };
    custom.body = "ignored for 204";
    server->script("/custom", custom);
    reply = exchange(server->httpPort(), "GET /custom HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(reply,
        "HTTP/1.1 204 No Content\r\nx-app-data-encrypt: true\r\nB-Header: 2\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(server->requests().size(), 3u);
}

TEST_F(TestServerTest, DelayedReplyWaitsAndStopDoesNot)
{
    Reply slow = Reply::text(200, "late");
    slow.delay = std::chrono::milliseconds(200);
    server->script("/slow", slow);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(
        bodyOf(exchange(server->httpPort(), "GET /slow HTTP/1.1\r\nConnection: close\r\n\r\n")), "late");
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));

    // A pending long delay does not hold up stop().
    slow.delay = std::chrono::seconds(30);
    server->script("/slow", slow);
    asio::io_context io;
    tcp::socket socket(io);
    socket.connect(tcp::endpoint(asio::ip::address_v4::loopback(), server->httpPort()));
    asio::write(socket, asio::buffer(std::string("GET /slow HTTP/1.1\r\n\r\n")));
    while (server->requestsTo("/slow").size() < 2)
        std::this_thread::yield();
    started = std::chrono::steady_clock::now();
    server->stop();
    server->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    std::string rest;
    boost::system::error_code ec;
    asio::read(socket, asio::dynamic_buffer(rest), ec);
    EXPECT_TRUE(ec);
    EXPECT_EQ(rest, "");
}

// A helper process the program started while the server ran (the web engine starts some) inherits
// no copy of its ports: once stopped, its listening sockets are gone instead of queueing connections
// unanswered in the helper. Judged by the sockets themselves (their inodes in the kernel's table),
// not by a connection: another program on the machine may take the freed port at once.
TEST_F(TestServerTest, StoppedServerLeavesNoListeningSocketThoughAHelperProcessRuns)
{
    zvtest::HelperProcess helper;
    ASSERT_TRUE(helper.running());
    std::set<std::string> listening;
    for (std::uint16_t port : { server->httpPort(), server->httpsPort() }) {
        std::set<std::string> inodes = listeningSocketInodes(port);
        ASSERT_FALSE(inodes.empty()) << port;
        listening.insert(inodes.begin(), inodes.end());
    }
    server->stop();
    std::set<std::string> left = listeningSocketInodes(std::nullopt);
    for (const std::string& inode : listening)
        EXPECT_EQ(left.count(inode), 0u) << "socket " << inode << " still listens";
}
