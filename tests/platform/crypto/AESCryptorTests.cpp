#include "platform/crypto/AESCryptor.h"

#include <gtest/gtest.h>

// Expected cipher texts from the command line, with
//   K=$(printf '0123456789abcdef' | xxd -p); IV=$(printf 'fedcba9876543210' | xxd -p)
//   P='Known answer text, 33 bytes long!'
//   printf "$P" | openssl enc -aes-128-ecb -K $K | xxd -p -c 100
//   printf "$P" | openssl enc -aes-128-{cbc,cfb,ctr,ofb} -K $K -iv $IV | xxd -p -c 100
//   printf '0123456789ABCDEF0123456789ABCDEF' | openssl enc -aes-128-cbc -nopad -K $K -iv $IV | xxd -p
//   printf "$P" | openssl enc -aes-192-cbc -K $(printf '0123456789abcdef01234567' | xxd -p) -iv $IV
//   printf "$P" | openssl enc -aes-256-{cbc,ctr} -K $(printf '0123456789abcdef0123456789abcdef'
//       | xxd -p -c 64) -iv $IV
// (openssl enc pads with PKCS#7 in ECB and CBC and not at all in the stream modes.)

namespace {

using Op = AESCryptor::Operation;

Data fromHex(std::string_view hex)
{
    Data out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

const Data key128 = dataFromString("0123456789abcdef");
const Data key192 = dataFromString("0123456789abcdef01234567");
const Data key256 = dataFromString("0123456789abcdef0123456789abcdef");
const Data iv = dataFromString("fedcba9876543210");
const Data clear = dataFromString("Known answer text, 33 bytes long!");

struct Vector {
    const char* name;
    int mode;
    const Data& key;
    bool padding;
    const char* cipherHex;
};

TEST(AESCryptor, KnownAnswersInEveryModeBothWays)
{
    const Vector vectors[] = {
        { "ecb", 1, key128, true,
            "f58fb8e0596b2daf0723477a978376bdf2cc5ac8f5cea94425f91a1d475692dd7878eb080714a197cc1a305b0b3629c"
            "0" },
        { "cbc", 2, key128, true,
            "a49c154193830337cc73c49f1394011ad6abf0e3daaafaade7525e6a9ec9d0438e96592fc82e06eb15b02b29b1f7ad4"
            "2" },
        { "cfb", 3, key128, false, "4025b90698501e67cb4fa6a4ea680f45eb7971f25f83694606c7b10c466da6520b" },
        { "ctr", 4, key128, false, "4025b90698501e67cb4fa6a4ea680f453649cc0a9c87eff6929d2296dee61946a5" },
        { "ofb", 7, key128, false, "4025b90698501e67cb4fa6a4ea680f453ca800704c5a469dd6fcc14672c790843a" },
        { "cbc192", 2, key192, true,
            "30d72fd43fa354e22c5c1ab92cf157e23a80116db8a32d235a0fbca945a7426b456e7edaa7ba70cc1f8ec2fc52b6434"
            "8" },
        { "cbc256", 2, key256, true,
            "1cc24a47b5ac794f07d5074f2698b8c93afaa7a218d4ec8beaf498a520c4c3fc81c931cd68c1933ea9d313c150c1358"
            "1" },
        { "ctr256", 4, key256, false, "95361428a2d02fda015383e81af4d264a7e0434e12f49227d4102013e215c3ff6b" },
    };
    for (const Vector& v : vectors) {
        auto encrypted = AESCryptor::crypt(Op::encrypt, v.mode, v.padding, v.key, iv, clear);
        ASSERT_TRUE(encrypted.ok()) << v.name;
        EXPECT_EQ(encrypted.data, fromHex(v.cipherHex)) << v.name;
        auto decrypted = AESCryptor::crypt(Op::decrypt, v.mode, v.padding, v.key, iv, fromHex(v.cipherHex));
        ASSERT_TRUE(decrypted.ok()) << v.name;
        EXPECT_EQ(decrypted.data, clear) << v.name;
    }
}

TEST(AESCryptor, BlockModesWithoutPaddingNeedWholeBlocks)
{
    const Data aligned = dataFromString("0123456789ABCDEF0123456789ABCDEF");
    auto encrypted = AESCryptor::crypt(Op::encrypt, 2, false, key128, iv, aligned);
    ASSERT_TRUE(encrypted.ok());
    EXPECT_EQ(encrypted.data, fromHex("71636d37d1bb3ab75f9daa4dba811a5f59fa650610a66684eebe1e6cce196160"));
    EXPECT_EQ(AESCryptor::crypt(Op::encrypt, 2, false, key128, iv, clear).status, AESCryptor::alignmentError);
    EXPECT_EQ(
        AESCryptor::crypt(Op::decrypt, 1, false, key128, iv, Data(17)).status, AESCryptor::alignmentError);
    EXPECT_EQ(
        AESCryptor::crypt(Op::decrypt, 2, true, key128, iv, Data(15)).status, AESCryptor::alignmentError);
    EXPECT_EQ(AESCryptor::crypt(Op::decrypt, 2, true, key128, iv, {}).status, AESCryptor::alignmentError);
}

TEST(AESCryptor, FailuresAreStatusCodesWithNoData)
{
    // Decrypting with the wrong key leaves garbage whose PKCS#7 padding does not check out.
    auto encrypted = AESCryptor::crypt(Op::encrypt, 2, true, key128, iv, clear);
    auto wrong
        = AESCryptor::crypt(Op::decrypt, 2, true, dataFromString("fedcba9876543210"), iv, encrypted.data);
    if (!wrong.ok()) {
        EXPECT_EQ(wrong.status, AESCryptor::decodeError);
        EXPECT_TRUE(wrong.data.empty());
    }
    EXPECT_EQ(
        AESCryptor::crypt(Op::decrypt, 2, true, key128, iv, Data(32, 0)).status, AESCryptor::decodeError);
    EXPECT_EQ(AESCryptor::crypt(Op::encrypt, 2, true, Data(15), iv, clear).status, AESCryptor::keySizeError);
    EXPECT_EQ(AESCryptor::crypt(Op::encrypt, 2, true, {}, iv, clear).status, AESCryptor::keySizeError);
    EXPECT_EQ(AESCryptor::crypt(Op::encrypt, 5, true, key128, iv, clear).status, AESCryptor::unimplemented);
    EXPECT_EQ(
        AESCryptor::crypt(static_cast<Op>(9), 2, true, key128, iv, clear).status, AESCryptor::paramError);
}

TEST(AESCryptor, ShortIVIsZeroExtendedAndOnlySixteenBytesAreRead)
{
    Data zeros(16, 0);
    auto withShort = AESCryptor::crypt(Op::encrypt, 2, true, key128, { 'a', 'b' }, clear);
    Data padded = { 'a', 'b' };
    padded.resize(16, 0);
    auto withPadded = AESCryptor::crypt(Op::encrypt, 2, true, key128, padded, clear);
    EXPECT_EQ(withShort.data, withPadded.data);
    Data longIV = iv;
    longIV.resize(32, 'x');
    EXPECT_EQ(AESCryptor::crypt(Op::encrypt, 2, true, key128, longIV, clear).data,
        AESCryptor::crypt(Op::encrypt, 2, true, key128, iv, clear).data);
    EXPECT_EQ(AESCryptor::crypt(Op::encrypt, 2, true, key128, {}, clear).data,
        AESCryptor::crypt(Op::encrypt, 2, true, key128, zeros, clear).data);
}

}
