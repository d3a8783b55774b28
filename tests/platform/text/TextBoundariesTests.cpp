#include "platform/text/TextBoundaries.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

using TextBoundaries::graphemeBoundaries;
using TextBoundaries::graphemeCount;
using TextBoundaries::graphemes;

TEST(TextBoundariesTest, EmojiSequencesAndCjkCountAsOneCharacterEach)
{
    EXPECT_EQ(graphemeCount(""), 0u);
    EXPECT_EQ(graphemeCount("中文字幕"), 4u);
    EXPECT_EQ(graphemeCount("👍🏽"), 1u); // skin-tone modifier
    EXPECT_EQ(graphemeCount("👨‍👩‍👧‍👦"), 1u); // joined family
    EXPECT_EQ(graphemeCount("🇨🇳🇯🇵"), 2u); // two flags
    EXPECT_EQ(graphemeCount("1️⃣"), 1u); // keycap
    EXPECT_EQ(graphemeCount("e\xCC\x81"), 1u); // combining accent
    EXPECT_EQ(graphemeCount("\r\n"), 1u);
    EXPECT_EQ(graphemeCount("看👍🏽电影!"), 5u);

    EXPECT_EQ(graphemes("a👍🏽中"), (std::vector<std::string> { "a", "👍🏽", "中" }));
    EXPECT_EQ(graphemeBoundaries("a👍🏽中"), (std::vector<std::size_t> { 0, 1, 9, 12 }));
    EXPECT_EQ(graphemeBoundaries(""), std::vector<std::size_t> { 0 });
}

TEST(TextBoundariesTest, InvalidBytesAreReplacedNotDropped)
{
    const std::string text = "a\xFF"
                             "b\xE4\xB8";
    EXPECT_EQ(graphemeCount(text), 4u);
    EXPECT_EQ(graphemes(text), (std::vector<std::string> { "a", "\xEF\xBF\xBD", "b", "\xEF\xBF\xBD" }));
    EXPECT_EQ(graphemeBoundaries(text), (std::vector<std::size_t> { 0, 1, 2, 3, 5 }));
}

TEST(TextBoundariesTest, WordsSplitChineseByDictionaryAndSkipPunctuation)
{
    EXPECT_EQ(TextBoundaries::words("Hello, 世界! 42"), (std::vector<std::string> { "Hello", "世界", "42" }));

    const std::string sentence = "我喜欢看电影";
    auto words = TextBoundaries::words(sentence);
    EXPECT_GE(words.size(), 3u);
    EXPECT_LT(words.size(), 6u);
    EXPECT_EQ(std::accumulate(words.begin(), words.end(), std::string()), sentence);
    EXPECT_NE(std::find(words.begin(), words.end(), "电影"), words.end());

    auto boundaries = TextBoundaries::wordBoundaries("你好 world");
    ASSERT_GE(boundaries.size(), 3u);
    EXPECT_EQ(boundaries.front(), 0u);
    EXPECT_EQ(boundaries.back(), std::string("你好 world").size());
    EXPECT_EQ(TextBoundaries::wordBoundaries(""), std::vector<std::size_t> { 0 });
    EXPECT_TRUE(TextBoundaries::words(" ,。！").empty());
}

}
