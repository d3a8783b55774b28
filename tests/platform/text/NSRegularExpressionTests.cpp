#include "platform/text/NSRegularExpression.h"
#include "platform/text/UTF16.h"

#include <gtest/gtest.h>

namespace {

NSRegularExpression compile(std::string_view pattern, bool caseInsensitive = false)
{
    auto made = NSRegularExpression::make(pattern, { .caseInsensitive = caseInsensitive });
    EXPECT_TRUE(made) << made.error();
    return made.value();
}

std::vector<NSRange> rangesOf(const std::vector<NSTextCheckingResult>& matches)
{
    std::vector<NSRange> ranges;
    for (auto& match : matches)
        ranges.push_back(match.range());
    return ranges;
}

// Units: 看 0, 😀 1-2, 电 3, 影 4, Movie 5-9, 电 10, 影 11.
const std::string title = "看😀电影Movie电影";

TEST(NSRegularExpressionTest, RangesCountUtf16UnitsOnCjkAndEmojiText)
{
    auto regex = compile("电影");
    auto found = regex.matches(title);
    EXPECT_EQ(rangesOf(found), (std::vector<NSRange> { { 3, 2 }, { 10, 2 } }));
    EXPECT_EQ(utf16Substring(title, found[1].range()), "电影");
    EXPECT_EQ(regex.numberOfMatches(title), 2u);

    auto emoji = compile("😀.");
    auto first = emoji.firstMatch(title);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->range(), NSMakeRange(1, 3));

    // Searching part of the text: only matches inside the range count.
    auto later = regex.firstMatch(title, { 4, 8 });
    ASSERT_TRUE(later);
    EXPECT_EQ(later->range(), NSMakeRange(10, 2));
    EXPECT_FALSE(regex.firstMatch(title, { 4, 7 }));
    EXPECT_EQ(regex.numberOfMatches(title, { 0, 1000 }), 2u); // clamped, not a failure
    EXPECT_EQ(regex.numberOfMatches(title, { 1000, 5 }), 0u);

    // Invalid bytes count as one unit each, the same as utf16Length says.
    const std::string damaged = "\xFF电影";
    auto inDamaged = regex.firstMatch(damaged);
    ASSERT_TRUE(inDamaged);
    EXPECT_EQ(inDamaged->range(), NSMakeRange(1, 2));
}

TEST(NSRegularExpressionTest, CaseInsensitiveOptionAndTheAppPatterns)
{
    EXPECT_FALSE(compile("movie").firstMatch(title));
    auto found = compile("movie", true).firstMatch(title);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->range(), NSMakeRange(5, 5));

    auto phone = compile("^1(3|4|5|7|8)[0-9]\\d{8}$", true);
    EXPECT_EQ(phone.numberOfMatches("13812345678"), 1u);
    EXPECT_EQ(phone.numberOfMatches("12812345678"), 0u);
    EXPECT_EQ(phone.numberOfMatches("138123456789"), 0u);
    auto mail = compile("^[a-zA-Z0-9_-]+@[a-zA-Z0-9_-]+(\\.[a-zA-Z0-9_-]+)+$", true);
    EXPECT_EQ(mail.numberOfMatches("Some_One@Mail-Host.example.COM"), 1u);
    EXPECT_EQ(mail.numberOfMatches("someone@host"), 0u);
    EXPECT_EQ(mail.numberOfMatches("中文@host.com"), 0u);
}

TEST(NSRegularExpressionTest, CaptureGroupsReportTheirRangesOrNotFound)
{
    auto regex = compile("(\\d+)-(\\d+)?(集)");
    auto match = regex.firstMatch("第12-集");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->numberOfRanges(), 4u);
    EXPECT_EQ(match->range(), NSMakeRange(1, 4));
    EXPECT_EQ(match->range(1), NSMakeRange(1, 2));
    EXPECT_EQ(match->range(2), NSMakeRange(NSNotFound, 0));
    EXPECT_EQ(match->range(3), NSMakeRange(4, 1));
    EXPECT_EQ(match->range(9), NSMakeRange(NSNotFound, 0));

    // Empty matches count like the platform's: one at every position.
    EXPECT_EQ(compile("x*").numberOfMatches("ab"), 3u);
}

TEST(NSRegularExpressionTest, ReplacingKeepsTextOutsideTheMatchesAndTheRange)
{
    auto letters = compile("[a-zA-Z]");
    EXPECT_EQ(letters.stringByReplacingMatches("12ab34CD😀", ""), "1234😀");
    EXPECT_EQ(letters.stringByReplacingMatches("ab😀cd", { 0, 3 }, ""), "😀cd");
    EXPECT_EQ(letters.stringByReplacingMatches("ab😀cd", { 4, 5 }, "-"), "ab😀--");
    EXPECT_EQ(compile("(\\d+)x(\\d+)").stringByReplacingMatches("尺寸 3x4", "$2×$1"), "尺寸 4×3");
    EXPECT_EQ(compile("a").stringByReplacingMatches("a", "\\$1"), "$1");
    EXPECT_FALSE(compile("(a)").stringByReplacingMatches("a", "$9"));
}

TEST(NSRegularExpressionTest, InvalidPatternsGiveAnError)
{
    for (std::string_view pattern : { "(abc", "[a-", "*x", "a{2,1}", "\\" }) {
        auto made = NSRegularExpression::make(pattern);
        EXPECT_FALSE(made) << pattern;
        EXPECT_NE(made.error().find("invalid regular expression"), std::string::npos) << made.error();
    }
}

}
