#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/net/URLEncodedFormEncoder.h"
#include "tests/platform/net/NetTestFixture.h"
#include "tests/support/HelperProcess.h"

#include <chrono>
#include <cstdlib>

using namespace testserver;
using zvtest::NetTest;

namespace {

using Seconds = std::chrono::duration<double>;

Seconds since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::steady_clock::now() - start;
}

// The request fields with these names, in the order they arrived.
Headers fieldsNamed(const Request& request, std::initializer_list<std::string_view> names)
{
    Headers found;
    for (const auto& field : request.headers) {
        for (std::string_view name : names) {
            if (field.first == name)
                found.push_back(field);
        }
    }
    return found;
}

}

TEST_F(NetTest, FormTravelsByteForByteInQueryAndBody)
{
    URLEncodedForm form { { "signature", "0a1b-._~" }, { "pack", "a+b/c=d?e&f g%\xC3\xA9" } };
    const std::string encoded = "pack=a%2Bb/c%3Dd?e%26f%20g%25%C3%A9&signature=0a1b-._~";

    HTTPResponse getReply
        = perform(URLEncodedFormEncoder::makeRequest(HTTPMethod::GET, https("/api/v1/x"), form));
    EXPECT_EQ(getReply.statusCode, 404);
    HTTPResponse postReply
        = perform(URLEncodedFormEncoder::makeRequest(HTTPMethod::POST, https("/api/v1/x"), form));
    EXPECT_EQ(postReply.statusCode, 404);

    std::vector<Request> record = server->requestsTo("/api/v1/x");
    ASSERT_EQ(record.size(), 2u);
    EXPECT_EQ(record[0].method, "GET");
    EXPECT_EQ(record[0].query, encoded);
    EXPECT_EQ(record[0].body, "");
    EXPECT_EQ(record[1].method, "POST");
    EXPECT_EQ(record[1].query, "");
    EXPECT_EQ(record[1].body, encoded);
    EXPECT_EQ(record[1].header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(
        record[1].formItems(), (Items { { "pack", "a+b/c=d?e&f g%\xC3\xA9" }, { "signature", "0a1b-._~" } }));
}

TEST_F(NetTest, HeadersKeepTheirOrderBothWays)
{
    Reply reply = Reply::json("{}");
    reply.headers
        = { { "x-app-data-encrypt", "true" }, { "Content-Type", "application/json" }, { "X-Last", "z" } };
    server->script("/api/v1/user/info", reply);

    HTTPRequest request;
    request.url = https("/api/v1/user/info");
    request.headers = { { "X-Client-Version", "308" }, { "Accept", "application/prs.Morvik.v2+json" },
        { "X-Client-Setting", "{\"pure-mode\":false}" }, { "Authorization", "Bearer token" },
        { "X-Client-Device", "{\"brand\":\"Apple\",\"type\":2}" } };
    HTTPResponse response = perform(request);

    ASSERT_TRUE(response.succeeded()) << response.error->message;
    EXPECT_EQ(response.headers.at(0), (std::pair<std::string, std::string>("x-app-data-encrypt", "true")));
    EXPECT_EQ(response.header("x-app-data-encrypt"), "true");
    EXPECT_EQ(response.header("X-App-Data-Encrypt"), std::nullopt);
    EXPECT_EQ(response.headers.at(2), (std::pair<std::string, std::string>("X-Last", "z")));

    ASSERT_EQ(server->requests().size(), 1u);
    Request arrived = server->requests()[0];
    EXPECT_EQ(fieldsNamed(arrived,
                  { "X-Client-Version", "Accept", "X-Client-Setting", "Authorization", "X-Client-Device",
                      "Content-Type" }),
        request.headers);
}

TEST_F(NetTest, HTTPSIsVerifiedAgainstTheTrustedAuthority)
{
    HTTPResponse byAddress = get(https("/domain_v2.json"));
    ASSERT_TRUE(byAddress.succeeded()) << byAddress.error->message;
    EXPECT_EQ(byAddress.statusCode, 200);
    std::optional<std::string> text = byAddress.text();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find(server->httpsURL() + "/api/"), std::string::npos);

    HTTPResponse byName
        = get("https://localhost:" + std::to_string(server->httpsPort()) + "/images/cover.png");
    ASSERT_TRUE(byName.succeeded()) << byName.error->message;
    EXPECT_EQ(byName.header("Content-Type"), "image/png");
}

