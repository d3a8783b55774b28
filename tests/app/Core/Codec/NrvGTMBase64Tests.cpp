#include "app/Core/Codec/NrvGTMBase64.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using B64 = NrvGTMBase64;

std::optional<std::string> strictStandard(std::string_view text)
{
    auto data = B64::decodeBytes(text.data(), text.size());
    return data ? std::optional(stringFromData(*data)) : std::nullopt;
}

std::optional<std::string> strictWebSafe(std::string_view text)
{
    auto data = B64::webSafeDecodeBytes(text.data(), text.size());
    return data ? std::optional(stringFromData(*data)) : std::nullopt;
}

TEST(NrvGTMBase64, EncodesTheRFCVectorsWithAndWithoutPadding)
{
    struct Case {
        const char* clear;
        const char* padded;
        const char* unpadded;
    };
    for (Case c : { Case { "f", "Zg==", "Zg" }, Case { "fo", "Zm8=", "Zm8" }, Case { "foo", "Zm9v", "Zm9v" },
             Case { "foob", "Zm9vYg==", "Zm9vYg" }, Case { "fooba", "Zm9vYmE=", "Zm9vYmE" },
             Case { "foobar", "Zm9vYmFy", "Zm9vYmFy" } }) {
        const Data clear = dataFromString(c.clear);
        EXPECT_EQ(B64::stringByEncodingData(clear), c.padded);
        EXPECT_EQ(B64::stringByWebSafeEncodingData(clear, true), c.padded);
        EXPECT_EQ(B64::stringByWebSafeEncodingData(clear, false), c.unpadded);
        EXPECT_EQ(strictStandard(c.padded), c.clear);
        EXPECT_EQ(strictWebSafe(c.padded), c.clear);
        EXPECT_EQ(strictWebSafe(c.unpadded), c.clear);
    }
    // The two alphabets differ only in their last two characters.
    const Data high = { 0xFB, 0xFF, 0xBF };
    EXPECT_EQ(B64::stringByEncodingData(high), "+/+/");
    EXPECT_EQ(B64::stringByWebSafeEncodingData(high, false), "-_-_");
    EXPECT_FALSE(B64::decodeString("-_-_"));
    EXPECT_FALSE(B64::webSafeDecodeString("+/+/"));
    EXPECT_EQ(B64::webSafeDecodeString("-_-_"), high);
}

TEST(NrvGTMBase64, StrictDecoderPaddingAndTrailingBits)
{
    // Two characters: "==" makes one byte; a single "=" does not.
    EXPECT_EQ(strictStandard("Zg=="), "f");
    EXPECT_FALSE(strictStandard("Zg="));
    EXPECT_FALSE(strictWebSafe("Zg="));
    EXPECT_FALSE(strictStandard("Zg=x"));
    EXPECT_EQ(strictStandard("Zg= \n="), "f");
    // Without "=" two characters pass only where padding is optional.
    EXPECT_FALSE(strictStandard("Zg"));
    EXPECT_EQ(strictWebSafe("Zg"), "f");
    EXPECT_FALSE(strictStandard("Zm8"));
    EXPECT_EQ(strictWebSafe("Zm8"), "fo");
    // One character is never a quantum, padded or not.
    EXPECT_FALSE(strictStandard("Z"));
    EXPECT_FALSE(strictWebSafe("Z"));
    EXPECT_FALSE(strictStandard("Z==="));
    EXPECT_FALSE(strictStandard("Zm9v="));
    EXPECT_FALSE(strictStandard("="));
    // After the padding only whitespace may follow.
    EXPECT_EQ(strictStandard("Zm8= \r\n"), "fo");
    EXPECT_FALSE(strictStandard("Zm8=Zm8="));
    EXPECT_FALSE(strictStandard("Zg===")); // a third "=" is not whitespace
    // The bits below the last whole byte must be zero.
    EXPECT_FALSE(strictStandard("Zh==")); // 'h' leaves 0001 below the byte
    EXPECT_FALSE(strictWebSafe("Zh"));
    EXPECT_FALSE(strictStandard("Zm9=")); // '9' leaves 01
}

TEST(NrvGTMBase64, CallerBuffersAreNeverOverrun)
{
    const Data clear = dataFromString("foob");
    char out[12];
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_EQ(B64::baseEncode(clear.data(), clear.size(), out, 7, B64::standardCharset, true), 0u);
    EXPECT_EQ(B64::baseEncode(clear.data(), clear.size(), out, 6, B64::standardCharset, false), 6u);
    EXPECT_EQ(std::string(out, 7), "Zm9vYg#");
    EXPECT_EQ(B64::baseEncode(clear.data(), clear.size(), out, 8, B64::standardCharset, true), 8u);
    EXPECT_EQ(B64::baseEncode(clear.data(), clear.size(), out, 8, "ABC", true), 0u);
    EXPECT_EQ(B64::baseEncode(nullptr, 4, out, 8, B64::standardCharset, true), 0u);

    std::uint8_t bytes[6];
    std::fill(std::begin(bytes), std::end(bytes), 0xEE);
    const std::string_view text = "Zm9vYmFy";
    EXPECT_EQ(B64::baseDecode(text.data(), text.size(), bytes, 5, B64::standardDecodeTable(), true), 0u);
    EXPECT_EQ(bytes[5], 0xEE);
    EXPECT_EQ(B64::baseDecode(text.data(), text.size(), bytes, 6, B64::standardDecodeTable(), true), 6u);
    EXPECT_EQ(B64::baseDecode(text.data(), text.size(), nullptr, 6, B64::standardDecodeTable(), true), 0u);
}

TEST(NrvGTMBase64, RandomBytesRoundTripInEveryForm)
{
    std::mt19937 random(7);
    for (size_t length = 1; length < 80; ++length) {
        Data clear(length);
        for (auto& byte : clear)
            byte = static_cast<std::uint8_t>(random());
        auto standard = B64::encodeData(clear);
        ASSERT_TRUE(standard);
        EXPECT_EQ(standard->size(), (length + 2) / 3 * 4);
        EXPECT_EQ(B64::decodeData(*standard), clear);
        auto unpadded = B64::webSafeEncodeData(clear, false);
        ASSERT_TRUE(unpadded);
        EXPECT_EQ(unpadded->size(), (8 * length + 4) / 6);
        EXPECT_EQ(B64::webSafeDecodeData(*unpadded), clear);
        EXPECT_EQ(B64::webSafeDecodeData(*B64::webSafeEncodeData(clear, true)), clear);
    }
}

}

TEST(NrvUTF8, ASCIIRunsAreSkippedWholeAndEverySequenceIsStillChecked)
{
    // Eight ASCII bytes are passed over at once; a sequence anywhere in or after such runs is
    // checked as it would be alone.
    const std::string ascii(21, 'a');
    for (std::string_view sequence : { "é", "测", "😀" }) {
        for (size_t at = 0; at <= ascii.size(); ++at)
            EXPECT_TRUE(
                nrv_detail::isValidUTF8(ascii.substr(0, at) + std::string(sequence) + ascii.substr(at)))
                << at;
    }
    // Cut, overlong, surrogate and past U+10FFFF.
    for (std::string_view bad : { "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF" }) {
        for (size_t at = 0; at <= ascii.size(); ++at)
            EXPECT_FALSE(nrv_detail::isValidUTF8(ascii.substr(0, at) + std::string(bad) + ascii.substr(at)))
                << at;
    }
    EXPECT_TRUE(nrv_detail::isValidUTF8(""));
}
