#define OPENSSL_API_COMPAT 30000
#define OPENSSL_NO_DEPRECATED

#include "platform/crypto/RSAKey.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <openssl/core_names.h>
#include <openssl/decoder.h>
#include <openssl/encoder.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

namespace {

// Keys below this size cannot hold a useful PKCS#1 v1.5 piece and are not RSA as anyone uses it.
constexpr int minimumKeyBits = 512;
constexpr size_t paddingOverhead = 11;

using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)>;

std::shared_ptr<evp_pkey_st> adopt(EVP_PKEY* key)
{
    return std::shared_ptr<evp_pkey_st>(key, EVP_PKEY_free);
}

// Decodes one RSA key. An empty passphrase is set so that an encrypted key fails instead of
// prompting on a terminal. For DER the whole input must be the key.
std::shared_ptr<evp_pkey_st> decodeKey(
    std::string_view input, const char* inputType, int selection, bool wholeInput)
{
    if (input.empty())
        return nullptr;
    EVP_PKEY* key = nullptr;
    OSSL_DECODER_CTX* decoder
        = OSSL_DECODER_CTX_new_for_pkey(&key, inputType, nullptr, "RSA", selection, nullptr, nullptr);
    if (!decoder)
        return nullptr;
    OSSL_DECODER_CTX_set_passphrase(decoder, reinterpret_cast<const unsigned char*>(""), 0);
    auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    size_t remaining = input.size();
    int ok = OSSL_DECODER_from_data(decoder, &bytes, &remaining);
    OSSL_DECODER_CTX_free(decoder);
    ERR_clear_error();
    auto owned = adopt(key);
    if (!ok || !key || (wholeInput && remaining != 0))
        return nullptr;
    if (!EVP_PKEY_is_a(key, "RSA") || EVP_PKEY_get_bits(key) < minimumKeyBits)
        return nullptr;
    return owned;
}

bool hasPrivatePart(EVP_PKEY* key)
{
    BIGNUM* d = nullptr;
    bool present = EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_D, &d) == 1 && d;
    BN_free(d);
    ERR_clear_error();
    return present;
}

std::optional<Data> base64Decode(std::string_view text)
{
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            compact.push_back(c);
    }
    if (compact.empty() || compact.size() % 4 != 0)
        return std::nullopt;
    Data out(compact.size() / 4 * 3);
    int written = EVP_DecodeBlock(
        out.data(), reinterpret_cast<const unsigned char*>(compact.data()), static_cast<int>(compact.size()));
    if (written < 0)
        return std::nullopt;
    // The decoder counts the bytes that the padding stands for; they are not data.
    size_t padding = compact.ends_with("==") ? 2 : compact.ends_with('=') ? 1 : 0;
    out.resize(static_cast<size_t>(written) - padding);
    return out;
}

std::string base64Encode(const Data& data)
{
    std::string out(4 * ((data.size() + 2) / 3) + 1, '\0');
    int written = EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(out.data()), data.data(), static_cast<int>(data.size()));
    out.resize(static_cast<size_t>(std::max(written, 0)));
    return out;
}

std::optional<Data> encode(EVP_PKEY* key, int selection, const char* outputType, const char* structure)
{
    OSSL_ENCODER_CTX* encoder = OSSL_ENCODER_CTX_new_for_pkey(key, selection, outputType, structure, nullptr);
    if (!encoder)
        return std::nullopt;
    unsigned char* bytes = nullptr;
    size_t length = 0;
    int ok = OSSL_ENCODER_to_data(encoder, &bytes, &length);
    OSSL_ENCODER_CTX_free(encoder);
    ERR_clear_error();
    if (!ok || !bytes)
        return std::nullopt;
    Data out(bytes, bytes + length);
    OPENSSL_free(bytes);
    return out;
}

PkeyCtx pkcs1Context(EVP_PKEY* key, bool forEncryption)
{
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr), EVP_PKEY_CTX_free);
    if (!ctx)
        return ctx;
    int ok = forEncryption ? EVP_PKEY_encrypt_init(ctx.get()) : EVP_PKEY_decrypt_init(ctx.get());
    if (ok != 1 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1) {
        ERR_clear_error();
        return PkeyCtx(nullptr, EVP_PKEY_CTX_free);
    }
#ifdef OSSL_ASYM_CIPHER_PARAM_IMPLICIT_REJECTION
    // A failed block must be reported, not turned into random clear text.
    if (!forEncryption) {
        unsigned int implicitRejection = 0;
        OSSL_PARAM params[] = {
            OSSL_PARAM_construct_uint(OSSL_ASYM_CIPHER_PARAM_IMPLICIT_REJECTION, &implicitRejection),
            OSSL_PARAM_construct_end(),
        };
        EVP_PKEY_CTX_set_params(ctx.get(), params);
    }
#endif
    return ctx;
}

size_t keyBlockSize(EVP_PKEY* key)
{
    return key ? static_cast<size_t>(std::max(EVP_PKEY_get_size(key), 0)) : 0;
}

}

