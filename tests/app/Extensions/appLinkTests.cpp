#include "app/Extensions/appLink.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "tests/support/MainLoopTest.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/TestServer.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>

namespace {

class AppLinkTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        std::string error;
        server = testserver::TestServer::start({ zvtest::testKeysDir(), {} }, &error);
        ASSERT_TRUE(server) << error;
        ::setenv("ZV_INFO_TrustedCAFile", (zvtest::testKeysDir() / "ca.pem").c_str(), 1);
        Log::setSink([this](std::string_view line) {
            // Only the probe's lines; the platform may log on its own.
            if (line != "setup" && line != "Preparing" && line != "ready" && line != "waiting or failed"
                && !line.starts_with("Used "))
                return;
            std::lock_guard lock(mutex);
            lines.emplace_back(line);
        });
        observer = NotificationCenter::defaultCenter().addObserver(
            "changelabel", [this](const Notification& note) {
                const std::string* text = std::any_cast<std::string>(&note.object);
                verdicts.push_back(text ? *text : "<no text>");
            });
    }

    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(observer);
        Log::setSink({});
        for (const char* key : { "ZV_INFO_TrustedCAFile", "ZV_INFO_ProbeHost", "ZV_INFO_DoHResolverURL" })
            ::unsetenv(key);
        Bundle::resetForTesting();
        server.reset();
        MainLoopTest::TearDown();
    }

    void configure(const std::string& probeHost, const std::string& resolver = "")
    {
        ::setenv("ZV_INFO_ProbeHost", probeHost.c_str(), 1);
        ::setenv("ZV_INFO_DoHResolverURL", resolver.c_str(), 1);
        Bundle::resetForTesting();
    }

    // Runs the set-up and waits for the probe's final state.
    std::vector<std::string> runProbe(HTTPClient& httpClient)
    {
        appLink::create(httpClient)->allLinkInAppDoH();
        EXPECT_TRUE(runUntil([&] {
            std::lock_guard lock(mutex);
            return std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
                return line == "ready" || line == "waiting or failed";
            }) != lines.end();
        }));
        std::lock_guard lock(mutex);
        return lines;
    }

    std::string httpsHost(const std::string& name) const
    {
        return name + ":" + std::to_string(server->httpsPort());
    }

    std::unique_ptr<testserver::TestServer> server;
    HTTPClient client;
    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<std::string> verdicts;
    NotificationCenter::Token observer;
};

}

TEST_F(AppLinkTest, ProbeOfAHostNameReportsTheSystemResolverWhenNoneIsConfigured)
{
    configure(httpsHost("localhost"));
    std::vector<std::string> log = runProbe(client);
    EXPECT_EQ(log, (std::vector<std::string> { "setup", "Preparing", "ready", "Used unencrypted DNS!" }));
    EXPECT_EQ(verdicts, std::vector<std::string> { "Used unencrypted DNS!" });
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_EQ(server->requests()[0].method, "HEAD");
    EXPECT_EQ(server->requests()[0].scheme, "https");
}

TEST_F(AppLinkTest, AddressLiteralsNeedNoResolutionAndFailuresOnlyLog)
{
    configure(httpsHost("127.0.0.1"));
    EXPECT_EQ(runProbe(client), (std::vector<std::string> { "setup", "Preparing", "ready" }));

    lines.clear();
    configure("127.0.0.1:" + std::to_string(server->httpPort())); // plain HTTP: no TLS connection
    EXPECT_EQ(runProbe(client), (std::vector<std::string> { "setup", "Preparing", "waiting or failed" }));
    EXPECT_TRUE(verdicts.empty());

    EXPECT_TRUE(appLink::isAddressLiteral("[::1]:443"));
    EXPECT_TRUE(appLink::isAddressLiteral("::1"));
    EXPECT_FALSE(appLink::isAddressLiteral("localhost:443"));
    EXPECT_FALSE(appLink::isUsableResolverURL("http://127.0.0.1/dns-query"));
    EXPECT_FALSE(appLink::isUsableResolverURL("https:///dns-query"));
}

TEST_F(AppLinkTest, ResolverHoldsForEveryLaterTransferOfTheClient)
{
    std::atomic<int> queries = 0;
    server->route("/dns-query", [&](const testserver::Request& request) {
        if (request.header("Content-Type") == "application/dns-message" || request.query.starts_with("dns="))
            ++queries;
        // No answer: the name stays unresolved.
        return testserver::Reply::text(400, "no");
    });
    configure(httpsHost("probe.zentavo.test"), server->httpsURL() + "/dns-query");
    std::vector<std::string> log = runProbe(client);
    EXPECT_EQ(log.back(), "waiting or failed");
    EXPECT_GT(queries.load(), 0);
    EXPECT_TRUE(verdicts.empty());

    // Later transfers of the same client ask the resolver too.
    int before = queries.load();
    bool done = false;
    HTTPRequest later;
    later.url = "https://" + httpsHost("other.zentavo.test") + "/";
    // The name never resolves; a short time-out bounds the wait on a loaded machine.
    later.timeout = 5;
    client.send(later, [&](HTTPResponse) { done = true; });
    ASSERT_TRUE(runUntil([&] { return done; }, 30.0));
    EXPECT_GT(queries.load(), before);
}
