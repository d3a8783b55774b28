// The server-address bootstrap across runs of the app.

#include "app/Core/Network/BaseURLs.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/app/support/ApiTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class BootstrapTest : public ApiTest {
protected:
    struct Snapshot {
        std::string main, shortVideo, captcha, help, websocket;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot current()
    {
        return { BaseURLs::main_url(), BaseURLs::short_url(), BaseURLs::captcha_url(), BaseURLs::help_url(),
            BaseURLs::websocket_url() };
    }
    static std::optional<std::string> cached(std::string_view key)
    {
        std::optional<PropertyList> value = UserDefaults::standard().objectForKey(key);
        return value && value->asString() ? std::optional(*value->asString()) : std::nullopt;
    }
    static void serveFile(std::string body)
    {
        server().script("/domain_v2.json", testserver::Reply::json(std::move(body)));
    }

    // Runs the bootstrap and waits until its fetch has been answered and handled.
    void bootstrap()
    {
        size_t before = server().requestsTo("/domain_v2.json").size();
        network->loadDomainConfig();
        ASSERT_TRUE(runUntil([&] { return server().requestsTo("/domain_v2.json").size() > before; }));
        // A later call of the same HTTP client comes back after the file's reply.
        ASSERT_TRUE(send(HTTPMethod::GET, "v1/app/config"));
    }

    // A new start of the app: defaults reloaded from disk, base URLs back to compiled-in values.
    static void restart()
    {
        UserDefaults::resetStandardForTesting();
        BaseURLs::resetToDefaults();
    }
};

}

TEST_F(BootstrapTest, FileOverridesAllFiveAndTheNextStartRestoresOnlyMainAndShort)
{
    const Snapshot defaults = current();
    EXPECT_EQ(defaults.main, serverURL() + "/api/");
    std::string base = serverURL();
    std::string wss = "wss://127.0.0.1:" + std::to_string(server().httpsPort());
    const Snapshot learnt = { base + "/v2/api/", base + "/v2/short", base + "/v2/captcha.html",
        base + "/v2/help/", wss + "/v2/ws" };
    serveFile(R"({"api_service":")" + learnt.main + R"(","captcha_url":")" + learnt.captcha
        + R"(","short_video_service":")" + learnt.shortVideo + R"(","help_url":")" + learnt.help
        + R"(","room_gateway_websocket_url":")" + learnt.websocket + R"(","unknown":"x"})");
    bootstrap();
    EXPECT_EQ(current(), learnt);
    EXPECT_EQ(cached("main_url"), learnt.main);
    EXPECT_EQ(cached("short_url"), learnt.shortVideo);
    EXPECT_EQ(cached("captcha_url"), learnt.captcha);
    EXPECT_EQ(cached("help_url"), learnt.help);
    EXPECT_EQ(cached("websocket_url"), learnt.websocket);

    // Second run, file unreachable: the restore happens before the fetch returns.
    restart();
    EXPECT_EQ(current(), defaults);
    testserver::Reply dropped;
    dropped.action = testserver::ReplyAction::CloseWithoutReply;
    server().script("/domain_v2.json", dropped);
    network->loadDomainConfig();
    const Snapshot restored
        = { learnt.main, learnt.shortVideo, defaults.captcha, defaults.help, defaults.websocket };
    EXPECT_EQ(current(), restored);
    bootstrap();
    EXPECT_EQ(current(), restored);
    // From the first request on, the learnt API base is used.
    EXPECT_FALSE(server().requestsTo("/v2/api/v1/app/config").empty());
}

TEST_F(BootstrapTest, OnlyNonEmptyTextValuesOverrideAndAreCached)
{
    const Snapshot defaults = current();
    std::string shortVideo = serverURL() + "/short/v3";
    serveFile(R"({"api_service":"","captcha_url":null,"short_video_service":")" + shortVideo
        + R"(","help_url":5,"room_gateway_websocket_url":{"a":"wss://x/"}})");
    bootstrap();
    Snapshot expected = defaults;
    expected.shortVideo = shortVideo;
    EXPECT_EQ(current(), expected);
    EXPECT_EQ(cached("short_url"), shortVideo);
    for (std::string_view key : { "main_url", "captcha_url", "help_url", "websocket_url" })
        EXPECT_FALSE(UserDefaults::standard().objectForKey(key)) << key;
}

// Only an absolute address of the right kind replaces a base URL: http or https, ws or wss for
// the chat socket.
TEST_F(BootstrapTest, ValuesThatAreNotAbsoluteAddressesOfTheirKindAreIgnored)
{
    const Snapshot defaults = current();
    for (const char* value : { "/v2/api/", "v2/api/", "//127.0.0.1/api/", "https://", "ftp://127.0.0.1/api/",
             "javascript:alert(1)", "file:///etc/passwd", "https://127.0.0.1/a b", "ws:/ws" }) {
        serveFile(nlohmann::json(
            { { "api_service", value }, { "captcha_url", value }, { "short_video_service", value },
                { "help_url", value }, { "room_gateway_websocket_url", value } })
                      .dump());
        bootstrap();
        EXPECT_EQ(current(), defaults) << value;
        EXPECT_FALSE(cached("main_url")) << value;
    }
    serveFile(R"({"api_service":"wss://127.0.0.1/ws","room_gateway_websocket_url":"https://127.0.0.1/ws"})");
    bootstrap();
    EXPECT_EQ(current(), defaults);

    serveFile(
        R"({"api_service":"HTTP://127.0.0.1:1/api/","room_gateway_websocket_url":"ws://127.0.0.1:2/ws"})");
    bootstrap();
    EXPECT_EQ(BaseURLs::main_url(), "HTTP://127.0.0.1:1/api/");
    EXPECT_EQ(BaseURLs::websocket_url(), "ws://127.0.0.1:2/ws");
}

TEST_F(BootstrapTest, BadFilesAndBadCacheEntriesChangeNothing)
{
    const Snapshot defaults = current();
    for (const char* body : { "<html>maintenance</html>", "[\"https://x/\"]", "" }) {
        serveFile(body);
        bootstrap();
        EXPECT_EQ(current(), defaults) << body;
    }
    // Cached values that are not text, or not addresses, are not restored.
    UserDefaults::standard().setInteger(7, "main_url");
    UserDefaults::standard().set(PropertyList(std::string("javascript:alert(1)")), "short_url");
    serveFile("{}");
    bootstrap();
    EXPECT_EQ(current(), defaults);
}
