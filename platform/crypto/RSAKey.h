#pragma once

#include "platform/foundation/Data.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// OpenSSL's key handle, kept opaque so that users of the keys need no OpenSSL headers.
struct evp_pkey_st;

// An RSA public key, parsed once. Copies share the parsed handle, so a key can be kept in
// a static and used from any thread.
class RSAPublicKey {
public:
    // PKCS#1 RSAPublicKey DER in base64 (one line, no PEM header lines); SubjectPublicKeyInfo
    // DER is accepted too. Whitespace inside the text is ignored.
    static std::optional<RSAPublicKey> fromBase64DER(std::string_view base64DER);
    // "RSA PUBLIC KEY" or "PUBLIC KEY" PEM.
    static std::optional<RSAPublicKey> fromPEM(std::string_view pem);

    // Size of one cipher block in bytes: 256 for a 2048-bit key.
    size_t blockSize() const;
    // Longest clear piece that fits one block under PKCS#1 v1.5 padding.
    size_t maxPieceSize() const { return blockSize() - 11; }

    // PKCS#1 v1.5 encryption of a message of any length: the clear bytes are cut into pieces
    // of at most maxPieceSize() bytes and each piece becomes one block; the blocks are joined
    // in order. An empty message gives one block that holds the empty message. The padding
    // is random, so two calls never give the same output.
    std::optional<Data> encryptPKCS1v15(const Data& clear) const;

private:
    friend class RSAPrivateKey;
    explicit RSAPublicKey(std::shared_ptr<evp_pkey_st> key);

    // OpenSSL's encryption context for the key, set up once and shared by the copies (one
    // encryption at a time).
    struct Encryptor;
    std::shared_ptr<evp_pkey_st> m_key;
    std::shared_ptr<Encryptor> m_encryptor;
};

// An RSA key pair, parsed once; copies share the handle.
class RSAPrivateKey {
public:
    // Unencrypted "RSA PRIVATE KEY" (PKCS#1) or "PRIVATE KEY" (PKCS#8) PEM.
    static std::optional<RSAPrivateKey> fromPEM(std::string_view pem);
    // A fresh key pair of the given size (for tests and local servers); nullopt below 1024 bits.
    static std::optional<RSAPrivateKey> generate(unsigned bits = 2048);

    RSAPublicKey publicKey() const;
    size_t blockSize() const;
    // PKCS#1 RSAPublicKey DER of the public half, base64 on one line.
    std::string publicKeyBase64DER() const;
    // Unencrypted PKCS#8 PEM of the key pair.
    std::string privateKeyPEM() const;

    // Decrypts block by block and joins the clear pieces. nullopt for an empty input, for a
    // length that is not a whole number of blocks, or when any block fails to decrypt.
    std::optional<Data> decryptPKCS1v15(const Data& cipher) const;

private:
    explicit RSAPrivateKey(std::shared_ptr<evp_pkey_st> key)
        : m_key(std::move(key))
    { }

    std::shared_ptr<evp_pkey_st> m_key;
};