struct RSAPublicKey::Encryptor {
    std::mutex mutex;
    PkeyCtx context { nullptr, EVP_PKEY_CTX_free };
};

RSAPublicKey::RSAPublicKey(std::shared_ptr<evp_pkey_st> key)
    : m_key(std::move(key))
    , m_encryptor(std::make_shared<Encryptor>())
{ }

std::optional<RSAPublicKey> RSAPublicKey::fromBase64DER(std::string_view base64DER)
{
    auto der = base64Decode(base64DER);
    if (!der)
        return std::nullopt;
    auto key = decodeKey(std::string_view(reinterpret_cast<const char*>(der->data()), der->size()), "DER",
        EVP_PKEY_PUBLIC_KEY, true);
    if (!key)
        return std::nullopt;
    return RSAPublicKey(std::move(key));
}

std::optional<RSAPublicKey> RSAPublicKey::fromPEM(std::string_view pem)
{
    auto key = decodeKey(pem, "PEM", EVP_PKEY_PUBLIC_KEY, false);
    if (!key)
        return std::nullopt;
    return RSAPublicKey(std::move(key));
}

size_t RSAPublicKey::blockSize() const
{
    return keyBlockSize(m_key.get());
}

std::optional<Data> RSAPublicKey::encryptPKCS1v15(const Data& clear) const
{
    const size_t block = blockSize();
    if (block <= paddingOverhead)
        return std::nullopt;
    std::lock_guard lock(m_encryptor->mutex);
    // Set up on first use: fetching the algorithm and preparing the padding cost as much as a
    // small encryption.
    if (!m_encryptor->context)
        m_encryptor->context = pkcs1Context(m_key.get(), true);
    EVP_PKEY_CTX* ctx = m_encryptor->context.get();
    if (!ctx)
        return std::nullopt;

    const size_t piece = block - paddingOverhead;
    const size_t blocks = clear.empty() ? 1 : (clear.size() + piece - 1) / piece;
    Data out(blocks * block);
    static const unsigned char nothing = 0;
    for (size_t i = 0; i < blocks; ++i) {
        const size_t offset = i * piece;
        const size_t length = std::min(piece, clear.size() - offset);
        const unsigned char* in = clear.empty() ? &nothing : clear.data() + offset;
        size_t written = block;
        if (EVP_PKEY_encrypt(ctx, out.data() + i * block, &written, in, length) != 1 || written != block) {
            ERR_clear_error();
            return std::nullopt;
        }
    }
    return out;
}

std::optional<RSAPrivateKey> RSAPrivateKey::fromPEM(std::string_view pem)
{
    auto key = decodeKey(pem, "PEM", EVP_PKEY_KEYPAIR, false);
    if (!key || !hasPrivatePart(key.get()))
        return std::nullopt;
    return RSAPrivateKey(std::move(key));
}

std::optional<RSAPrivateKey> RSAPrivateKey::generate(unsigned bits)
{
    if (bits < 1024)
        return std::nullopt;
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr), EVP_PKEY_CTX_free);
    EVP_PKEY* key = nullptr;
    bool ok = ctx && EVP_PKEY_keygen_init(ctx.get()) == 1
        && EVP_PKEY_CTX_set_rsa_keygen_bits(ctx.get(), static_cast<int>(bits)) == 1
        && EVP_PKEY_generate(ctx.get(), &key) == 1;
    ERR_clear_error();
    auto owned = adopt(key);
    if (!ok || !key)
        return std::nullopt;
    return RSAPrivateKey(std::move(owned));
}

RSAPublicKey RSAPrivateKey::publicKey() const
{
    // Encryption needs only the public half, which the pair's handle carries.
    return RSAPublicKey(m_key);
}

size_t RSAPrivateKey::blockSize() const
{
    return keyBlockSize(m_key.get());
}

std::string RSAPrivateKey::publicKeyBase64DER() const
{
    auto der = encode(m_key.get(), EVP_PKEY_PUBLIC_KEY, "DER", "type-specific");
    return der ? base64Encode(*der) : std::string();
}

std::string RSAPrivateKey::privateKeyPEM() const
{
    auto pem = encode(m_key.get(), EVP_PKEY_KEYPAIR, "PEM", "PrivateKeyInfo");
    return pem ? stringFromData(*pem) : std::string();
}

std::optional<Data> RSAPrivateKey::decryptPKCS1v15(const Data& cipher) const
{
    const size_t block = blockSize();
    if (block == 0 || cipher.empty() || cipher.size() % block != 0)
        return std::nullopt;
    PkeyCtx ctx = pkcs1Context(m_key.get(), false);
    if (!ctx)
        return std::nullopt;

    Data out;
    out.reserve(cipher.size());
    Data piece(block);
    for (size_t offset = 0; offset < cipher.size(); offset += block) {
        size_t written = piece.size();
        if (EVP_PKEY_decrypt(ctx.get(), piece.data(), &written, cipher.data() + offset, block) != 1) {
            ERR_clear_error();
            return std::nullopt;
        }
        out.insert(out.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(written));
    }
    return out;
}
