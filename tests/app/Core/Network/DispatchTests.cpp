// Reply decoding and the error dispatch, end to end against the local API server.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "tests/app/support/ApiTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace zvtest;
using testserver::ApiReply;

namespace {

constexpr std::string_view kPath = "v1/movie/search"; // the path of ZV_API::search

class DispatchTest : public ApiTest {
protected:
    // The same call by literal path and by endpoint; both must come to the same.
    std::vector<Reply> sendBothWays(const JSON& parameters = JSON::object())
    {
        std::vector<Reply> replies;
        for (bool byEndpoint : { false, true }) {
            std::optional<Reply> reply = byEndpoint ? send(HTTPMethod::GET, ZV_API::search, parameters)
                                                    : send(HTTPMethod::GET, kPath, parameters);
            EXPECT_TRUE(reply) << (byEndpoint ? "endpoint" : "literal path");
            if (reply)
                replies.push_back(*reply);
        }
        return replies;
    }

    void scriptRaw(testserver::Reply reply)
    {
        server().script("/api/" + std::string(kPath), std::move(reply));
    }

    // Scripts for the table cases: an API reply, or a raw HTTP reply.
    std::function<void()> viaApi(ApiReply reply)
    {
        return [reply] { api().script(std::string(kPath), reply); };
    }
    std::function<void()> raw(testserver::Reply reply)
    {
        return [this, reply] { scriptRaw(reply); };
    }

    // A call whose completion must not run: waits for its reply to be handled.
    void sendExpectingNoCompletion(std::string_view path)
    {
        int before = ui->hides;
        network->request(HTTPMethod::GET, BaseURLs::main_url(), path, JSON::object(),
            [](std::optional<JSON>, std::optional<NSError>) { ADD_FAILURE() << "completion called"; });
        ASSERT_TRUE(waitForReplies(before));
    }
};

ApiReply encrypted(ApiReply reply, ApiReply::Encryption encryption)
{
    reply.encryption = encryption;
    return reply;
}

testserver::Reply rawJSON(std::string body, testserver::Headers extra = {})
{
    testserver::Reply reply = testserver::Reply::json(std::move(body));
    for (auto& field : extra)
        reply.headers.push_back(std::move(field));
    return reply;
}

}

TEST_F(DispatchTest, SuccessDeliversDataOrMessageOnBothRoutes)
{
    struct Case {
        const char* name;
        std::function<void()> script;
        JSON expected;
    };
    const char* listText = R"({"list":[{"id":"40217"}],"total":1})";
    JSON object = JSON::parse(listText);
    auto list = nlohmann::json::parse(listText);
    std::vector<Case> cases = {
        { "object", viaApi(ApiReply::success(list)), object },
        { "empty array gives msg", viaApi(ApiReply::success(nlohmann::json::array(), "ok")), JSON("ok") },
        { "empty object gives msg", viaApi(ApiReply::success(nlohmann::json::object(), "ok")), JSON("ok") },
        { "number passes", viaApi(ApiReply::success(5)), JSON(5) },
        { "Boolean passes", viaApi(ApiReply::success(true)), JSON(true) },
        { "empty text gives msg", viaApi(ApiReply::success("", "done")), JSON("done") },
        { "encrypted data", viaApi(encrypted(ApiReply::success(list), ApiReply::Encryption::Data)), object },
        { "encrypted body", viaApi(encrypted(ApiReply::success(list), ApiReply::Encryption::Body)), object },
        { "no errorCode", raw(rawJSON(R"({"data":{"total":1}})")), JSON::parse(R"({"total":1})") },
        { "errorCode as text", raw(rawJSON(R"({"errorCode":"0","msg":"fine"})")), JSON("fine") },
        { "no data, no msg", raw(rawJSON(R"({"errorCode":0})")), JSON(nullptr) },
        { "header false: plain",
            raw(rawJSON(R"({"errorCode":0,"data":{"total":1}})", { { "x-app-data-encrypt", "false" } })),
            JSON::parse(R"({"total":1})") },
        { "status not checked", raw(testserver::Reply::json(R"({"errorCode":0,"data":{"total":1}})", 500)),
            JSON::parse(R"({"total":1})") },
    };
    for (const Case& c : cases) {
        api().clearScripts();
        server().clearScripts();
        c.script();
        for (const Reply& reply : sendBothWays()) {
            EXPECT_FALSE(reply.error) << c.name;
            ASSERT_TRUE(reply.json) << c.name;
            EXPECT_EQ(*reply.json, c.expected) << c.name << ": " << reply.json->rawString().value_or("?");
        }
    }
    EXPECT_EQ(ui->logins, 0);
}

