// The API side of the test server: what it refuses, independent of the app's client.

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

class ApiServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zvtest::SampleServer started = zvtest::SampleServer::start();
        ASSERT_TRUE(started.api) << started.error;
        server = std::move(started.server);
        api = std::move(started.api);
    }

    // A pack of these parameters as the app makes it.
    std::string pack(const nlohmann::json& parameters)
    {
        return apicrypto::base64Encode(*api->key().encrypt(parameters.dump()));
    }
    static std::string now()
    {
        return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                  .count());
    }
    std::string form(const std::string& pack, const std::string& extra = "")
    {
        return zvtest::signedForm(pack) + extra;
    }

    // The reply envelope of a raw request.
    nlohmann::json call(const std::string& method, const std::string& target, const std::string& body = "",
        const std::string& contentType = "application/x-www-form-urlencoded")
    {
        asio::io_context io;
        asio::ip::tcp::socket socket(io);
        socket.connect({ asio::ip::address_v4::loopback(), server->httpPort() });
        std::string request = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
        if (!body.empty())
            request += "Content-Type: " + contentType + "\r\nContent-Length: " + std::to_string(body.size())
                + "\r\n";
        request += "\r\n" + body;
        asio::write(socket, asio::buffer(request));
        std::string reply;
        boost::system::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        size_t end = reply.find("\r\n\r\n");
        return nlohmann::json::parse(end == std::string::npos ? "" : reply.substr(end + 4), nullptr, false);
    }

    std::unique_ptr<TestServer> server;
    std::unique_ptr<ApiServer> api;
};

}

TEST_F(ApiServerTest, EnvelopesAreCheckedBeforeAnyHandler)
{
    std::string good = pack({ { "id", 40311 }, { "timestamp", now() } });
    EXPECT_EQ(call("GET", "/api/v1/movie/detail?" + form(good))["data"]["name"], "北方的灯塔");
    nlohmann::json ticket = call("POST", "/captcha/ticket");
    std::string login = pack({ { "username", "xiaoyu2023" }, { "password", "rain-over-2023" },
        { "captcha", ticket.dump() }, { "timestamp", now() } });
    EXPECT_EQ(call("POST", "/api/v1/user/login", form(login))["errorCode"], 0);

    // Signature of another pack, a third field, fields in the wrong place, no fields at all.
    std::string other = pack({ { "id", 1 }, { "timestamp", now() } });
    std::string forged = "pack=" + zvtest::percentEncode(good)
        + "&signature=" + apicrypto::hmacMD5Hex(apicrypto::hmacKey, other);
    EXPECT_EQ(call("GET", "/api/v1/movie/detail?" + forged)["errorCode"], ApiServer::badSignature);
    EXPECT_EQ(call("GET", "/api/v1/movie/detail?" + form(good, "&id=1"))["errorCode"], ApiServer::badFields);
    EXPECT_EQ(call("POST", "/api/v1/user/login?" + form(login), "x=1")["errorCode"], ApiServer::badFields);
    EXPECT_EQ(call("GET", "/api/v1/movie/detail")["errorCode"], ApiServer::badFields);

    // Packs that do not open, and timestamps that are not recent text.
    std::string garbage = apicrypto::base64Encode(std::string(256, 'x'));
    EXPECT_EQ(call("GET", "/api/v1/movie/detail?" + form(garbage))["errorCode"], ApiServer::badPack);
    EXPECT_EQ(call("GET", "/api/v1/movie/detail?" + form(pack({ 1, 2 })))["errorCode"], ApiServer::badPack);
    for (const nlohmann::json& stamp : { nlohmann::json(std::stoll(now())), nlohmann::json("1700000000"),
             nlohmann::json("-5"), nlohmann::json("12ab"), nlohmann::json() }) {
        nlohmann::json parameters = { { "id", 40311 } };
        if (!stamp.is_null())
            parameters["timestamp"] = stamp;
        EXPECT_EQ(call("GET", "/api/v1/movie/detail?" + form(pack(parameters)))["errorCode"],
            ApiServer::badTimestamp)
            << stamp.dump();
    }

    // Unknown paths and titles.
    EXPECT_EQ(call("GET", "/api/v1/nothing?" + form(good))["errorCode"], 404);
    EXPECT_EQ(call("GET",
                  "/api/v1/movie/detail?" + form(pack({ { "id", 1 }, { "timestamp", now() } })))["errorCode"],
        1001);

    std::vector<ApiRecord> records = api->recordsTo("v1/movie/detail");
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].fieldsWhere, "query");
    EXPECT_EQ((*records[0].parameters)["id"], 40311);
    EXPECT_EQ(records[1].rejectedWith, ApiServer::badSignature);
}

