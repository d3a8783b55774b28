// The sample history, favourites and notices of the test server: what they refuse.

#include "tests/tools/testserver/SampleServer.h"
#include "tests/tools/testserver/SignedForm.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"

#include <boost/asio.hpp>
#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testserver;
namespace asio = boost::asio;

namespace {

constexpr const char* kToken = "tk-301877-first";

class SampleMineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zvtest::SampleServer started = zvtest::SampleServer::start();
        ASSERT_TRUE(started.api) << started.error;
        server = std::move(started.server);
        api = std::move(started.api);
    }

    // The reply envelope of a GET with these parameters, as the app sends it.
    nlohmann::json get(const std::string& path, nlohmann::json parameters, bool signedIn = true)
    {
        parameters["timestamp"] = std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                                     .count());
        std::string pack = apicrypto::base64Encode(*api->key().encrypt(parameters.dump()));
        std::string query = zvtest::signedForm(pack);
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({ asio::ip::address_v4::loopback(), server->httpPort() });
        std::string request
            = "GET /api/" + path + "?" + query + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
        if (signedIn)
            request += std::string("Authorization: Bearer ") + kToken + "\r\n";
        asio::write(socket, asio::buffer(request + "\r\n"));
        std::string reply;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        std::size_t end = reply.find("\r\n\r\n");
        return nlohmann::json::parse(end == std::string::npos ? "" : reply.substr(end + 4), nullptr, false);
    }

    std::unique_ptr<TestServer> server;
    std::unique_ptr<ApiServer> api;
};

}

TEST_F(SampleMineTest, BadInputGetsAnErrorEnvelope)
{
    struct Case {
        const char* path;
        nlohmann::json parameters;
        bool signedIn;
        int errorCode;
    };
    const std::vector<Case> cases {
        { "v1/user/playback/list", nlohmann::json::object(), false, 2000 },
        { "v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 18 } }, false, 2000 },
        { "v1/user/movie_collect/list", { { "page", 0 }, { "pageSize", 18 } }, true, 1101 },
        { "v1/user/movie_collect/list", { { "page", "1" }, { "pageSize", 1000 } }, true, 1101 },
        { "v1/notice/list", { { "page", -1 }, { "pageSize", 10 } }, false, 1101 },
        { "v1/notice/list", { { "page", "2" }, { "pageSize", "10" } }, false, 0 },
        { "v1/user/playback/delete", { { "ids", "9001,,9002" } }, true, 1101 },
        { "v1/user/playback/delete", { { "ids", "9001," } }, true, 1101 },
        { "v1/user/playback/delete", { { "ids", 9001 } }, true, 1101 },
        { "v1/user/playback/delete", { { "ids", "1 OR 1" } }, true, 1101 },
        { "v1/user/playback/delete", { { "ids", std::string(5000, '1') } }, true, 1101 },
        { "v1/user/playback/delete", { { "ids", "12345" } }, true, 1102 },
        { "v1/user/movie_collect/delete", { { "ids", "7001" } }, false, 2000 },
    };
    for (const Case& c : cases) {
        nlohmann::json reply = get(c.path, c.parameters, c.signedIn);
        EXPECT_EQ(reply.value("errorCode", -1), c.errorCode) << c.path << " " << c.parameters.dump();
    }
}
