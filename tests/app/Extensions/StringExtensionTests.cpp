#include "app/Extensions/StringExtension.h"
#include "platform/foundation/Log.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace StringExtension;

// Two ideographs, a family emoji (five code points), a flag (two) and a letter: five characters.
const std::string mixed = "你好👨‍👩‍👧🇨🇳x";

TEST(StringExtension, SubstringsCountCharactersAndRejectOffsetsOutsideTheText)
{
    EXPECT_EQ(substring(mixed, 0, 5), mixed);
    EXPECT_EQ(substring(mixed, 2, 3), "👨‍👩‍👧");
    EXPECT_EQ(substring(mixed, 1, 4), "好👨‍👩‍👧🇨🇳");
    EXPECT_EQ(substring(mixed, 4), "x");
    EXPECT_EQ(prefix(mixed, 3), "你好👨‍👩‍👧");
    EXPECT_EQ(prefix(mixed, 5), mixed);

    for (auto [from, to] : { std::pair { 2, 2 }, { -1, 3 }, { 3, 6 }, { 4, 2 } })
        EXPECT_FALSE(substring(mixed, from, to)) << from << ", " << to;
    EXPECT_FALSE(substring(mixed, 5));
    EXPECT_FALSE(substring(mixed, -1));
    EXPECT_FALSE(prefix(mixed, 0));
    EXPECT_FALSE(prefix(mixed, 6));
    EXPECT_FALSE(substring("", 0));
}

TEST(StringExtension, MeasuringCapsTheWidthAndLimitsTheLines)
{
    UIFont font = UIFont::systemFont(16);
    EXPECT_EQ(textSize("", font, 100), CGSize {});
    EXPECT_EQ(textSize("", font, 3, 100), CGSize {});

    // Full-width ideographs are about one em each.
    CGSize narrow = textSize("你好", font, 300);
    EXPECT_NEAR(narrow.width, 32, 3);
    EXPECT_EQ(narrow.width, std::ceil(narrow.width));
    EXPECT_EQ(textHeight("你好", font, 300), narrow.height);

    std::string longText;
    for (int i = 0; i < 12; ++i)
        longText += "这是一段很长的中文文字 ";
    CGSize wrapped = textSize(longText, font, 150.5);
    EXPECT_LE(wrapped.width, 151);
    EXPECT_GT(wrapped.width, 120);
    EXPECT_GT(wrapped.height, 3 * font.lineHeight());
    EXPECT_EQ(
        textSize(longText, font, 2, 150.5), (CGSize { wrapped.width, std::ceil(2 * font.lineHeight()) }));
    EXPECT_EQ(textSize(longText, font, 0, 150.5).height, 0);
    EXPECT_EQ(textSize("短", font, 5, 150.5).height, narrow.height) << "fewer lines than the limit";
}

TEST(StringExtension, BuildersStyleTheFirstOccurrenceOfEachWord)
{
    NSAttributes base;
    base.font = UIFont::systemFont(14);
    base.foregroundColor = UIColor::gray();
    NSAttributes red;
    red.foregroundColor = UIColor::red();
    NSAttributes underlined;
    underlined.underline = true;

    StyledText one = highlightedString("看剧看剧", base, std::optional<std::string>("剧"), red).styledText();
    ASSERT_EQ(one.runs.size(), 3u);
    EXPECT_EQ(one.runs[0].text, "看");
    EXPECT_EQ(one.runs[1].text, "剧");
    EXPECT_EQ(one.runs[1].foregroundColor, UIColor::red());
    EXPECT_EQ(one.runs[1].font, UIFont::systemFont(14)) << "added over, not replacing";
    EXPECT_EQ(one.runs[2].text, "看剧");
    EXPECT_EQ(one.runs[2].foregroundColor, UIColor::gray());

    // Each word over its own first occurrence, also inside an earlier highlight; absent words skip.
    StyledText many = highlightedString(
        "a🙂bc🙂", base, std::optional<std::vector<std::string>>({ "bc", "🙂", "zz", "" }), underlined)
                          .styledText();
    EXPECT_EQ(many.string(), "a🙂bc🙂");
    std::string underlinedText;
    for (const auto& run : many.runs)
        underlinedText += run.underline ? run.text : "";
    EXPECT_EQ(underlinedText, "🙂bc");
    EXPECT_EQ(highlightedString("abc", base, std::optional<std::vector<std::string>>(), red),
        NSAttributedString("abc", base));

    StyledText appended = attributedString("共", base, std::optional<std::string>("12集"), red).styledText();
    ASSERT_EQ(appended.runs.size(), 2u);
    EXPECT_EQ(appended.runs[1].foregroundColor, UIColor::red());
    EXPECT_EQ(attributedString("共", base, std::optional<std::string>("12集"), std::nullopt).string(), "共");
}

TEST(StringExtension, UnicodeEscapesRoundTripAndRejectMalformedText)
{
    EXPECT_EQ(encode("abc", Encode::unicode), "\\U0061\\U0062\\U0063");
    EXPECT_EQ(unicodeEscapedUnits("👨‍👩‍👧").size(), 8u);
    EXPECT_EQ(unicodeEscapedUnits("😀"), (std::vector<std::string> { "\\Ud83d", "\\Ude00" }));
    EXPECT_TRUE(unicodeEscapedUnits("").empty());

    for (const std::string& text : { std::string("abc"), mixed, std::string("\"quoted\" \\ back") })
        EXPECT_EQ(decode(encode(text, Encode::unicode), Encode::unicode), text);
    EXPECT_EQ(decode("\\u4f60x\\U597D y", Encode::unicode), "你x好 y");
    EXPECT_EQ(decode("tab\\tnew\\nline", Encode::unicode), "tab\tnew\nline");

    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    for (const char* bad : { "say \"hi\"", "\\q", "ends with \\", "\\U" })
        EXPECT_FALSE(decode(bad, Encode::unicode)) << bad;
    Log::setSink({});
    EXPECT_EQ(lines.size(), 4u);
}

}