// A caller that asks for empty data as it is gets an empty array or object itself; every other
// reply reads as for any caller.
TEST_F(DispatchTest, EmptyDataAsItIsKeepsOnlyTheEmptyArrayAndObject)
{
    struct Case {
        const char* name;
        std::function<void()> script;
        JSON expected;
    };
    auto list = nlohmann::json::parse(R"([{"id":"40217"}])");
    std::vector<Case> cases = {
        { "empty array", viaApi(ApiReply::success(nlohmann::json::array(), "ok")), JSON::array({}) },
        { "empty array, encrypted body",
            viaApi(encrypted(ApiReply::success(nlohmann::json::array(), "ok"), ApiReply::Encryption::Body)),
            JSON::array({}) },
        { "empty object", viaApi(ApiReply::success(nlohmann::json::object(), "ok")), JSON::object() },
        { "an array", viaApi(ApiReply::success(list)), JSON::parse(list.dump()) },
        { "empty text gives msg", viaApi(ApiReply::success("", "done")), JSON("done") },
        { "null gives msg", viaApi(ApiReply::success(nullptr, "done")), JSON("done") },
        { "no data, no msg", raw(rawJSON(R"({"errorCode":0})")), JSON(nullptr) },
    };
    for (const Case& c : cases) {
        api().clearScripts();
        server().clearScripts();
        c.script();
        auto got = std::make_shared<std::optional<Reply>>();
        network->request(
            HTTPMethod::GET, BaseURLs::main_url(), kPath, JSON::object(),
            [got](std::optional<JSON> json, std::optional<NSError> error) { *got = Reply { json, error }; },
            ZV_Network::SignInReplies::Silent, ZV_Network::EmptyData::AsIs);
        ASSERT_TRUE(runUntil([&] { return got->has_value(); })) << c.name;
        EXPECT_FALSE((*got)->error) << c.name;
        ASSERT_TRUE((*got)->json) << c.name;
        EXPECT_EQ(*(*got)->json, c.expected) << c.name << ": " << (*got)->json->rawString().value_or("?");
    }
}

TEST_F(DispatchTest, UnusableRepliesAreNetworkAnomaliesAndServerErrorsCarryTheirMessage)
{
    struct Case {
        const char* name;
        std::function<void()> script;
        std::string domain;
        long code;
    };
    auto acting = [](testserver::ReplyAction action) {
        testserver::Reply reply = rawJSON(R"({"errorCode":0,"data":{"list":[1,2,3,4,5,6,7,8]}})");
        reply.action = action;
        return reply;
    };
    std::vector<Case> cases = {
        { "data under a wrong key",
            viaApi(encrypted(ApiReply::success({ { "a", 1 } }), ApiReply::Encryption::DataWrongKey)),
            "网络异常", 404 },
        { "body under a wrong key",
            viaApi(encrypted(ApiReply::success({ { "a", 1 } }), ApiReply::Encryption::BodyWrongKey)),
            "网络异常", 404 },
        { "data text that is not base64", raw(rawJSON(R"({"errorCode":0,"data":"%%%"})")), "网络异常", 404 },
        { "header true over plain JSON",
            raw(rawJSON(R"({"errorCode":0,"data":{"a":1}})", { { "x-app-data-encrypt", "true" } })),
            "网络异常", 404 },
        { "header 1 over plain JSON", raw(rawJSON(R"({"errorCode":0})", { { "X-App-Data-Encrypt", "1" } })),
            "网络异常", 404 },
        { "malformed body", raw(rawJSON(R"({"errorCode":0,"data":)")), "网络异常", 404 },
        { "top-level array", raw(rawJSON("[1,2]")), "网络异常", 404 },
        { "top-level text", raw(rawJSON(R"("ok")")), "网络异常", 404 },
        { "server error", viaApi(ApiReply::error(1234, "片源维护中")), "片源维护中", 1234 },
        { "server error without msg", raw(rawJSON(R"({"errorCode":"77"})")), "", 77 },
        { "empty body", raw(testserver::Reply::text(200, "")), "网络错误", 404 },
        { "truncated body", raw(acting(testserver::ReplyAction::TruncateBody)), "网络错误", 404 },
        { "closed without reply", raw(acting(testserver::ReplyAction::CloseWithoutReply)), "网络错误", 404 },
    };
    for (const Case& c : cases) {
        api().clearScripts();
        server().clearScripts();
        c.script();
        for (const Reply& reply : sendBothWays()) {
            EXPECT_FALSE(reply.json) << c.name;
            ASSERT_TRUE(reply.error) << c.name;
            EXPECT_EQ(reply.error->domain, c.domain) << c.name;
            EXPECT_EQ(reply.error->code, c.code) << c.name;
        }
    }
    // Every reply took the tips away.
    EXPECT_EQ(ui->hides, static_cast<int>(cases.size()) * 2);
}

