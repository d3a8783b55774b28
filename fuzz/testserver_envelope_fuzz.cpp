// Feeds untrusted envelopes to the local test server's API, as any program on the machine may send
// them. The first byte chooses what the rest is:
//   0: the query of a GET, opened as an envelope;
//   1: the form body of a POST, opened as an envelope;
//   2: the clear parameters of a correctly signed and encrypted pack (reaches the JSON and the
//      timestamp checks);
//   3: raw ciphertext for the base64, AES and RSA decryption.

#include "tools/testserver/ApiCrypto.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/Envelope.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace testserver;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

std::optional<apicrypto::PrivateKey>& key()
{
    static std::optional<apicrypto::PrivateKey> instance;
    return instance;
}

// A key of the fuzzer's own, so that it needs no test keys on disk; small, so that it is quick.
void makeKey()
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pair(EVP_RSA_gen(1024), EVP_PKEY_free);
    check(pair != nullptr);
    std::filesystem::path file
        = std::filesystem::path("/dev/shm") / ("zv-envelope-fuzz-" + std::to_string(::getpid()) + ".pem");
    FILE* out = std::fopen(file.c_str(), "w");
    check(out != nullptr);
    check(PEM_write_PrivateKey(out, pair.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1);
    std::fclose(out);
    key() = apicrypto::PrivateKey::load(file);
    std::filesystem::remove(file);
    check(key().has_value());
}

std::string escaped(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

int open(Request request)
{
    OpenedEnvelope opened = openEnvelope(request, *key(), std::chrono::seconds(300));
    check(opened.refusal != 0 || opened.parameters.has_value());
    return opened.refusal;
}

Request get(std::string query)
{
    Request request;
    request.scheme = "http";
    request.method = "GET";
    request.path = "/api/v1/user/info";
    request.query = std::move(query);
    request.target = request.path + "?" + request.query;
    return request;
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    makeKey();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 4) {
    case 0:
        open(get(std::string(text)));
        break;
    case 1: {
        Request request;
        request.scheme = "http";
        request.method = "POST";
        request.path = request.target = "/api/v1/user/login";
        request.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
        request.body = std::string(text);
        open(std::move(request));
        break;
    }
    case 2: {
        std::optional<std::string> cipher = key()->encrypt(text);
        check(cipher.has_value());
        std::string pack = apicrypto::base64Encode(*cipher);
        int refusal = open(
            get("pack=" + escaped(pack) + "&signature=" + apicrypto::hmacMD5Hex(apicrypto::hmacKey, pack)));
        check(refusal == 0 || refusal == ApiServer::badPack || refusal == ApiServer::badTimestamp);
        break;
    }
    case 3:
        apicrypto::base64Decode(text);
        apicrypto::aesDecrypt(text, apicrypto::replyKey, apicrypto::replyIV);
        key()->decrypt(text);
        break;
    }
    return 0;
}
