#include "app/Core/Helpers/ColorHex.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

void expectColor(
    const UIColor& color, double red, double green, double blue, double alpha, const std::string& why)
{
    SCOPED_TRACE(why);
    UIColor::RGBA c = color.rgba();
    EXPECT_NEAR(c.red, red, 1e-9);
    EXPECT_NEAR(c.green, green, 1e-9);
    EXPECT_NEAR(c.blue, blue, 1e-9);
    EXPECT_NEAR(c.alpha, alpha, 1e-9);
}

TEST(ColorWithHex, SpellingsOfOneColourAgree)
{
    const UIColor expected = colorWithHex("FF6332");
    expectColor(expected, 1, 0x63 / 255.0, 0x32 / 255.0, 1, "plain");
    for (std::string text :
        { "#FF6332", "0xFF6332", "ff6332", "  FF6332\n", "\tfF6332 \r\n", "\u3000FF6332\u00A0", "#0xFF6332" })
        EXPECT_EQ(colorWithHex(text), expected) << text;
}

TEST(ColorWithHex, NothingLeftOrTooLongGivesThePlainColour)
{
    for (std::string text : { "", "   ", " \n\t ", "123456789", "#FF00FF00FF", "\u2028" })
        EXPECT_EQ(colorWithHex(text, 0.4), UIColor()) << text;
}

TEST(ColorWithHex, AlphaArgumentAndEightDigitAlpha)
{
    expectColor(colorWithHex("FF0000", 0.5), 1, 0, 0, 0.5, "argument alpha");
    expectColor(colorWithHex("00FF0000", 0.9), 1, 0, 0, 0, "leading pair 00 replaces the argument");
    expectColor(colorWithHex("80FF0000", 0.3), 1, 0, 0, 128 / 255.0, "leading pair 80");
    expectColor(colorWithHex("ZZFF0000", 0.9), 1, 0, 0, 0, "unparsable pair gives alpha 0");
    // "0X" is not a prefix that goes: it stays as the first pair, which does not parse.
    expectColor(colorWithHex("0XFF0000", 0.9), 1, 0, 0, 0, "capital X");
    expectColor(colorWithHex("#800000FF"), 0, 0, 1, 128 / 255.0, "number sign and eight digits");
}

TEST(ColorWithHex, DigitsParseAsOneSignedNumber)
{
    expectColor(colorWithHex("#", 0.7), 0, 0, 0, 0.7, "a lone number sign is empty: black");
    expectColor(colorWithHex("GG0000", 0.6), 0, 0, 0, 0.6, "a non-digit gives black");
    expectColor(colorWithHex("#0x0000FF"), 0, 0, 1, 1, "both prefixes go");
    expectColor(colorWithHex("1#2#3"), 0, 0x01 / 255.0, 0x23 / 255.0, 1, "signs anywhere go: 0x123");
    expectColor(colorWithHex("FFF"), 0, 15 / 255.0, 1, 1, "three digits are not expanded");
    expectColor(colorWithHex("+FF"), 0, 0, 1, 1, "explicit plus");
    expectColor(colorWithHex("-1"), 1, 1, 1, 1, "minus one has every bit set");
    expectColor(colorWithHex("+"), 0, 0, 0, 1, "a sign alone does not parse");
}

TEST(ColorWithHex, CountsCharactersNotBytes)
{
    // Eight characters (nine bytes): the first pair is the alpha, and it does not parse.
    expectColor(
        colorWithHex("\u00E91234567", 1), 0x23 / 255.0, 0x45 / 255.0, 0x67 / 255.0, 0, "accented first pair");
    // Nine characters give the plain colour even if all are ASCII but one.
    EXPECT_EQ(colorWithHex("\u00E912345678"), UIColor());
}

}