TEST_F(DispatchTest, SignInCodesEndTheSignInExceptOnTheThreeExemptPaths)
{
    for (int code : { 2000, 2002 }) {
        setToken("tk-301877-first");
        for (std::string_view exempt :
            { "v1/user/movie_collect/list", "v1/user/playback/list", "v1/user/info" }) {
            ApiReply reply = ApiReply::error(code, "请先登录");
            reply.data = nlohmann::json::array({ 1 });
            api().script(std::string(exempt), reply);
            std::optional<Reply> got = send(HTTPMethod::GET, exempt);
            ASSERT_TRUE(got && got->json) << exempt;
            EXPECT_FALSE(got->error);
            EXPECT_EQ(*got->json, JSON::array({ JSON(1) })) << exempt;
            // Without data the message comes through, undecrypted.
            reply.data = "bm90LWRlY3J5cHRlZA";
            api().script(std::string(exempt), reply);
            got = send(HTTPMethod::GET, exempt);
            ASSERT_TRUE(got && got->json);
            EXPECT_EQ(*got->json, JSON("请先登录"));
        }
        EXPECT_EQ(storedToken(), "tk-301877-first");
        EXPECT_EQ(ui->logins, 0);

        ConfigSingleton::shared().zv_userInfoModel = std::make_shared<const ZV_UserInfoModel>();
        api().script(std::string(kPath), ApiReply::error(code, "登录已过期"));
        sendExpectingNoCompletion(kPath);
        EXPECT_FALSE(storedToken());
        EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
        EXPECT_EQ(ui->logins, 1);

        // While that login screen is up, more refusals present no second one.
        int before = ui->hides;
        for (int i = 0; i < 2; ++i) {
            network->request(HTTPMethod::GET, BaseURLs::main_url(), kPath, JSON::object(),
                [](std::optional<JSON>, std::optional<NSError>) { ADD_FAILURE() << "completion called"; });
        }
        ASSERT_TRUE(waitForReplies(before, 2));
        EXPECT_EQ(ui->logins, 1);

        // Once it is gone, the next refusal presents it again.
        ui->loginUp = false;
        sendExpectingNoCompletion(kPath);
        EXPECT_EQ(ui->logins, 2);
        ui->logins = 0;
        ui->loginUp = false;
        api().clearScripts();
    }
}

TEST_F(DispatchTest, ExpiredTokenIsRefreshedOnceForRequestsRefusedTogether)
{
    setToken("tk-301877-first");
    api().script(std::string(kPath), ApiReply::error(2001, "token expired"));
    ApiReply refreshed = ApiReply::success({ { "refresh_token", "tk-301877-second" } });
    // Slow enough that both refusals arrive while it runs.
    refreshed.delay = std::chrono::milliseconds(500);
    api().script("v1/user/refresh_token", refreshed);

    int before = ui->hides;
    auto fail = [](std::optional<JSON>, std::optional<NSError>) { ADD_FAILURE() << "completion called"; };
    network->request(HTTPMethod::GET, BaseURLs::main_url(), kPath, JSON::object(), fail);
    network->request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::search, JSON::object(), false, fail);
    ASSERT_TRUE(waitForReplies(before, 2));
    EXPECT_TRUE(network->isTokenRefreshInFlight());
    ASSERT_TRUE(waitForReplies(before, 3));
    EXPECT_FALSE(network->isTokenRefreshInFlight());

    auto refreshes = api().recordsTo("v1/user/refresh_token");
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0].request.method, "GET");
    EXPECT_EQ(refreshes[0].request.header("Authorization"), "Bearer tk-301877-first");
    EXPECT_EQ(ui->loadings, 1);
    EXPECT_EQ(storedToken(), "tk-301877-second");
    // The refused requests are not sent again.
    EXPECT_EQ(api().recordsTo(kPath).size(), 2u);
    EXPECT_EQ(ui->logins, 0);

    // A refresh whose reply has no text token removes the stored one.
    api().script("v1/user/refresh_token", ApiReply::success({ { "refresh_token", 5 } }));
    before = ui->hides;
    network->request(HTTPMethod::GET, BaseURLs::main_url(), kPath, JSON::object(), fail);
    ASSERT_TRUE(waitForReplies(before, 2));
    EXPECT_FALSE(storedToken());
}

