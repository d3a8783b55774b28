// The two ends of every API call: building the signed, RSA-packed request, and decrypting and
// parsing the reply. Goals: a typical request costs at most 1.5 times the raw OpenSSL RSA
// encryption of its parameters (one block for 78 bytes of parameters, two for 300), and a
// 100 KB encrypted reply at most 1.5 times the parsing of its clear JSON.

#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "app/Core/Network/ZV_NetworkEnvelope.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "bench/support/BenchFixtures.h"
#include "bench/support/BenchGoals.h"
#include "platform/crypto/AESCryptor.h"
#include "platform/json/JSONSerialization.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <openssl/encoder.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <string>

namespace {

// ---- Request ----

// The API key pair, made here with OpenSSL; the app reads its public half from the information
// key, as from the information file.
class RequestFixture {
public:
    RequestFixture()
    {
        m_key = EVP_RSA_gen(2048);
        OSSL_ENCODER_CTX* encoder
            = OSSL_ENCODER_CTX_new_for_pkey(m_key, EVP_PKEY_PUBLIC_KEY, "DER", "type-specific", nullptr);
        unsigned char* der = nullptr;
        size_t length = 0;
        if (!m_key || !encoder || OSSL_ENCODER_to_data(encoder, &der, &length) != 1) {
            std::cerr << "no RSA key\n";
            std::exit(2);
        }
        OSSL_ENCODER_CTX_free(encoder);
        std::string base64(4 * ((length + 2) / 3) + 1, '\0');
        base64.resize(static_cast<size_t>(
            EVP_EncodeBlock(reinterpret_cast<unsigned char*>(base64.data()), der, static_cast<int>(length))));
        OPENSSL_free(der);
        ::setenv("ZV_INFO_APIPublicKey", base64.c_str(), 1);
        ::setenv("ZV_HOME", (m_scratch.path() / "home").c_str(), 1);
        ::setenv("ZV_KEYCHAIN_FILE", (m_scratch.path() / "keychain.json").c_str(), 1);

        m_encrypt = EVP_PKEY_CTX_new_from_pkey(nullptr, m_key, nullptr);
        EVP_PKEY_encrypt_init(m_encrypt);
        EVP_PKEY_CTX_set_rsa_padding(m_encrypt, RSA_PKCS1_PADDING);
    }

    ~RequestFixture()
    {
        EVP_PKEY_CTX_free(m_encrypt);
        EVP_PKEY_free(m_key);
    }

    static RequestFixture& shared()
    {
        static RequestFixture fixture;
        return fixture;
    }