TEST_F(NetTest, HTTPSIsRefusedWithAnotherAuthority)
{
    zvtest::TempDir other;
    zvtest::makeTestKeys(other / "keys");
    client->setTrustedCAFile((other / "keys" / "ca.pem").string());
    HTTPResponse refused = get(https("/domain_v2.json"));
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, HTTPError::Code::SecureConnectionFailed) << refused.error->message;
    EXPECT_FALSE(refused.statusCode);
    EXPECT_FALSE(refused.body);

    // A CA file that cannot be read is no reason to fall back to another store; the log says
    // so once.
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    std::string missingFile = (other / "missing.pem").string();
    client->setTrustedCAFile(missingFile);
    for (int i = 0; i < 2; ++i) {
        HTTPResponse missing = get(https("/domain_v2.json"));
        ASSERT_TRUE(missing.error);
        EXPECT_EQ(missing.error->code, HTTPError::Code::SecureConnectionFailed) << missing.error->message;
    }
    Log::setSink({});
    EXPECT_TRUE(server->requests().empty());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(missingFile), std::string::npos) << lines[0];
}

TEST_F(NetTest, RefusedAndInvalidTargets)
{
    std::string error;
    std::unique_ptr<TestServer> gone = TestServer::start({ zvtest::testKeysDir(), {} }, &error);
    ASSERT_TRUE(gone) << error;
    std::string goneURL = gone->httpURL() + "/x";
    gone.reset();
    HTTPResponse refused = get(goneURL);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, HTTPError::Code::CannotConnect) << refused.error->message;

    for (const char* url :
        { "ftp://127.0.0.1/x", "not a url", "http://", "", "https://127.0.0.1/a b", "file:///etc/passwd" }) {
        HTTPResponse invalid = get(url);
        ASSERT_TRUE(invalid.error) << url;
        EXPECT_EQ(invalid.error->code, HTTPError::Code::InvalidURL) << url;
    }
    // Refused or invalid, none is still counted as under way.
    EXPECT_EQ(client->requestsUnderWay(), 0u);
}

TEST_F(NetTest, EmptyBodiesFollowTheRule)
{
    server->script("/empty", Reply::text(200, ""));
    server->script("/nothing", Reply::text(204, ""));
    server->script("/reset", Reply::text(205, ""));

    HTTPResponse empty = get(http("/empty"));
    ASSERT_TRUE(empty.error);
    EXPECT_EQ(empty.error->code, HTTPError::Code::EmptyBody);
    EXPECT_EQ(empty.statusCode, 200);
    EXPECT_FALSE(empty.body);

    for (const char* path : { "/nothing", "/reset" }) {
        HTTPResponse allowed = get(http(path));
        EXPECT_TRUE(allowed.succeeded()) << path;
        EXPECT_EQ(allowed.body, Data {}) << path;
    }

    HTTPRequest head;
    head.method = HTTPMethod::HEAD;
    head.url = http("/images/cover.png");
    HTTPResponse headReply = perform(head);
    EXPECT_TRUE(headReply.succeeded());
    EXPECT_EQ(headReply.body, Data {});
    EXPECT_EQ(headReply.statusCode, 200);

    HTTPRequest raw;
    raw.url = http("/empty");
    raw.emptyBody = EmptyBodyRule::Accept;
    HTTPResponse rawReply = perform(raw);
    EXPECT_TRUE(rawReply.succeeded());
    EXPECT_EQ(rawReply.statusCode, 200);
    EXPECT_FALSE(rawReply.body);
}