TEST_F(DispatchTest, ARefreshRefusedAsExpiredEndsTheSignIn)
{
    setToken("tk-301877-first");
    api().script(std::string(kPath), ApiReply::error(2001, "token expired"));
    api().script("v1/user/refresh_token", ApiReply::error(2001, "token expired"));
    int before = ui->hides;
    network->request(HTTPMethod::GET, BaseURLs::main_url(), kPath, JSON::object(),
        [](std::optional<JSON>, std::optional<NSError>) { ADD_FAILURE() << "completion called"; });
    ASSERT_TRUE(waitForReplies(before, 2));
    drain();
    EXPECT_EQ(api().recordsTo("v1/user/refresh_token").size(), 1u);
    EXPECT_FALSE(network->isTokenRefreshInFlight());
    EXPECT_FALSE(storedToken());
    EXPECT_EQ(ui->logins, 1);
}

TEST_F(DispatchTest, FavouriteToggleAnnouncesItselfAfterTheCompletion)
{
    std::vector<std::string> order;
    std::vector<std::any> objects;
    auto token = NotificationCenter::defaultCenter().addObserver("collect", [&](const Notification& note) {
        order.push_back("collect");
        objects.push_back(note.object);
    });
    api().script("v1/movie/collect/action", ApiReply::success(nlohmann::json::array(), "收藏成功"));

    std::optional<JSON> got;
    network->request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::movieCollectAction,
        JSON::object({ { "movie_id", JSON(40217) } }), false,
        [&](std::optional<JSON> json, std::optional<NSError>) {
            order.push_back("completion");
            got = json;
        });
    ASSERT_TRUE(runUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order, (std::vector<std::string> { "completion", "collect" }));
    EXPECT_EQ(got, JSON("收藏成功"));
    ASSERT_TRUE(std::any_cast<JSON>(&objects[0]));
    EXPECT_EQ(std::any_cast<JSON>(objects[0]), JSON(40217));

    // Without the parameter the notification has no object; a failed toggle posts nothing.
    ASSERT_TRUE(send(HTTPMethod::POST, "v1/movie/collect/action"));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_FALSE(objects[1].has_value());
    api().script("v1/movie/collect/action", ApiReply::error(1, "失败"));
    ASSERT_TRUE(send(HTTPMethod::POST, "v1/movie/collect/action"));
    EXPECT_EQ(objects.size(), 2u);
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(DispatchTest, TransportFailuresAreNetworkErrorsAndNeverCrashTheClient)
{
    // Nothing listening.
    auto got = std::make_shared<std::optional<Reply>>();
    network->request(HTTPMethod::GET, deadURL() + "/api/", "v1/app/config", JSON::object(),
        [got](std::optional<JSON> json, std::optional<NSError> error) {
            *got = Reply { json, error };
        });
    ASSERT_TRUE(runUntil([&] { return got->has_value(); }));
    ASSERT_TRUE((*got)->error);
    EXPECT_FALSE((*got)->json);
    EXPECT_EQ((*got)->error->domain, "网络错误");
    EXPECT_EQ((*got)->error->code, 404);

    // A reply slower than the time-out.
    network->setRequestTimeout(0.3);
    ApiReply slow = ApiReply::success({ { "a", 1 } });
    slow.delay = std::chrono::milliseconds(3000);
    api().script(std::string(kPath), slow);
    std::optional<Reply> reply = send(HTTPMethod::GET, kPath);
    ASSERT_TRUE(reply && reply->error);
    EXPECT_EQ(reply->error->domain, "网络错误");
    network->setRequestTimeout(ZV_Network::defaultRequestTimeout);

    // Garbage of every kind is an anomaly, never a crash.
    std::string deep(100000, '[');
    std::string binary;
    for (int i = 0; i < 512; ++i)
        binary.push_back(static_cast<char>(i * 37));
    for (const std::string& body : { deep, binary, std::string("\xff\xfe{}", 4), std::string("null") }) {
        for (bool flagged : { false, true }) {
            testserver::Reply raw = rawJSON(body);
            if (flagged)
                raw.headers.emplace_back("x-app-data-encrypt", "true");
            scriptRaw(raw);
            reply = send(HTTPMethod::GET, kPath);
            ASSERT_TRUE(reply && reply->error);
            EXPECT_EQ(reply->error->domain, "网络异常");
        }
    }
}

