// The request envelope on the wire, as the local API server sees it.

#include "app/Core/Helpers/DeviceIdentity.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_NetworkEnvelope.h"
#include "app/Core/Storage/StoreData.h"
#include "platform/crypto/RSAKey.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Log.h"
#include "tests/app/support/ApiTestSupport.h"
#include "tests/tools/testserver/TestKeys.h"
#include "tools/testserver/ApiCrypto.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

using namespace zvtest;
namespace apicrypto = testserver::apicrypto;

namespace {

class EnvelopeTest : public ApiTest { };

// Names of the fields in the order the server got them.
std::vector<std::string> headerNames(const testserver::Request& request)
{
    std::vector<std::string> names;
    for (const auto& [name, value] : request.headers)
        names.push_back(name);
    return names;
}

long long secondsNow()
{
    return static_cast<long long>(Date::now().timeIntervalSince1970());
}

}

TEST_F(EnvelopeTest, ClientHeadersAreExactAndAuthorizationNeedsATextToken)
{
    setToken("tk-301877-first");
    StoreData::setBool(true, StoreData::pureMode);
    ASSERT_TRUE(send(HTTPMethod::GET, "v1/user/info"));

    auto records = api().recordsTo("v1/user/info");
    ASSERT_EQ(records.size(), 1u);
    const testserver::Request& request = records[0].request;
    EXPECT_EQ(request.header("Accept"), "application/prs.Morvik.v2+json");
    EXPECT_EQ(request.header("X-Client-Setting"), R"({"pure-mode":true})");
    EXPECT_EQ(request.header("Authorization"), "Bearer tk-301877-first");
    std::optional<std::string> uuid = deviceUUID();
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->size(), 36u);
    EXPECT_EQ(request.header("X-Client-Device"),
        R"({"brand":"Apple","device_id":")" + *uuid
            + R"(","model":"iPhone 14","sdk_version":"308","system_version":"17.0","type":2})");
    EXPECT_EQ(request.header("X-Client-Version"), "308");

    // The five fields go out in their fixed order.
    std::vector<std::string> names = headerNames(request);
    std::vector<std::string> ours;
    for (const std::string& name : names) {
        if (name == "Accept" || name.starts_with("X-Client") || name == "Authorization")
            ours.push_back(name);
    }
    EXPECT_EQ(ours,
        (std::vector<std::string> {
            "Accept", "X-Client-Setting", "Authorization", "X-Client-Device", "X-Client-Version" }));

    // A token that is not text, or none, sends no Authorization; the rest stays.
    StoreData::set(PropertyList(std::int64_t(42)), StoreData::access_token);
    StoreData::remove(StoreData::pureMode);
    ASSERT_TRUE(send(HTTPMethod::GET, "v1/app/config"));
    StoreData::remove(StoreData::access_token);
    ASSERT_TRUE(send(HTTPMethod::GET, "v1/app/config"));
    records = api().recordsTo("v1/app/config");
    ASSERT_EQ(records.size(), 2u);
    for (const auto& record : records) {
        EXPECT_FALSE(record.request.header("Authorization"));
        EXPECT_EQ(record.request.header("X-Client-Setting"), R"({"pure-mode":false})");
        EXPECT_TRUE(record.request.header("X-Client-Device"));
        EXPECT_EQ(record.request.header("X-Client-Version"), "308");
    }
}

TEST_F(EnvelopeTest, DeviceModelXrIsSpelledForTheServer)
{
    ::setenv("ZV_INFO_DeviceModel", "iPhone X\u0280", 1);
    Bundle::resetForTesting();
    EXPECT_EQ(ZV_NetworkEnvelope::deviceModelName(), "iPhone Xr");
    ::setenv("ZV_INFO_DeviceModel", "iPhone X", 1);
    Bundle::resetForTesting();
    EXPECT_EQ(ZV_NetworkEnvelope::deviceModelName(), "iPhone X");
    ::unsetenv("ZV_INFO_DeviceModel");
    Bundle::resetForTesting();
}

TEST_F(EnvelopeTest, PackOpensToTheParametersWithATextTimestamp)
{
    JSON parameters = JSON::object({ { "id", JSON(40217) }, { "name", JSON("青石巷") }, { "hd", JSON(true) },
        { "tags", JSON::array({ JSON(3), JSON("年代") }) }, { "timestamp", JSON(5) } });
    long long before = secondsNow();
    ASSERT_TRUE(send(HTTPMethod::GET, "v1/movie/detail", parameters));
    ASSERT_TRUE(send(HTTPMethod::POST, "v1/user/feedback/submit", parameters));
    long long after = secondsNow();

    auto records = api().recordsTo("v1/movie/detail");
    auto posted = api().recordsTo("v1/user/feedback/submit");
    records.insert(records.end(), posted.begin(), posted.end());
    ASSERT_EQ(records.size(), 2u);
    for (const auto& record : records) {
        EXPECT_EQ(record.rejectedWith, 0) << record.request.method;
        ASSERT_TRUE(record.parameters);
        const nlohmann::json& got = *record.parameters;
        EXPECT_EQ(got["id"], 40217);
        EXPECT_EQ(got["name"], "青石巷");
        EXPECT_EQ(got["hd"], true);
        EXPECT_EQ(got["tags"], nlohmann::json::array({ 3, "年代" }));
        // The caller's timestamp is replaced by the current second, as text.
        ASSERT_TRUE(got["timestamp"].is_string());
        long long stamp = std::stoll(got["timestamp"].get<std::string>());
        EXPECT_GE(stamp, before);
        EXPECT_LE(stamp, after);
        EXPECT_EQ(got.size(), 5u);
    }

    // GET: only pack and signature in the query, no body. POST: the same in a form body, no query.
    const testserver::Request& get = records[0].request;
    EXPECT_EQ(get.method, "GET");
    EXPECT_EQ(records[0].fieldsWhere, "query");
    EXPECT_TRUE(get.body.empty());
    ASSERT_EQ(get.queryItems().size(), 2u);
    EXPECT_EQ(get.queryItems()[0].first, "pack");
    EXPECT_EQ(get.queryItems()[1].first, "signature");
    // Base64's "+" and "=" are escaped, "/" is not.
    EXPECT_EQ(get.query.find('+'), std::string::npos);
    EXPECT_EQ(get.query.find("=="), std::string::npos);

    const testserver::Request& post = records[1].request;
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(records[1].fieldsWhere, "body");
    EXPECT_TRUE(post.query.empty());
    EXPECT_TRUE(post.header("Content-Type")->starts_with("application/x-www-form-urlencoded"));
    auto form = post.formItems();
    ASSERT_EQ(form.size(), 2u);
    EXPECT_EQ(form[1].second, apicrypto::hmacMD5Hex(apicrypto::hmacKey, form[0].second));
    EXPECT_EQ(form[1].second.size(), 32u);
}

