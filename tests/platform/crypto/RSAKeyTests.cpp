#include "platform/crypto/RSAKey.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

// The key files under data/ are a throw-away 2048-bit pair made for these tests only:
//   openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out test_only_rsa2048_private.pem
//   openssl rsa -in test_only_rsa2048_private.pem -traditional -out test_only_rsa2048_private_pkcs1.pem
//   openssl rsa -in test_only_rsa2048_private.pem -RSAPublicKey_out -outform DER | base64 -w0
//       > test_only_rsa2048_public_pkcs1.b64
//   openssl rsa -in test_only_rsa2048_private.pem -pubout -outform DER | base64 -w0
//       > test_only_rsa2048_public_spki.b64
//   openssl rsa -in test_only_rsa2048_private.pem -pubout -out test_only_rsa2048_public.pem
//   openssl rsa -in test_only_rsa2048_private.pem -RSAPublicKey_out -out test_only_rsa2048_public_pkcs1.pem
//   printf '{"id":"42","timestamp":"1700000000"}' | openssl pkeyutl -encrypt -pubin
//       -inkey test_only_rsa2048_public.pem -pkeyopt rsa_padding_mode:pkcs1 | base64 -w0
//       > test_only_rsa2048_cipher_of_json.b64

namespace {

std::string readTestFile(const std::string& name)
{
    std::ifstream in(zvtest::sourceDir() / "tests/platform/crypto/data" / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Data base64Bytes(std::string_view base64)
{
    // The data files are known-good, so this reader skips all checks.
    static constexpr std::string_view alphabet
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    Data out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : base64) {
        auto at = alphabet.find(c);
        if (at == std::string_view::npos)
            continue;
        acc = (acc << 6) | static_cast<uint32_t>(at);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<uint8_t>(acc >> bits));
        }
    }
    return out;
}

class RSAKeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_private = RSAPrivateKey::fromPEM(readTestFile("test_only_rsa2048_private.pem"));
        ASSERT_TRUE(s_private);
    }
    static const RSAPrivateKey& privateKey() { return *s_private; }

    static inline std::optional<RSAPrivateKey> s_private;
};

TEST_F(RSAKeyTest, RoundTripOfOneBlockTwoBlocksAndEmptyMessage)
{
    RSAPublicKey publicKey = privateKey().publicKey();
    EXPECT_EQ(publicKey.blockSize(), 256u);
    EXPECT_EQ(publicKey.maxPieceSize(), 245u);

    struct Case {
        size_t length;
        size_t blocks;
    };
    for (Case c : { Case { 0, 1 }, Case { 1, 1 }, Case { 245, 1 }, Case { 246, 2 }, Case { 300, 2 },
             Case { 490, 2 }, Case { 491, 3 } }) {
        Data clear(c.length);
        for (size_t i = 0; i < clear.size(); ++i)
            clear[i] = static_cast<uint8_t>(i * 7 + 3);
        auto cipher = publicKey.encryptPKCS1v15(clear);
        ASSERT_TRUE(cipher) << c.length;
        EXPECT_EQ(cipher->size(), c.blocks * 256) << c.length;
        auto back = privateKey().decryptPKCS1v15(*cipher);
        ASSERT_TRUE(back) << c.length;
        EXPECT_EQ(*back, clear) << c.length;
    }
}

TEST_F(RSAKeyTest, PublicKeysMadeByTheCommandLineAreReadAndMatchThePrivateKey)
{
    const std::string pkcs1 = readTestFile("test_only_rsa2048_public_pkcs1.b64");
    ASSERT_EQ(pkcs1.size(), 360u);
    EXPECT_EQ(privateKey().publicKeyBase64DER(), pkcs1);

    for (const auto& key : { RSAPublicKey::fromBase64DER(pkcs1),
             RSAPublicKey::fromBase64DER(readTestFile("test_only_rsa2048_public_spki.b64")),
             RSAPublicKey::fromPEM(readTestFile("test_only_rsa2048_public.pem")) }) {
        ASSERT_TRUE(key);
        Data clear = dataFromString("pack me");
        auto cipher = key->encryptPKCS1v15(clear);
        ASSERT_TRUE(cipher);
        EXPECT_EQ(privateKey().decryptPKCS1v15(*cipher), clear);
    }
}

TEST_F(RSAKeyTest, DecryptsWhatTheCommandLineEncrypted)
{
    auto cipher = base64Bytes(readTestFile("test_only_rsa2048_cipher_of_json.b64"));
    ASSERT_EQ(cipher.size(), 256u);
    auto clear = privateKey().decryptPKCS1v15(cipher);
    ASSERT_TRUE(clear);
    EXPECT_EQ(stringFromData(*clear), R"({"id":"42","timestamp":"1700000000"})");

    auto traditional = RSAPrivateKey::fromPEM(readTestFile("test_only_rsa2048_private_pkcs1.pem"));
    ASSERT_TRUE(traditional);
    EXPECT_EQ(traditional->decryptPKCS1v15(cipher), clear);
}

TEST_F(RSAKeyTest, BadCipherTextIsRefused)
{
    auto cipher = privateKey().publicKey().encryptPKCS1v15(Data(300, 'x'));
    ASSERT_TRUE(cipher);
    EXPECT_FALSE(privateKey().decryptPKCS1v15({}));
    EXPECT_FALSE(privateKey().decryptPKCS1v15(Data(cipher->begin(), cipher->end() - 1)));
    Data tampered = *cipher;
    tampered[300] ^= 0x01;
    EXPECT_FALSE(privateKey().decryptPKCS1v15(tampered));
    EXPECT_FALSE(privateKey().decryptPKCS1v15(Data(256, 0xFF)));
}

TEST_F(RSAKeyTest, GarbageKeysAreRefused)
{
    const std::string pkcs1 = readTestFile("test_only_rsa2048_public_pkcs1.b64");
    EXPECT_FALSE(RSAPublicKey::fromBase64DER(""));
    EXPECT_FALSE(RSAPublicKey::fromBase64DER("not base64 at all!"));
    EXPECT_FALSE(RSAPublicKey::fromBase64DER("AAAA"));
    EXPECT_FALSE(RSAPublicKey::fromBase64DER(pkcs1.substr(0, 200)));
    EXPECT_FALSE(RSAPublicKey::fromBase64DER(pkcs1 + "AAAA")); // trailing bytes after the key
    EXPECT_TRUE(RSAPublicKey::fromBase64DER(pkcs1.substr(0, 100) + "\n" + pkcs1.substr(100)));
    EXPECT_FALSE(RSAPublicKey::fromPEM("-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n"));
    EXPECT_FALSE(RSAPrivateKey::fromPEM(""));
    EXPECT_FALSE(RSAPrivateKey::fromPEM(readTestFile("test_only_rsa2048_public.pem")));
}

}