TEST_F(DispatchTest, RepliesForAClientThatIsGoneAreDropped)
{
    bool called = false;
    network->request(HTTPMethod::GET, BaseURLs::main_url(), "v1/app/config", JSON::object(),
        [&called](std::optional<JSON>, std::optional<NSError>) { called = true; });
    network.reset();
    ASSERT_TRUE(runUntil([&] { return !api().recordsTo("v1/app/config").empty(); }));
    // A later call of another client comes back after the dropped one.
    network = ZV_Network::create();
    ASSERT_TRUE(send(HTTPMethod::GET, "v1/app/config"));
    EXPECT_FALSE(called);
}

// Replies past the size limit (the information key's, 4 MiB unless set) are network errors.
TEST_F(DispatchTest, RepliesPastTheSizeLimitAreNetworkErrors)
{
    auto sized = [](std::size_t bytes) {
        return ApiReply::success({ { "filler", std::string(bytes, 'x') } });
    };
    api().script(std::string(kPath), sized(ZV_Network::defaultMaxReplyBytes));
    std::optional<Reply> large = send(HTTPMethod::GET, kPath);
    ASSERT_TRUE(large && large->error);
    EXPECT_EQ(large->error->domain, "网络错误");

    ::setenv("ZV_INFO_MaxAPIReplyBytes", "1000", 1);
    Bundle::resetForTesting();
    api().script(std::string(kPath), sized(1000));
    std::optional<Reply> configured = send(HTTPMethod::GET, kPath);
    api().script(std::string(kPath), sized(900));
    std::optional<Reply> within = send(HTTPMethod::GET, kPath);
    ::unsetenv("ZV_INFO_MaxAPIReplyBytes");
    Bundle::resetForTesting();
    ASSERT_TRUE(configured && configured->error);
    EXPECT_EQ(configured->error->domain, "网络错误");
    ASSERT_TRUE(within && within->json);
    EXPECT_EQ((*within->json)["filler"].stringValue().size(), 900u);
}

// The sample API encrypted for the whole run or for one path reads the same as in the clear, and a
// path can be held back.
TEST_F(DispatchTest, SampleRepliesReadTheSameEncryptedOrHeldBack)
{
    JSON parameters = JSON::object({ { "id", JSON(40217) } });
    std::optional<Reply> clear = send(HTTPMethod::GET, "v1/movie/detail", parameters);
    ASSERT_TRUE(clear && clear->json);
    for (ApiReply::Encryption encryption : { ApiReply::Encryption::Body, ApiReply::Encryption::Data }) {
        api().clearScripts();
        api().setEncryption(encryption);
        std::optional<Reply> wholeRun = send(HTTPMethod::GET, "v1/movie/detail", parameters);
        api().clearScripts();
        api().setEncryption("v1/movie/detail", encryption);
        std::optional<Reply> onePath = send(HTTPMethod::GET, "v1/movie/detail", parameters);
        for (const std::optional<Reply>& reply : { wholeRun, onePath }) {
            ASSERT_TRUE(reply && reply->json) << int(encryption);
            EXPECT_EQ(*reply->json, *clear->json) << int(encryption);
        }
    }

    api().setDelay("v1/movie/detail", std::chrono::milliseconds(300));
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(send(HTTPMethod::GET, "v1/movie/detail", parameters));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
}