TEST_F(EnvelopeTest, PackBlocksFollowTheLengthAndThePaddingIsRandom)
{
    // One block for short parameters: 256 bytes, 344 base64 characters.
    ASSERT_TRUE(send(HTTPMethod::POST, "v1/user/feedback/submit"));
    ASSERT_TRUE(send(HTTPMethod::POST, "v1/user/feedback/submit"));
    // Over 245 bytes of JSON: two blocks.
    JSON longer = JSON::object({ { "content", JSON(std::string(300, 'x')) } });
    ASSERT_TRUE(send(HTTPMethod::POST, "v1/user/feedback/submit", longer));

    auto records = api().recordsTo("v1/user/feedback/submit");
    ASSERT_EQ(records.size(), 3u);
    std::vector<std::string> packs;
    for (const auto& record : records) {
        EXPECT_EQ(record.rejectedWith, 0);
        packs.push_back(record.request.formItems()[0].second);
    }
    EXPECT_EQ(packs[0].size(), 344u);
    EXPECT_EQ(apicrypto::base64Decode(packs[0])->size(), 256u);
    EXPECT_NE(packs[0], packs[1]);
    EXPECT_EQ(apicrypto::base64Decode(packs[2])->size(), 512u);
    EXPECT_EQ((*records[2].parameters)["content"], std::string(300, 'x'));
}

TEST_F(EnvelopeTest, SignatureIsHMACMD5OfThePackText)
{
    EXPECT_EQ(ZV_NetworkEnvelope::hmacSignature(ZV_NetworkEnvelope::hmacKey, ""),
        apicrypto::hmacMD5Hex(apicrypto::hmacKey, ""));
    EXPECT_EQ(ZV_NetworkEnvelope::hmacSignature("key", "The quick brown fox jumps over the lazy dog"),
        "80070713463e7749b90c2dc24911e275");
    EXPECT_EQ(ZV_NetworkEnvelope::hmacSignature("key", std::nullopt), "");
    // Header JSON is compact with sorted keys; unwritable values give empty text.
    EXPECT_EQ(ZV_NetworkEnvelope::jsonHeaderString(JSON::object({ { "b", JSON(1) }, { "a", JSON("x y") } })),
        R"({"a":"x y","b":1})");
    EXPECT_EQ(ZV_NetworkEnvelope::jsonHeaderString(JSON(std::nan(""))), "");
}

TEST_F(EnvelopeTest, AKeyThatTheServerDoesNotHoldGetsItsRefusal)
{
    // Another key pair's public half: the pack no longer opens on the server.
    std::ifstream file(testKeysDir() / "server.key");
    std::string pem((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::optional<RSAPrivateKey> other = RSAPrivateKey::fromPEM(pem);
    ASSERT_TRUE(other);
    ::setenv("ZV_INFO_APIPublicKey", other->publicKeyBase64DER().c_str(), 1);
    Bundle::resetForTesting();
    std::optional<Reply> reply = send(HTTPMethod::GET, "v1/app/config");
    ASSERT_TRUE(reply);
    ASSERT_TRUE(reply->error);
    EXPECT_EQ(reply->error->code, testserver::ApiServer::badPack);
    EXPECT_EQ(reply->error->domain, "解密失败");

    // A key that does not parse, or none at all: the pack is empty and the log says why, once
    // per request; the request still goes out and the server refuses it.
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    for (const char* text : { "not-base64!", "" }) {
        ::setenv("ZV_INFO_APIPublicKey", text, 1);
        Bundle::resetForTesting();
        lines.clear();
        EXPECT_EQ(ZV_NetworkEnvelope::rsaEncryptedPack(JSON::object()), "");
        ASSERT_EQ(lines.size(), 1u) << text;
        EXPECT_NE(lines[0].find("APIPublicKey"), std::string::npos) << lines[0];
    }
    Log::setSink({});
    reply = send(HTTPMethod::GET, "v1/app/config");
    ASSERT_TRUE(reply && reply->error);
    EXPECT_EQ(reply->error->code, testserver::ApiServer::badPack);
    auto records = api().recordsTo("v1/app/config");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].request.queryItems()[0].second, "");
    EXPECT_EQ(records[1].request.queryItems()[1].second, apicrypto::hmacMD5Hex(apicrypto::hmacKey, ""));
}