TEST_F(NetTest, BodiesOverTheLimitAreRefused)
{
    server->script("/big", Reply::text(200, std::string(5000, 'x')));
    HTTPRequest limited = request(http("/big"));
    limited.maxBodySize = 4999;
    HTTPResponse refused = perform(limited);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, HTTPError::Code::TooLarge);
    EXPECT_FALSE(refused.body);

    limited.maxBodySize = 5000;
    HTTPResponse whole = perform(limited);
    EXPECT_TRUE(whole.succeeded());
    EXPECT_EQ(whole.body->size(), 5000u);
}

TEST_F(NetTest, BrokenRepliesAreTransportFailures)
{
    Reply truncated = Reply::text(200, std::string(4000, 'x'));
    truncated.action = ReplyAction::TruncateBody;
    server->script("/truncated", truncated);
    Reply dropped;
    dropped.action = ReplyAction::CloseWithoutReply;
    server->script("/dropped", dropped);

    for (const std::string& url :
        { http("/truncated"), https("/truncated"), http("/dropped"), https("/dropped") }) {
        HTTPResponse response = get(url);
        ASSERT_TRUE(response.error) << url;
        EXPECT_EQ(response.error->code, HTTPError::Code::ConnectionLost)
            << url << ": " << response.error->message;
        EXPECT_FALSE(response.body) << url;
    }
}

TEST_F(NetTest, StatusIsNotValidatedAndRedirectsAreFollowed)
{
    server->script("/fail", Reply::json("{\"errorCode\":500}", 500));
    HTTPResponse failed = get(https("/fail"));
    EXPECT_TRUE(failed.succeeded());
    EXPECT_EQ(failed.statusCode, 500);
    EXPECT_EQ(failed.text(), "{\"errorCode\":500}");

    Reply redirect;
    redirect.status = 302;
    redirect.headers = { { "Location", "/domain_v2.json" } };
    server->script("/old", redirect);
    HTTPResponse moved = get(https("/old"));
    EXPECT_TRUE(moved.succeeded());
    EXPECT_EQ(moved.statusCode, 200);
    EXPECT_TRUE(moved.header("Location") == std::nullopt);
    EXPECT_EQ(moved.url, https("/domain_v2.json"));
    EXPECT_EQ(server->requests().back().path, "/domain_v2.json");
}

TEST_F(NetTest, MultipartUploadArrivesWhole)
{
    server->script("/api/v1/user/upload_image", Reply::json("{\"errorCode\":0}"));
    Data image { 0x89, 'P', 'N', 'G', '\r', '\n', 0x00, '-', '-', 0xFF };
    MultipartFormData form;
    form.append("room", "1");
    form.append(image, "image", "image.png", "image/png");
    std::optional<HTTPResponse> reply;
    client->upload(https("/api/v1/user/upload_image"),
        { { "Accept", "application/prs.Morvik.v2+json" }, { "Authorization", "Bearer t" } }, form,
        [&](HTTPResponse r) { reply = std::move(r); });
    ASSERT_TRUE(runUntil([&] { return reply.has_value(); }, 20));
    EXPECT_TRUE(reply->succeeded());
    EXPECT_EQ(reply->text(), "{\"errorCode\":0}");

    ASSERT_EQ(server->requests().size(), 1u);
    Request arrived = server->requests()[0];
    EXPECT_EQ(arrived.method, "POST");
    EXPECT_EQ(arrived.header("Content-Type"), form.contentType());
    EXPECT_EQ(fieldsNamed(arrived, { "Accept", "Authorization" }),
        (Headers { { "Accept", "application/prs.Morvik.v2+json" }, { "Authorization", "Bearer t" } }));
    ASSERT_TRUE(arrived.multipart);
    EXPECT_EQ(arrived.multipart->fields, (Items { { "room", "1" } }));
    ASSERT_EQ(arrived.multipart->files.size(), 1u);
    EXPECT_EQ(arrived.multipart->files[0].name, "image");
    EXPECT_EQ(arrived.multipart->files[0].filename, "image.png");
    EXPECT_EQ(arrived.multipart->files[0].contentType, "image/png");
    EXPECT_EQ(arrived.multipart->files[0].data, stringFromData(image));
}

