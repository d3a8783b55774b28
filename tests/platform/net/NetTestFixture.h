#pragma once

#include "platform/net/HTTPClient.h"
#include "tests/support/MainLoopTest.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace zvtest {

// A local test server and a client of its own that trusts the test authority.
class NetTest : public MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        std::string error;
        server
            = testserver::TestServer::start({ testKeysDir(), sourceDir() / "tools/testserver/data" }, &error);
        ASSERT_TRUE(server) << error;
        client = std::make_unique<HTTPClient>();
        client->setTrustedCAFile((testKeysDir() / "ca.pem").string());
    }

    void TearDown() override
    {
        client.reset();
        server.reset();
        MainLoopTest::TearDown();
    }

    // Sends and waits (real time) for the completion on the main run loop.
    HTTPResponse perform(HTTPRequest request)
    {
        std::optional<HTTPResponse> reply;
        client->send(std::move(request), [&reply](HTTPResponse response) { reply = std::move(response); });
        EXPECT_TRUE(runUntil([&] { return reply.has_value(); }, 20));
        return reply.value_or(HTTPResponse {});
    }

    HTTPResponse get(const std::string& url, double timeout = 10)
    {
        HTTPRequest request;
        request.url = url;
        request.timeout = timeout;
        return perform(std::move(request));
    }

    static HTTPRequest request(const std::string& url)
    {
        HTTPRequest request;
        request.url = url;
        return request;
    }

    // Waits (real time) until the server has recorded a request to path. The server's thread
    // posts nothing to the main run loop, so this watches the record itself.
    bool waitForRequestTo(const std::string& path) const
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (server->requestsTo(path).empty()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::yield();
        }
        return true;
    }

    std::string http(const std::string& path) const { return server->httpURL() + path; }
    std::string https(const std::string& path) const { return server->httpsURL() + path; }

    std::unique_ptr<testserver::TestServer> server;
    std::unique_ptr<HTTPClient> client;
};

}
