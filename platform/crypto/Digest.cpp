#define OPENSSL_API_COMPAT 30000
#define OPENSSL_NO_DEPRECATED

#include "platform/crypto/Digest.h"

#include <map>
#include <memory>
#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <string>

namespace {

Data digest(const EVP_MD* md, const Data& data)
{
    Data out(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), out.data(), &length, md, nullptr) != 1) {
        ERR_clear_error();
        return {};
    }
    out.resize(length);
    return out;
}

using MacCtx = std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)>;

// An HMAC context for the digest, made once per thread with its digest set: making one and
// looking the digest up cost more than the HMAC of a request. Each use sets its own key.
EVP_MAC_CTX* macContext(const std::string& digestName)
{
    using Mac = std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)>;
    // Fetched once: the lookup walks the provider tables.
    static const Mac mac(EVP_MAC_fetch(nullptr, OSSL_MAC_NAME_HMAC, nullptr), EVP_MAC_free);
    if (!mac)
        return nullptr;
    thread_local std::map<std::string, MacCtx> contexts;
    auto found = contexts.find(digestName);
    if (found != contexts.end())
        return found->second.get();
    MacCtx ctx(EVP_MAC_CTX_new(mac.get()), EVP_MAC_CTX_free);
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(digestName.c_str()), 0),
        OSSL_PARAM_construct_end(),
    };
    if (!ctx || EVP_MAC_CTX_set_params(ctx.get(), params) != 1) {
        ERR_clear_error();
        return nullptr;
    }
    return contexts.emplace(digestName, std::move(ctx)).first->second.get();
}

Data hmac(const char* digestName, const Data& key, const Data& message)
{
    EVP_MAC_CTX* ctx = macContext(digestName);
    if (!ctx)
        return {};
    // An empty key is legal HMAC; OpenSSL wants a non-null pointer for it.
    static const unsigned char emptyKey = 0;
    const unsigned char* keyBytes = key.empty() ? &emptyKey : key.data();
    Data out(EVP_MAX_MD_SIZE);
    size_t length = 0;
    if (EVP_MAC_init(ctx, keyBytes, key.size(), nullptr) != 1
        || EVP_MAC_update(ctx, message.data(), message.size()) != 1
        || EVP_MAC_final(ctx, out.data(), &length, out.size()) != 1) {
        ERR_clear_error();
        return {};
    }
    out.resize(length);
    return out;
}

}

Data Digest::md5(const Data& data)
{
    return digest(EVP_md5(), data);
}

Data Digest::sha1(const Data& data)
{
    return digest(EVP_sha1(), data);
}

Data Digest::sha256(const Data& data)
{
    return digest(EVP_sha256(), data);
}

std::string Digest::hex(const Data& data)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(data.size() * 2);
    for (std::uint8_t byte : data) {
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 0x0F]);
    }
    return out;
}

Data HMAC::md5(const Data& key, const Data& message)
{
    return hmac("MD5", key, message);
}

Data HMAC::sha256(const Data& key, const Data& message)
{
    return hmac("SHA256", key, message);
}
