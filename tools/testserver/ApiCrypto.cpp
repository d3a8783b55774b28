#include "tools/testserver/ApiCrypto.h"

#include <cstdio>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <vector>

namespace testserver::apicrypto {

namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
using KeyContext = std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)>;

const unsigned char* bytes(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::optional<std::string> aesCrypt(
    bool encrypt, std::string_view input, std::string_view key, std::string_view iv)
{
    if (key.size() != 16 || iv.size() != 16)
        return std::nullopt;
    CipherContext context(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    if (!context
        || EVP_CipherInit_ex(
               context.get(), EVP_aes_128_cbc(), nullptr, bytes(key), bytes(iv), encrypt ? 1 : 0)
            != 1)
        return std::nullopt;
    std::string output(input.size() + 32, '\0');
    int written = 0;
    int last = 0;
    auto* out = reinterpret_cast<unsigned char*>(output.data());
    if (EVP_CipherUpdate(context.get(), out, &written, bytes(input), static_cast<int>(input.size())) != 1
        || EVP_CipherFinal_ex(context.get(), out + written, &last) != 1)
        return std::nullopt;
    output.resize(static_cast<size_t>(written + last));
    return output;
}

}

std::string hmacMD5Hex(std::string_view key, std::string_view message)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(
        EVP_md5(), key.data(), static_cast<int>(key.size()), bytes(message), message.size(), digest, &length);
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::optional<std::string> base64Decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string output(text.size() / 4 * 3, '\0');
    int length = EVP_DecodeBlock(
        reinterpret_cast<unsigned char*>(output.data()), bytes(text), static_cast<int>(text.size()));
    if (length < 0)
        return std::nullopt;
    // EVP_DecodeBlock counts the padding as zero bytes.
    size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
    output.resize(static_cast<size_t>(length) - padding);
    return output;
}

std::string base64Encode(std::string_view data)
{
    std::string output((data.size() + 2) / 3 * 4 + 1, '\0');
    int length = EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(output.data()), bytes(data), static_cast<int>(data.size()));
    output.resize(static_cast<size_t>(length));
    return output;
}

std::string base64URLEncode(std::string_view data)
{
    std::string text = base64Encode(data);
    while (!text.empty() && text.back() == '=')
        text.pop_back();
    for (char& c : text) {
        if (c == '+')
            c = '-';
        else if (c == '/')
            c = '_';
    }
    return text;
}

std::string aesEncrypt(std::string_view clear, std::string_view key, std::string_view iv)
{
    return aesCrypt(true, clear, key, iv).value_or("");
}

std::optional<std::string> aesDecrypt(std::string_view cipher, std::string_view key, std::string_view iv)
{
    return aesCrypt(false, cipher, key, iv);
}

std::string encryptReply(std::string_view clear, std::string_view key)
{
    return base64URLEncode(aesEncrypt(clear, key, replyIV));
}

std::optional<PrivateKey> PrivateKey::load(const std::filesystem::path& pemFile, std::string* error)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(pemFile.c_str(), "r"), std::fclose);
    if (!file) {
        if (error)
            *error = "cannot open " + pemFile.string();
        return std::nullopt;
    }
    EVP_PKEY* key = PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr);
    if (!key) {
        if (error)
            *error = "no private key in " + pemFile.string();
        return std::nullopt;
    }
    return PrivateKey(std::shared_ptr<EVP_PKEY>(key, EVP_PKEY_free));
}

size_t PrivateKey::blockSize() const
{
    return static_cast<size_t>(EVP_PKEY_get_size(m_key.get()));
}

std::optional<std::string> PrivateKey::decrypt(std::string_view cipher) const
{
    size_t block = blockSize();
    if (cipher.empty() || cipher.size() % block != 0)
        return std::nullopt;
    std::string clear;
    for (size_t offset = 0; offset < cipher.size(); offset += block) {
        KeyContext context(EVP_PKEY_CTX_new(m_key.get(), nullptr), EVP_PKEY_CTX_free);
        if (!context || EVP_PKEY_decrypt_init(context.get()) != 1
            || EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) != 1)
            return std::nullopt;
        std::vector<unsigned char> piece(block);
        size_t length = piece.size();
        if (EVP_PKEY_decrypt(context.get(), piece.data(), &length, bytes(cipher.substr(offset, block)), block)
            != 1)
            return std::nullopt;
        clear.append(reinterpret_cast<const char*>(piece.data()), length);
    }
    return clear;
}

std::optional<std::string> PrivateKey::encrypt(std::string_view clear) const
{
    size_t block = blockSize();
    size_t pieceSize = block - 11;
    std::string cipher;
    size_t offset = 0;
    do {
        std::string_view piece = clear.substr(offset, pieceSize);
        KeyContext context(EVP_PKEY_CTX_new(m_key.get(), nullptr), EVP_PKEY_CTX_free);
        if (!context || EVP_PKEY_encrypt_init(context.get()) != 1
            || EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) != 1)
            return std::nullopt;
        std::vector<unsigned char> out(block);
        size_t length = out.size();
        if (EVP_PKEY_encrypt(context.get(), out.data(), &length, bytes(piece), piece.size()) != 1)
            return std::nullopt;
        cipher.append(reinterpret_cast<const char*>(out.data()), length);
        offset += pieceSize;
    } while (offset < clear.size());
    return cipher;
}

}
