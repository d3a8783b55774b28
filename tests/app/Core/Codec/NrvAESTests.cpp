#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "platform/crypto/AESCryptor.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <gtest/gtest.h>

// Reply cipher texts made on the command line with the fixed reply key and IV:
//   K=$(printf '7b3e91c04a6fd258' | xxd -p); IV=$(printf 'c4a07e52b9d13f86' | xxd -p)
//   printf '{"errorCode":0,"msg":"ok","data":{"id":42,"name":"测试"}}'
//     | openssl enc -aes-128-cbc -K $K -iv $IV -a -A
//   printf '\xff\xfe not utf8' | openssl enc -aes-128-cbc -K $K -iv $IV -a -A
// and a general one:
//   printf 'Known answer text, 33 bytes long!' | openssl enc -aes-128-cbc
//     -K $(printf '0123456789abcdef' | xxd -p) -iv $(printf 'fedcba9876543210' | xxd -p) -a -A

namespace {

const std::string replyJSON = R"({"errorCode":0,"msg":"ok","data":{"id":42,"name":"测试"}})";
const std::string replyCipher
    = "B6owBDb/OmepAAtnojmfrH3q60YeaKc2m5x9FS/ahfRIqIyyeMVMu3k8jPJCW9KXLoWWgzDxWxdTINp99aNDOQ==";
const std::string notUTF8Cipher = "olUSEaImmAaoEVDtgqbsOA==";

constexpr int ECB = 1, CBC = 2, CFB = 3, CTR = 4, OFB = 7;
constexpr int encrypt = 0, decrypt = 1;

std::string urlSafeUnpadded(std::string text)
{
    std::replace(text.begin(), text.end(), '+', '-');
    std::replace(text.begin(), text.end(), '/', '_');
    text.erase(std::remove(text.begin(), text.end(), '='), text.end());
    return text;
}

// Collects log lines for the test's lifetime.
class LogCapture {
public:
    LogCapture()
    {
        Log::setSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { Log::setSink({}); }
    std::vector<std::string> lines;
};

TEST(NrvAESReply, DecryptsStandardURLSafeAndWrappedTextAlike)
{
    EXPECT_EQ(NrvAES::NrvAESDecrypt(replyCipher), replyJSON);
    const std::string urlSafe = urlSafeUnpadded(replyCipher);
    ASSERT_NE(urlSafe.find_first_of("-_"), std::string::npos);
    EXPECT_EQ(NrvAES::NrvAESDecrypt(urlSafe), replyJSON);

    std::string wrapped = replyCipher;
    wrapped.insert(64, "\r\n");
    wrapped.insert(20, "\n");
    EXPECT_EQ(NrvAES::NrvAESDecrypt(wrapped + "\n"), replyJSON);
    EXPECT_EQ(NrvAES::NrvAESDecrypt(" \t" + urlSafe.substr(0, 40) + "\f" + urlSafe.substr(40)), replyJSON);
}

TEST(NrvAESReply, AnyFailureGivesEmptyText)
{
    LogCapture log;
    EXPECT_EQ(NrvAES::NrvAESDecrypt(""), "");
    EXPECT_EQ(NrvAES::NrvAESDecrypt(replyCipher + "*"), "");
    EXPECT_EQ(NrvAES::NrvAESDecrypt(replyCipher.substr(0, 40) + "\v" + replyCipher.substr(40)), "");
    EXPECT_EQ(NrvAES::NrvAESDecrypt(replyCipher.substr(0, 40) + "é" + replyCipher.substr(40)), "");
    EXPECT_EQ(NrvAES::NrvAESDecrypt(R"({"errorCode":0})"), ""); // plain JSON where cipher text was promised
    EXPECT_EQ(NrvAES::NrvAESDecrypt(notUTF8Cipher), "");
    // A cut cipher text is no whole number of blocks; a changed last block breaks the padding.
    EXPECT_EQ(NrvAES::NrvAESDecrypt(replyCipher.substr(0, 30)), "");
    std::string tampered = replyCipher;
    tampered[80] = tampered[80] == 'A' ? 'B' : 'A';
    EXPECT_EQ(NrvAES::NrvAESDecrypt(tampered), "");
    EXPECT_FALSE(log.lines.empty());
    EXPECT_TRUE(std::all_of(log.lines.begin(), log.lines.end(),
        [](const std::string& line) { return line.starts_with("Encrypt Error:-43"); }));
}

TEST(NrvAESReply, TheDocumentedServerRecipeProducesAcceptedText)
{
    // What a server does: AES-128-CBC with PKCS#7 under the fixed key and IV, then URL-safe base64.
    auto cipher = AESCryptor::crypt(AESCryptor::Operation::encrypt, AESCryptor::modeCBC, true,
        dataFromString(NrvAES::replyKey), dataFromString(NrvAES::replyIV), dataFromString(replyJSON));
    ASSERT_TRUE(cipher.ok());
    auto text = NrvGTMBase64::stringByWebSafeEncodingData(cipher.data, false);
    ASSERT_TRUE(text);
    EXPECT_EQ(NrvAES::NrvAESDecrypt(*text), replyJSON);
    EXPECT_EQ(NrvGTMBase64::stringByEncodingData(cipher.data), replyCipher);
}

TEST(NrvAES, EncryptMatchesTheCommandLineAndDecryptsBack)
{
    const std::string clear = "Known answer text, 33 bytes long!";
    auto cipher = NrvAES::NrvAESEncrypt(clear, CBC, "0123456789abcdef", 16, "fedcba9876543210", 1);
    EXPECT_EQ(cipher, "pJwVQZODAzfMc8SfE5QBGtar8OPaqvqt51Jeap7J0EOOllkvyC4G6xWwKymx961C");
    EXPECT_EQ(NrvAES::NrvAESDecrypt(*cipher, CBC, "0123456789abcdef", 16, "fedcba9876543210", 1), clear);
    EXPECT_EQ(NrvAES::NrvAESDecrypt(replyCipher, CBC, NrvAES::replyKey, 16, NrvAES::replyIV, 1), replyJSON);
    // The general decryption wants strict padded standard base64.
    EXPECT_FALSE(
        NrvAES::NrvAESDecrypt(urlSafeUnpadded(replyCipher), CBC, NrvAES::replyKey, 16, NrvAES::replyIV, 1));
    EXPECT_FALSE(NrvAES::NrvAESDecrypt(notUTF8Cipher, CBC, NrvAES::replyKey, 16, NrvAES::replyIV, 1));
}

TEST(NrvAES, CryptorFailuresAreLoggedAndGiveNoData)
{
    LogCapture log;
    EXPECT_FALSE(NrvAES::NrvAESEncrypt("x", CBC, "key", 20, "iv", 1));
    EXPECT_FALSE(NrvAES::NrvAESWithData(Data(16), encrypt, CBC, "key", -1, "iv", 0));
    EXPECT_FALSE(NrvAES::NrvAESWithData(Data(16), encrypt, CBC, "key", 1 << 30, "iv", 0));
    EXPECT_FALSE(NrvAES::NrvAESWithData(Data(16), encrypt, 5, "key", 16, "iv", 0));
    EXPECT_FALSE(NrvAES::NrvAESWithData(Data(16), 2, CBC, "key", 16, "iv", 0));
    // Without padding a block mode cannot take a partial block: refused, not cut short.
    EXPECT_FALSE(NrvAES::NrvAESWithData(Data(17), encrypt, CBC, "key", 16, "iv", 0));
    EXPECT_EQ(log.lines,
        (std::vector<std::string> { "Encrypt Error:-4310", "Encrypt Error:-4310", "Encrypt Error:-4310",
            "Encrypt Error:-4305", "Encrypt Error:-4300", "Encrypt Error:-4303" }));
}

TEST(NrvAES, EveryModeAndPaddingKindRoundTrips)
{
    for (int mode : { ECB, CBC, CFB, CTR, OFB }) {
        for (int padding : { 0, 1, 2, 3, 4 }) {
            for (size_t length : { 1u, 15u, 16u, 17u, 33u, 48u }) {
                const bool blockMode = mode == ECB || mode == CBC;
                if (padding == 0 && blockMode && length % 16 != 0)
                    continue;
                Data clear(length);
                for (size_t i = 0; i < length; ++i)
                    clear[i] = static_cast<std::uint8_t>('a' + i % 26);
                auto cipher
                    = NrvAES::NrvAESWithData(clear, encrypt, mode, "0123456789abcdef", 16, "iv", padding);
                ASSERT_TRUE(cipher) << mode << "/" << padding << "/" << length;
                const bool padded = padding >= 2 || (padding == 1 && mode != CTR);
                EXPECT_EQ(cipher->size(), padded ? (length / 16 + 1) * 16 : length)
                    << mode << "/" << padding << "/" << length;
                auto back
                    = NrvAES::NrvAESWithData(*cipher, decrypt, mode, "0123456789abcdef", 16, "iv", padding);
                ASSERT_TRUE(back) << mode << "/" << padding << "/" << length;
                EXPECT_EQ(*back, clear) << mode << "/" << padding << "/" << length;
            }
        }
    }
}

TEST(NrvAES, LenientDecoder)
{
    auto text = [](std::string_view base64) -> std::optional<std::string> {
        auto data = NrvAES::decodeBase64WithString(base64);
        return data ? std::optional(stringFromData(*data)) : std::nullopt;
    };
    EXPECT_EQ(text("Zm9vYmFy"), "foobar");
    EXPECT_EQ(text("Zm9v\tYm\r\nFy \f"), "foobar");
    EXPECT_EQ(text("Zg"), "f");
    EXPECT_EQ(text("Zh"), "f"); // leftover bits are dropped, not checked
    EXPECT_EQ(text("Zg="), "f");
    EXPECT_EQ(text("Zm=9v"), "foo"); // "=" after two characters is skipped wherever it stands
    EXPECT_EQ(text("Z"), "");
    EXPECT_EQ(text(""), "");
    EXPECT_FALSE(text("Z="));
    EXPECT_FALSE(text("Z=="));
    EXPECT_FALSE(text("Zm9vY=mFy"));
    EXPECT_FALSE(text("Zm9v\vYmFy"));
    EXPECT_FALSE(text("Zm9v-_"));
    EXPECT_FALSE(text(std::string_view("Zm9v\0", 5)));
    EXPECT_FALSE(text("Zm9v\xC3\xA9"));

    // Long text is read four characters at a time until something else comes; whatever stands at
    // any place of a quantum is read as it would be alone.
    const std::string clear = "The quick brown fox jumps over the lazy dog, twice over!";
    const std::string base64 = *NrvGTMBase64::stringByEncodingBytes(clear.data(), clear.size());
    for (size_t at = 0; at <= base64.size(); ++at) {
        EXPECT_EQ(text(base64.substr(0, at) + " \n" + base64.substr(at)), clear) << at;
        EXPECT_FALSE(text(base64.substr(0, at) + "*" + base64.substr(at))) << at;
        EXPECT_FALSE(text(base64.substr(0, at) + "\xC3\xA9" + base64.substr(at))) << at;
    }
}

}
