// The captcha's one-time tickets: what the page gets from the server, and what the account
// endpoints that the captcha guards accept of it.

#include "tests/tools/testserver/SampleServer.h"
#include "tests/tools/testserver/SignedForm.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/CaptchaTickets.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"

#include <boost/asio.hpp>
#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

using namespace testserver;
namespace asio = boost::asio;

namespace {

class CaptchaServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zvtest::SampleServer started = zvtest::SampleServer::start();
        ASSERT_TRUE(started.api) << started.error;
        server = std::move(started.server);
        api = std::move(started.api);
    }

    // The whole reply to a request over plain HTTP.
    static std::string exchange(std::uint16_t port, const std::string& request)
    {
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({ asio::ip::address_v4::loopback(), port });
        asio::write(socket, asio::buffer(request));
        std::string reply;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        return reply;
    }

    static std::string bodyOf(const std::string& reply)
    {
        std::size_t end = reply.find("\r\n\r\n");
        return end == std::string::npos ? std::string() : reply.substr(end + 4);
    }

    std::string request(const std::string& method, const std::string& target, const std::string& body = "")
    {
        std::string head = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
        if (method == "POST")
            head += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                + std::to_string(body.size()) + "\r\n";
        return exchange(server->httpPort(), head + "\r\n" + body);
    }

    // What the captcha page hands on: the issued ticket and random string, as JSON text.
    std::string issuedResult()
    {
        nlohmann::json issued
            = nlohmann::json::parse(bodyOf(request("POST", "/captcha/ticket")), nullptr, false);
        EXPECT_TRUE(issued.is_object());
        return issued.dump();
    }

    // The errorCode of a call with these parameters, in an envelope as the app sends it.
    int errorCode(const std::string& method, const std::string& path, nlohmann::json parameters)
    {
        parameters["timestamp"] = std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                                     .count());
        std::string pack = apicrypto::base64Encode(*api->key().encrypt(parameters.dump()));
        std::string fields = zvtest::signedForm(pack);
        std::string reply = method == "GET" ? request("GET", "/api/" + path + "?" + fields)
                                            : request("POST", "/api/" + path, fields);
        nlohmann::json envelope = nlohmann::json::parse(bodyOf(reply), nullptr, false);
        return envelope.is_object() ? envelope.value("errorCode", -1) : -1;
    }

    std::unique_ptr<TestServer> server;
    std::unique_ptr<ApiServer> api;
};

}

TEST(CaptchaTickets, ATicketCountsOnceWithItsRandomStringWithinItsLifetime)
{
    auto now = std::chrono::steady_clock::time_point {} + std::chrono::hours(1);
    CaptchaTickets tickets([&] { return now; });

    CaptchaTickets::Ticket first = tickets.issue();
    EXPECT_FALSE(first.ticket.empty());
    EXPECT_FALSE(first.randstr.empty());
    EXPECT_TRUE(tickets.take(first.ticket, first.randstr));
    EXPECT_FALSE(tickets.take(first.ticket, first.randstr));

    // A wrong random string uses the ticket up: no second guess.
    CaptchaTickets::Ticket guessed = tickets.issue();
    EXPECT_FALSE(tickets.take(guessed.ticket, guessed.randstr + "x"));
    EXPECT_FALSE(tickets.take(guessed.ticket, guessed.randstr));

    // Five minutes.
    CaptchaTickets::Ticket late = tickets.issue();
    CaptchaTickets::Ticket inTime = tickets.issue();
    now += std::chrono::seconds(299);
    EXPECT_TRUE(tickets.take(inTime.ticket, inTime.randstr));
    now += std::chrono::seconds(1);
    EXPECT_FALSE(tickets.take(late.ticket, late.randstr));
    EXPECT_EQ(tickets.kept(), 0u);

    for (const auto& [ticket, randstr] : std::vector<std::pair<std::string, std::string>> {
             { "", "" }, { "t-invented", "@x1" }, { std::string(4096, 't'), "" } })
        EXPECT_FALSE(tickets.take(ticket, randstr)) << ticket.substr(0, 16);
}