TEST_F(NetTest, CancelledRequestEndsOnceWithCancelled)
{
    Reply slow = Reply::text(200, "late");
    slow.delay = std::chrono::seconds(20);
    server->script("/slow", slow);
    int calls = 0;
    std::optional<HTTPResponse> reply;
    std::shared_ptr<HTTPTask> task = client->send(request(https("/slow")), [&](HTTPResponse r) {
        ++calls;
        reply = std::move(r);
    });
    // Cancel once the request is on the server, so that a transfer in progress is stopped.
    ASSERT_TRUE(waitForRequestTo("/slow"));
    EXPECT_EQ(client->requestsUnderWay(), 1u);
    auto started = std::chrono::steady_clock::now();
    task->cancel();
    ASSERT_TRUE(runUntil([&] { return reply.has_value(); }, 20));
    EXPECT_EQ(client->requestsUnderWay(), 0u);
    EXPECT_LT(since(started).count(), 5.0);
    ASSERT_TRUE(reply->error);
    EXPECT_EQ(reply->error->code, HTTPError::Code::Cancelled);

    // Cancelling again, or after the reply, changes nothing.
    task->cancel();
    std::optional<HTTPResponse> second;
    std::shared_ptr<HTTPTask> done
        = client->send(request(http("/domain_v2.json")), [&](HTTPResponse r) { second = std::move(r); });
    ASSERT_TRUE(runUntil([&] { return second.has_value(); }, 20));
    done->cancel();
    drain();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(second->succeeded());
}

TEST_F(NetTest, RepliesArriveOnTheMainThread)
{
    constexpr int count = 8;
    int delivered = 0;
    int onMain = 0;
    for (int i = 0; i < count; ++i) {
        client->send(
            request(i % 2 ? https("/domain_v2.json") : http("/missing")), [&](HTTPResponse response) {
                ++delivered;
                if (DispatchQueue::isMainThread() && response.statusCode)
                    ++onMain;
            });
    }
    ASSERT_TRUE(runUntil([&] { return delivered == count; }, 20));
    EXPECT_EQ(onMain, count);
}

TEST_F(NetTest, DestroyedClientDropsUnfinishedRequests)
{
    Reply slow = Reply::text(200, "late");
    slow.delay = std::chrono::seconds(20);
    server->script("/slow", slow);
    bool called = false;
    std::shared_ptr<HTTPTask> task
        = client->send(request(http("/slow")), [&](HTTPResponse) { called = true; });
    ASSERT_TRUE(waitForRequestTo("/slow"));
    client.reset();
    task->cancel(); // the worker is gone: nothing happens
    drain();
    EXPECT_FALSE(called);
}

// Helper processes that the program starts (the web engine's) inherit its descriptors. A kept-alive
// connection that the server (here in the same process) closed while it idled still ends for the
// client, whose next request goes out on a new connection instead of waiting on the old one.
TEST_F(NetTest, ConnectionClosedWhileIdleIsNotReusedWithAHelperProcessAround)
{
    ServerOptions options { zvtest::testKeysDir(), zvtest::sourceDir() / "tools/testserver/data" };
    options.idleTimeout = std::chrono::milliseconds(100);
    std::string error;
    server = TestServer::start(options, &error);
    ASSERT_TRUE(server) << error;
    std::optional<zvtest::HelperProcess> helper;
    // Started while the connection is open: the server is answering on it.
    server->route("/start-helper", [&helper](const Request&) {
        helper.emplace();
        return Reply::text(200, "started");
    });
    for (bool secure : { false, true }) {
        SCOPED_TRACE(secure ? "https" : "http");
        auto url = [&](const std::string& path) { return secure ? https(path) : http(path); };
        server->clearRequests();
        ASSERT_EQ(get(url("/start-helper")).text(), "started");
        ASSERT_TRUE(helper && helper->running());
        ASSERT_TRUE(runUntil([&] { return server->openConnections() == 0; }, 10)) << "not closed idle";

        HTTPResponse response = get(url("/domain_v2.json"), 5);
        ASSERT_TRUE(response.succeeded()) << response.error->message;
        std::vector<Request> record = server->requests();
        ASSERT_EQ(record.size(), 2u);
        EXPECT_NE(record[1].connection, record[0].connection);
        helper.reset();
    }
}