    // OpenSSL's own PKCS#1 v1.5 encryption of the bytes, one block per 245 bytes.
    void rawEncrypt(const std::string& clear)
    {
        unsigned char block[256];
        for (size_t offset = 0; offset < clear.size(); offset += 245) {
            size_t written = sizeof block;
            size_t length = std::min<size_t>(245, clear.size() - offset);
            EVP_PKEY_encrypt(m_encrypt, block, &written,
                reinterpret_cast<const unsigned char*>(clear.data()) + offset, length);
            benchmark::DoNotOptimize(block);
        }
    }

private:
    zvbench::ScratchFolder m_scratch;
    EVP_PKEY* m_key = nullptr;
    EVP_PKEY_CTX* m_encrypt = nullptr;
};

// Parameters whose stamped JSON text (with "timestamp") is `size` bytes, as a list or detail
// call sends them.
JSON parametersOfStampedSize(size_t size)
{
    JSON parameters = JSON::object({ { "id", JSON("123456") }, { "page", JSON("1") },
        { "pagesize", JSON("20") }, { "note", JSON("") } });
    size_t stamped = ZV_NetworkEnvelope::jsonString(ZV_NetworkEnvelope::stampedParameters(parameters)).size();
    parameters.set("note", JSON(std::string(size > stamped ? size - stamped : 0, 'x')));
    return parameters;
}

void buildRequest(const JSON& parameters)
{
    HTTPRequest request = ZV_NetworkEnvelope::makeRequest(
        HTTPMethod::GET, "https://127.0.0.1:8443/api/", "v1/movie/detail", parameters, 15);
    benchmark::DoNotOptimize(request);
}

void BM_BuildRequestOf78Bytes(benchmark::State& state)
{
    RequestFixture::shared();
    const JSON parameters = parametersOfStampedSize(78);
    for (auto _ : state)
        buildRequest(parameters);
}
BENCHMARK(BM_BuildRequestOf78Bytes)->Unit(benchmark::kMicrosecond);

void BM_RawRSAOf78Bytes(benchmark::State& state)
{
    const std::string clear(78, 'x');
    for (auto _ : state)
        RequestFixture::shared().rawEncrypt(clear);
}
BENCHMARK(BM_RawRSAOf78Bytes)->Unit(benchmark::kMicrosecond);

void addRequestGoal(const std::string& name, size_t size)
{
    auto parameters = std::make_shared<JSON>();
    auto clear = std::make_shared<std::string>(size, 'x');
    zvbench::addGoal({
        .name = name,
        .limit = 1.5,
        .subject = [parameters] { buildRequest(*parameters); },
        .baseline = [clear] { RequestFixture::shared().rawEncrypt(*clear); },
        .rounds = 21,
        .setUp =
            [parameters, size] {
                RequestFixture::shared();
                *parameters = parametersOfStampedSize(size);
            },
    });
}

// ---- Reply ----

// About 100 KB of clear JSON shaped like a list reply, with Chinese titles.
std::string clearReplyOf100KB()
{
    std::string items;
    for (int i = 0; items.size() < 100000; ++i) {
        if (i > 0)
            items += ',';
        std::string id = std::to_string(i);
        items += R"({"id":)" + id + R"(,"title":"影片名称 )" + id + R"(","label":"更新至第)" + id
            + R"(集","cover":"https://img.example.test/c/)" + id
            + R"(.jpg","score":"8.5","type_name":"剧情","duration":2700,"hot":true})";
    }
    return R"({"errorCode":0,"msg":"ok","data":[)" + items + "]}";
}

struct ReplyFixture {
    ReplyFixture()
    {
        std::string text = clearReplyOf100KB();
        clear = Data(text.begin(), text.end());
        auto cipher = AESCryptor::crypt(AESCryptor::Operation::encrypt, AESCryptor::modeCBC, true,
            dataFromString(NrvAES::replyKey), dataFromString(NrvAES::replyIV), clear);
        // As the server sends it: URL-safe base64 without padding.
        std::string body = *NrvGTMBase64::stringByWebSafeEncodingData(cipher.data, false);
        encrypted.statusCode = 200;
        encrypted.headers.emplace_back("x-app-data-encrypt", "true");
        encrypted.body = Data(body.begin(), body.end());
        if (ZV_NetworkReply::decodeBody(encrypted) != JSONSerialization::jsonObject(clear)) {
            std::cerr << "the reply does not decode to its clear JSON\n";
            std::exit(2);
        }
    }

    static ReplyFixture& shared()
    {
        static ReplyFixture fixture;
        return fixture;
    }

    Data clear;
    HTTPResponse encrypted;
};

void decodeEncryptedReply()
{
    auto json = ZV_NetworkReply::decodeBody(ReplyFixture::shared().encrypted);
    benchmark::DoNotOptimize(json);
}

void parseClearReply()
{
    auto json = JSONSerialization::jsonObject(ReplyFixture::shared().clear);
    benchmark::DoNotOptimize(json);
}

void BM_DecodeEncryptedReplyOf100KB(benchmark::State& state)
{
    for (auto _ : state)
        decodeEncryptedReply();
}
BENCHMARK(BM_DecodeEncryptedReplyOf100KB)->Unit(benchmark::kMicrosecond);

void BM_ParseClearReplyOf100KB(benchmark::State& state)
{
    for (auto _ : state)
        parseClearReply();
}
BENCHMARK(BM_ParseClearReplyOf100KB)->Unit(benchmark::kMicrosecond);

const bool goals = [] {
    addRequestGoal("request.build-78B-vs-raw-rsa", 78);
    addRequestGoal("request.build-300B-vs-raw-rsa", 300);
    return zvbench::addGoal({
        .name = "reply.decrypt-parse-100KB-vs-parse",
        .limit = 1.5,
        .subject = decodeEncryptedReply,
        .baseline = parseClearReply,
        .rounds = 21,
        .setUp = [] { ReplyFixture::shared(); },
    });
}();

}