TEST_F(ApiServerTest, UploadsNeedOneImagePartUnderTheirField)
{
    auto upload = [&](const std::string& field) {
        std::string body = "--B\r\nContent-Disposition: form-data; name=\"" + field
            + "\"; filename=\"image.png\"\r\nContent-Type: image/png\r\n\r\nPNGDATA\r\n--B--\r\n";
        return call("POST", "/api/v1/user/upload_image", body, "multipart/form-data; boundary=B");
    };
    nlohmann::json ok = upload("image");
    EXPECT_EQ(ok["errorCode"], 0);
    EXPECT_EQ(ok["data"]["size"], 7);
    EXPECT_EQ(upload("avatar_file")["errorCode"], ApiServer::badUpload);
    EXPECT_EQ(call("POST", "/api/v1/user/upload_image", "a=1")["errorCode"], ApiServer::badUpload);
}

TEST_F(ApiServerTest, EncryptedRepliesOpenWithTheReplyKeyOnly)
{
    ApiReply reply = ApiReply::success({ { "a", 1 } });
    reply.encryption = ApiReply::Encryption::Data;
    std::string text = nlohmann::json::parse(reply.envelopeText())["data"];
    // URL-safe base64 without padding.
    EXPECT_EQ(text.find_first_of("+/="), std::string::npos);
    std::string standard = text;
    for (char& c : standard)
        c = c == '-' ? '+' : c == '_' ? '/' : c;
    while (standard.size() % 4)
        standard += '=';
    std::string cipher = *apicrypto::base64Decode(standard);
    EXPECT_EQ(apicrypto::aesDecrypt(cipher, apicrypto::replyKey, apicrypto::replyIV), R"({"a":1})");
    EXPECT_NE(apicrypto::aesDecrypt(cipher, apicrypto::wrongReplyKey, apicrypto::replyIV), R"({"a":1})");

    reply.encryption = ApiReply::Encryption::Body;
    Reply wire = reply.toReply();
    EXPECT_EQ(findHeader(wire.headers, "x-app-data-encrypt"), "true");
    EXPECT_EQ(wire.body.front() == '{', false);
}

// Each endpoint takes its own method only, whatever the envelope; paths the API does not know are
// not its concern.
TEST_F(ApiServerTest, EndpointsRefuseOtherMethods)
{
    std::string fields = form(pack({ { "timestamp", now() } }));
    EXPECT_EQ(call("GET", "/api/v1/advert/config?" + fields)["errorCode"], 0);
    for (const char* path : { "v1/movie/detail", "v1/advert/config" })
        EXPECT_EQ(call("POST", "/api/" + std::string(path), fields)["errorCode"], ApiServer::badMethod)
            << path;
    for (const char* path : { "v1/user/login", "v1/user/upload_image" })
        EXPECT_EQ(call("GET", "/api/" + std::string(path) + "?" + fields)["errorCode"], ApiServer::badMethod)
            << path;
    EXPECT_EQ(call("DELETE", "/api/v1/room/maxseq?" + fields)["errorCode"], ApiServer::badMethod);
    EXPECT_EQ(call("POST", "/api/v1/nothing", fields)["errorCode"], 404);
    EXPECT_EQ(api->recordsTo("v1/movie/detail").at(0).rejectedWith, ApiServer::badMethod);
}

// Both records keep only the newest requests within the server's limits.
TEST_F(ApiServerTest, RecordsAreBounded)
{
    std::string error;
    ServerOptions options { zvtest::testKeysDir(), {} };
    options.recordLimits = { .entries = 3, .bytes = 1000 };
    server = TestServer::start(options, &error);
    ASSERT_TRUE(server) << error;
    api = ApiServer::attach(*server, zvtest::testKeysDir(), &error);
    ASSERT_TRUE(api) << error;

    for (int i = 0; i < 5; ++i)
        call("POST", "/api/v1/x" + std::to_string(i));
    std::vector<Request> kept = server->requests();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept.front().path, "/api/v1/x2");
    EXPECT_EQ(kept.back().path, "/api/v1/x4");
    ASSERT_EQ(api->records().size(), 3u);
    EXPECT_EQ(api->records().front().path, "v1/x2");

    // Large bodies push out older requests sooner; the newest stays even when alone too large.
    call("POST", "/big", std::string(600, 'a'));
    call("POST", "/bigger", std::string(1200, 'b'));
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_EQ(server->requests().front().path, "/bigger");
}
