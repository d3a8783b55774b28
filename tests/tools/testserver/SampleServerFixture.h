#pragma once

// The local test server with its whole sample API and video, as the app meets it, for tests that
// walk the sample data through the server's own replies.

#include "tests/tools/testserver/SampleServer.h"
#include "tests/tools/testserver/TestMedia.h"
#include "tools/testserver/ApiEndpoints.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <boost/asio.hpp>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace zvtest {

class SampleServerTest : public ::testing::Test {
protected:
    using json = nlohmann::json;

    // The sample account's token: the viewer's own lists and last playbacks answer to it.
    static constexpr const char* sampleToken = "tk-301877-first";

    void SetUp() override
    {
        SampleServer started = SampleServer::start();
        ASSERT_TRUE(started.api) << started.error;
        server = std::move(started.server);
        api = std::move(started.api);
        std::string error;
        ASSERT_TRUE(testserver::VideoRoutes::install(*server, testMediaDir(), &error)) << error;
    }

    static std::filesystem::path dataDir() { return SampleServer::dataDir(); }

    static std::string idText(const json& value)
    {
        if (value.is_string())
            return value.get<std::string>();
        if (value.is_number_integer())
            return std::to_string(value.get<long long>());
        return {};
    }

    static json listIn(const json& value, const char* key)
    {
        json list = value.is_object() ? value.value(key, json()) : json();
        return list.is_array() ? list : json::array();
    }

    // What the endpoint's handler delivers to a signed-in viewer: `data`, or null on an error.
    json data(const std::string& path, json parameters = json::object())
    {
        testserver::ApiHandler handler = api->handler(path);
        EXPECT_TRUE(handler) << path;
        if (!handler)
            return nullptr;
        testserver::ApiCall call;
        call.method = std::string(testserver::endpointMethod(path).value_or("GET"));
        call.path = path;
        call.parameters = std::move(parameters);
        call.token = sampleToken;
        testserver::ApiReply reply = handler(call);
        EXPECT_EQ(reply.errorCode, 0) << path << " " << call.parameters.dump() << ": " << reply.msg;
        return reply.errorCode == 0 ? reply.data.value_or(json()) : json();
    }

    // Status and body of a GET of an address of this server; status 0 for any other address.
    std::pair<int, std::string> fetch(const std::string& address)
    {
        namespace asio = boost::asio;
        std::string target;
        for (const std::string& base : { server->httpURL(), server->httpsURL() }) {
            if (address.starts_with(base + "/"))
                target = address.substr(base.size());
        }
        if (target.empty())
            return { 0, "" };
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({ asio::ip::address_v4::loopback(), server->httpPort() });
        asio::write(socket,
            asio::buffer("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"));
        std::string reply;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        std::size_t end = reply.find("\r\n\r\n");
        int status = reply.starts_with("HTTP/1.1 ") ? std::atoi(reply.c_str() + 9) : 0;
        return { status, end == std::string::npos ? "" : reply.substr(end + 4) };
    }

    // The ids a search finds.
    std::vector<std::string> search(const std::string& keyword)
    {
        std::vector<std::string> ids;
        for (const json& title : listIn(data("v1/movie/search", { { "keyword", keyword } }), "list"))
            ids.push_back(idText(title.value("id", json())));
        return ids;
    }

    std::unique_ptr<testserver::TestServer> server;
    std::unique_ptr<testserver::ApiServer> api;
};

}
