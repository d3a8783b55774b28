#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct evp_pkey_st;

namespace testserver {

// The server half of the API's cryptography, written straight on OpenSSL so that the tests check
// the app's envelope against an implementation of their own.
namespace apicrypto {

// The signing key of the envelope and the AES key and IV of encrypted replies.
inline constexpr std::string_view hmacKey = "4f7d2a9c81e6b03d5a7c9e2f1b8d6043";
inline constexpr std::string_view replyKey = "7b3e91c04a6fd258";
inline constexpr std::string_view replyIV = "c4a07e52b9d13f86";
// A key that the app does not know, for replies that must fail to decrypt.
inline constexpr std::string_view wrongReplyKey = "0123456789abcdef";

std::string hmacMD5Hex(std::string_view key, std::string_view message);

std::optional<std::string> base64Decode(std::string_view text); // standard alphabet, padded
std::string base64Encode(std::string_view bytes); // standard alphabet, padded
std::string base64URLEncode(std::string_view bytes); // URL-safe alphabet, no padding

// AES-128-CBC with PKCS#7 padding; the key and IV are 16 text bytes.
std::string aesEncrypt(std::string_view clear, std::string_view key, std::string_view iv);
std::optional<std::string> aesDecrypt(std::string_view cipher, std::string_view key, std::string_view iv);
// URL-safe base64 of the encryption, as the API sends encrypted replies and `data` texts.
std::string encryptReply(std::string_view clear, std::string_view key = replyKey);

// The API's RSA key pair (api_private.pem of the test keys).
class PrivateKey {
public:
    static std::optional<PrivateKey> load(const std::filesystem::path& pemFile, std::string* error = nullptr);

    size_t blockSize() const;
    // PKCS#1 v1.5, block by block; none when the length is not whole blocks or a block fails.
    std::optional<std::string> decrypt(std::string_view cipher) const;
    // The same padding in the other direction, for tests that build packs themselves.
    std::optional<std::string> encrypt(std::string_view clear) const;

private:
    explicit PrivateKey(std::shared_ptr<evp_pkey_st> key)
        : m_key(std::move(key))
    { }
    std::shared_ptr<evp_pkey_st> m_key;
};

}

}
