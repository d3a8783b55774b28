#include "platform/text/UTF16.h"

#include <gtest/gtest.h>

namespace {

// "a", a smiling face (4 bytes, 2 units), a CJK ideograph (3 bytes, 1 unit), "b".
const std::string mixed = "a\xF0\x9F\x98\x80\xE4\xB8\xAD"
                          "b";

TEST(UTF16Test, OffsetsConvertBothWaysAndRoundDownInsideACharacter)
{
    const std::vector<std::pair<std::size_t, std::size_t>> bytesToUnits {
        { 0, 0 },
        { 1, 1 },
        { 2, 1 },
        { 4, 1 },
        { 5, 3 },
        { 6, 3 },
        { 8, 4 },
        { 9, 5 },
        { 100, 5 },
    };
    for (auto [bytes, units] : bytesToUnits)
        EXPECT_EQ(utf16OffsetFromUtf8(mixed, bytes), units) << bytes;

    const std::vector<std::pair<std::size_t, std::size_t>> unitsToBytes {
        { 0, 0 },
        { 1, 1 },
        { 2, 1 },
        { 3, 5 },
        { 4, 8 },
        { 5, 9 },
        { 99, 9 },
    };
    for (auto [units, bytes] : unitsToBytes)
        EXPECT_EQ(utf8OffsetFromUtf16(mixed, units), bytes) << units;
}

TEST(UTF16Test, InvalidInputBecomesReplacementCharacters)
{
    // One U+FFFD per maximal ill-formed part: a truncated sequence is one part, bytes that can
    // never start or continue a sequence are one each.
    EXPECT_EQ(utf8ToUtf16("\xE4\xB8"
                          "a"),
        u"\uFFFDa");
    EXPECT_EQ(utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // an encoded surrogate
    EXPECT_EQ(utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD"); // above U+10FFFF
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98"), u"\uFFFD");
    EXPECT_EQ(utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(utf16Length("\xFF\xFE"), 2u);
    EXPECT_EQ(utf8OffsetFromUtf16("\xE4\xB8"
                                  "a",
                  1),
        2u);

    EXPECT_EQ(utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

}