// The other way round: a connection the client ends is ended for the server, helpers or not.
TEST_F(NetTest, ConnectionsOfAGoneClientCloseWithAHelperProcessAround)
{
    std::optional<zvtest::HelperProcess> helper;
    server->route("/start-helper", [&helper](const Request&) {
        helper.emplace();
        return Reply::text(200, "started");
    });
    for (bool secure : { false, true }) {
        SCOPED_TRACE(secure ? "https" : "http");
        client = std::make_unique<HTTPClient>();
        client->setTrustedCAFile((zvtest::testKeysDir() / "ca.pem").string());
        ASSERT_EQ(get(secure ? https("/start-helper") : http("/start-helper")).text(), "started");
        ASSERT_TRUE(helper && helper->running());
        ASSERT_EQ(server->openConnections(), 1u) << "the connection was kept alive";
        client.reset();
        EXPECT_TRUE(runUntil([&] { return server->openConnections() == 0; }, 5));
        helper.reset();
    }
}

TEST_F(NetTest, LargeUploadGoesOutWithoutWaitingForContinue)
{
    MultipartFormData form;
    form.append(Data(3 * 1024 * 1024, 0x5A), "image", "image.png", "image/png");
    std::optional<HTTPResponse> reply;
    client->upload(http("/upload"), {}, form, [&](HTTPResponse r) { reply = std::move(r); });
    ASSERT_TRUE(runUntil([&] { return reply.has_value(); }, 20));
    EXPECT_EQ(reply->statusCode, 404);
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_FALSE(server->requests()[0].header("Expect"));
    ASSERT_TRUE(server->requests()[0].multipart);
    EXPECT_EQ(server->requests()[0].multipart->files.at(0).data.size(), 3u * 1024 * 1024);
}

// A request goes out at most once: when the server drops a kept-alive connection after reading it,
// the client reports the loss instead of sending it again on a fresh connection.
TEST_F(NetTest, RequestOnADroppedKeptAliveConnectionGoesOutOnce)
{
    Reply dropped;
    dropped.action = ReplyAction::CloseWithoutReply;
    server->script("/dropped", dropped);
    for (bool secure : { false, true }) {
        for (HTTPMethod method : { HTTPMethod::GET, HTTPMethod::POST }) {
            SCOPED_TRACE(std::string(methodName(method)) + (secure ? " https" : " http"));
            auto url = [&](const std::string& path) { return secure ? https(path) : http(path); };
            server->clearRequests();
            ASSERT_TRUE(get(url("/domain_v2.json")).succeeded());

            HTTPRequest request = NetTest::request(url("/dropped"));
            request.method = method;
            request.body = dataFromString("pack=a&signature=b");
            HTTPResponse response = perform(request);
            ASSERT_TRUE(response.error);
            EXPECT_EQ(response.error->code, HTTPError::Code::ConnectionLost) << response.error->message;

            std::vector<Request> record = server->requests();
            ASSERT_EQ(record.size(), 2u);
            EXPECT_EQ(record[1].path, "/dropped");
            EXPECT_EQ(record[1].connection, record[0].connection) << "the connection was kept alive";
        }
    }
}

