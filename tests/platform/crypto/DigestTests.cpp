#include "platform/crypto/Digest.h"

#include <gtest/gtest.h>

// Expected values from the command line, e.g.
//   printf 'The quick brown fox jumps over the lazy dog' | openssl dgst -md5
//   printf 'The quick brown fox jumps over the lazy dog' | openssl dgst -sha1
//   printf 'abc' | openssl dgst -sha256
//   printf 'pack=abc+/=' | openssl dgst -md5 -hmac '4f7d2a9c81e6b03d5a7c9e2f1b8d6043'
//   printf '' | openssl dgst -md5 -hmac '4f7d2a9c81e6b03d5a7c9e2f1b8d6043'
//   printf 'message' | openssl dgst -sha256 -hmac 'key'
//   printf 'message' | openssl dgst -md5 -hmac "$(printf 'k%.0s' $(seq 100))"

namespace {

const Data fox = dataFromString("The quick brown fox jumps over the lazy dog");

TEST(Digest, KnownAnswers)
{
    EXPECT_EQ(Digest::hex(Digest::md5(fox)), "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(Digest::hex(Digest::md5({})), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Digest::hex(Digest::sha1(fox)), "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12");
    EXPECT_EQ(Digest::hex(Digest::sha256(dataFromString("abc"))),
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Digest::hex({ 0x00, 0x0F, 0xA0, 0xFF }), "000fa0ff");
    EXPECT_EQ(Digest::hex({}), "");
}

TEST(HMAC, KnownAnswers)
{
    const Data key = dataFromString("4f7d2a9c81e6b03d5a7c9e2f1b8d6043");
    EXPECT_EQ(Digest::hex(HMAC::md5(key, dataFromString("pack=abc+/="))), "5ef3f93234797925af69e74988eeccf3");
    EXPECT_EQ(Digest::hex(HMAC::md5(key, {})), "5ce3d73f48feab094e4f3d2d82533c3a");
    EXPECT_EQ(Digest::hex(HMAC::md5(Data(100, 'k'), dataFromString("message"))),
        "f8eeb41003ac23a4d3d46d3ea22dd7cf");
    EXPECT_EQ(Digest::hex(HMAC::sha256(dataFromString("key"), dataFromString("message"))),
        "6e9ef29b75fffc5b7abae527d58fdadb2fe42e7219011976917343065f58ed4a");
    EXPECT_EQ(HMAC::md5({}, {}).size(), 16u);
}

}