TEST(CaptchaTickets, TicketsDifferAndOnlyTheNewestAreKept)
{
    CaptchaTickets tickets;
    std::vector<CaptchaTickets::Ticket> issued;
    std::set<std::string> distinct;
    for (std::size_t i = 0; i < CaptchaTickets::maxKept + 10; ++i) {
        issued.push_back(tickets.issue());
        distinct.insert(issued.back().ticket);
    }
    EXPECT_EQ(distinct.size(), issued.size());
    EXPECT_EQ(tickets.kept(), CaptchaTickets::maxKept);
    EXPECT_FALSE(tickets.take(issued[9].ticket, issued[9].randstr));
    EXPECT_TRUE(tickets.take(issued[10].ticket, issued[10].randstr));
    EXPECT_TRUE(tickets.take(issued.back().ticket, issued.back().randstr));
}

TEST_F(CaptchaServerTest, ThePageGetsFreshTicketsByPostOnly)
{
    std::string reply = request("POST", "/captcha/ticket");
    ASSERT_TRUE(reply.starts_with("HTTP/1.1 200 ")) << reply;
    EXPECT_NE(reply.find("Content-Type: application/json"), std::string::npos);
    EXPECT_NE(reply.find("Cache-Control: no-store"), std::string::npos);
    nlohmann::json issued = nlohmann::json::parse(bodyOf(reply), nullptr, false);
    ASSERT_TRUE(issued.is_object()) << reply;
    EXPECT_TRUE(issued["ticket"].is_string() && !issued["ticket"].get<std::string>().empty());
    EXPECT_TRUE(issued["randstr"].is_string() && !issued["randstr"].get<std::string>().empty());
    EXPECT_NE(nlohmann::json::parse(bodyOf(request("POST", "/captcha/ticket")))["ticket"], issued["ticket"]);

    reply = request("GET", "/captcha/ticket");
    EXPECT_TRUE(reply.starts_with("HTTP/1.1 405 ")) << reply;
    EXPECT_NE(reply.find("Allow: POST"), std::string::npos);
}

TEST_F(CaptchaServerTest, GuardedEndpointsTakeOnlyAnIssuedTicketAndOnlyOnce)
{
    struct Endpoint {
        const char* method;
        const char* path;
        nlohmann::json parameters;
    };
    const Endpoint endpoints[] = {
        { "POST", "v1/user/login", { { "username", "xiaoyu2023" }, { "password", "rain-over-2023" } } },
        { "GET", "v1/user/get_code", { { "to", "13900000001" }, { "send_type", "phone" } } },
        { "GET", "v1/user/get_code", { { "to", "viewer@mail.example" }, { "send_type", "email" } } },
        { "GET", "v1/user/forget/get_token", { { "username", "xiaoyu2023" } } },
    };
    for (const Endpoint& endpoint : endpoints) {
        auto withCaptcha = [&](std::optional<std::string> captcha) {
            nlohmann::json parameters = endpoint.parameters;
            if (captcha)
                parameters["captcha"] = *captcha;
            return errorCode(endpoint.method, endpoint.path, parameters);
        };
        SCOPED_TRACE(endpoint.path + std::string(" ") + endpoint.parameters.dump());

        // The page's result, as the app forwards it (pretty-printed, keys sorted), passes once.
        std::string issued = issuedResult();
        std::string pretty = nlohmann::json::parse(issued).dump(2);
        EXPECT_EQ(withCaptcha(pretty), 0);
        EXPECT_EQ(withCaptcha(pretty), 1004);
        EXPECT_EQ(withCaptcha(issued), 1004);

        nlohmann::json other = nlohmann::json::parse(issuedResult());
        nlohmann::json ticketOnly = { { "ticket", other["ticket"] } };
        for (const auto& [captcha, refusal] : std::vector<std::pair<std::optional<std::string>, int>> {
                 { std::nullopt, 1003 },
                 { "", 1003 },
                 { R"({"ticket":"t-invented","randstr":"@x1"})", 1004 },
                 { "not json", 1004 },
                 { R"(["t"])", 1004 },
                 { R"({"ticket":"","randstr":""})", 1004 },
                 { ticketOnly.dump(), 1004 },
                 // The ticket went with its first showing, without its random string.
                 { other.dump(), 1004 },
             })
            EXPECT_EQ(withCaptcha(captcha), refusal) << captcha.value_or("(none)");
    }
}