// The time-out bounds the whole request, however steadily the bytes come.
TEST_F(NetTest, TimeOutIsADeadlineForTheWholeRequest)
{
    Reply trickle = Reply::text(200, std::string(60, 'x'));
    trickle.byteInterval = std::chrono::milliseconds(50);
    server->script("/trickle", trickle);
    auto started = std::chrono::steady_clock::now();
    HTTPResponse response = get(http("/trickle"), 0.5);
    ASSERT_TRUE(response.error);
    EXPECT_EQ(response.error->code, HTTPError::Code::TimedOut);
    EXPECT_LT(since(started).count(), 2.0);

    // A reply that trickles in within the time is whole.
    trickle.body = "12345";
    server->script("/trickle", trickle);
    EXPECT_EQ(get(http("/trickle"), 5).text(), "12345");
}

// Redirects never leave https for plain http; the other way round, and within https, they are
// followed.
TEST_F(NetTest, RedirectsNeverGoFromHTTPSToHTTP)
{
    Reply redirect;
    redirect.status = 302;
    redirect.headers = { { "Location", http("/domain_v2.json") } };
    server->script("/down", redirect);
    HTTPResponse down = get(https("/down"));
    ASSERT_TRUE(down.error);
    EXPECT_EQ(down.error->code, HTTPError::Code::InsecureRedirect) << down.error->message;
    EXPECT_EQ(down.url, http("/domain_v2.json")) << "where it would have led";
    EXPECT_TRUE(server->requestsTo("/domain_v2.json").empty());

    // From plain http the same redirect is followed, and so is one up to https.
    redirect.headers = { { "Location", https("/domain_v2.json") } };
    server->script("/up", redirect);
    for (const std::string& url : { http("/down"), http("/up") })
        EXPECT_EQ(get(url).statusCode, 200) << url;
}

// Replies past the request's size limit stop with a failure, whether announced or chunked; within
// it they arrive whole.
TEST_F(NetTest, RepliesPastTheSizeLimitAreFailures)
{
    server->script("/announced", Reply::text(200, std::string(5000, 'a')));
    Reply chunked = Reply::text(200, "");
    chunked.headers.emplace_back("Transfer-Encoding", "chunked");
    for (int i = 0; i < 5; ++i)
        chunked.body += "3e8\r\n" + std::string(1000, 'c') + "\r\n";
    chunked.body += "0\r\n\r\n";
    server->script("/chunked", chunked);

    for (const char* path : { "/announced", "/chunked" }) {
        HTTPRequest request = NetTest::request(http(path));
        request.maxBodySize = 4096;
        HTTPResponse response = perform(request);
        ASSERT_TRUE(response.error) << path;
        EXPECT_EQ(response.error->code, HTTPError::Code::TooLarge) << path << ": " << response.error->message;
        EXPECT_FALSE(response.body) << path;

        request.maxBodySize = 5000;
        EXPECT_EQ(perform(request).body.value_or(Data {}).size(), 5000u) << path;
    }
}

// Tests read the order in which requests were sent from the observer: it sees each one as it is
// sent, before it goes out, whatever becomes of it; once removed, nothing.
TEST_F(NetTest, TheSendObserverSeesEachRequestAsItIsSent)
{
    std::vector<std::string> seen;
    client->setSendObserver([&seen](const HTTPRequest& request) {
        seen.push_back(std::string(methodName(request.method)) + " " + request.url + " "
            + std::string(request.body.begin(), request.body.end()));
    });
    int replies = 0;
    HTTPRequest posted = request(http("/posted"));
    posted.method = HTTPMethod::POST;
    posted.body = dataFromString("a=1");
    client->send(posted, [&](HTTPResponse) { ++replies; });
    client->send(request("http://127.0.0.1:1/refused"), [&](HTTPResponse) { ++replies; });
    client->send(request(https("/domain_v2.json")), [&](HTTPResponse) { ++replies; });
    EXPECT_EQ(seen,
        (std::vector<std::string> { "POST " + http("/posted") + " a=1", "GET http://127.0.0.1:1/refused ",
            "GET " + https("/domain_v2.json") + " " }));
    ASSERT_TRUE(runUntil([&] { return replies == 3; }, 20));

    client->setSendObserver({});
    ASSERT_TRUE(get(http("/domain_v2.json")).succeeded());
    EXPECT_EQ(seen.size(), 3u);
}
