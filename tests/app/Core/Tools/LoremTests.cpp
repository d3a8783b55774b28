#include "app/Core/Tools/ArrayRandom.h"
#include "app/Core/Tools/Lorem.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

bool isListWord(const std::string& word)
{
    auto& list = Lorem::wordList();
    return std::find(list.begin(), list.end(), word) != list.end();
}

// A sentence: a capitalised first word, list words joined by single spaces, a final full stop.
std::size_t checkSentence(const std::string& sentence)
{
    EXPECT_TRUE(sentence.ends_with(".")) << sentence;
    if (sentence.empty())
        return 0;
    std::string body = sentence.substr(0, sentence.size() - 1);
    auto words = split(body, ' ');
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (i == 0) {
            EXPECT_TRUE(word[0] >= 'A' && word[0] <= 'Z') << sentence;
            word[0] = static_cast<char>(word[0] - 'A' + 'a');
        }
        EXPECT_TRUE(isListWord(word)) << word;
    }
    return words.size();
}

TEST(Lorem, WordsTakeDistinctListPositions)
{
    EXPECT_TRUE(Lorem::words(0).empty());
    EXPECT_TRUE(Lorem::words(-3).empty());
    EXPECT_EQ(Lorem::wordsText(0), "");
    EXPECT_TRUE(isListWord(Lorem::word()));

    auto all = Lorem::words(300);
    ASSERT_EQ(all.size(), 249u);
    auto sortedAll = all;
    auto sortedList = Lorem::wordList();
    std::sort(sortedAll.begin(), sortedAll.end());
    std::sort(sortedList.begin(), sortedList.end());
    EXPECT_EQ(sortedAll, sortedList);
    EXPECT_NE(all, Lorem::wordList()); // 1 in 10^400 to fail

    auto some = Lorem::words(10);
    EXPECT_EQ(some.size(), 10u);
    EXPECT_EQ(split(Lorem::wordsText(7), ' ').size(), 7u);
}

TEST(Lorem, RandomizeSpansItsRange)
{
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(Lorem::randomize(6, 0), 7);
    std::set<int> seen6, seen3, seen10;
    for (int i = 0; i < 3000; ++i) {
        seen6.insert(Lorem::randomize(6, 40));
        seen3.insert(Lorem::randomize(3, 40));
        seen10.insert(Lorem::randomize(10, 40));
    }
    EXPECT_EQ(seen6, (std::set<int> { 4, 5, 6, 7, 8, 9 }));
    EXPECT_EQ(seen3, (std::set<int> { 2, 3, 4, 5 }));
    EXPECT_EQ(*seen10.begin(), 7);
    EXPECT_EQ(*seen10.rbegin(), 15);
}

TEST(Lorem, SentencesHaveTheirWordCounts)
{
    EXPECT_EQ(Lorem::sentence(0, false), "");
    EXPECT_EQ(Lorem::sentence(-1, true), "");
    std::set<std::size_t> randomizedOne;
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(checkSentence(Lorem::sentence(1, false)), 1u);
        randomizedOne.insert(checkSentence(Lorem::sentence(1, true)));
        EXPECT_EQ(checkSentence(Lorem::sentence(5, false)), 5u);
    }
    EXPECT_EQ(randomizedOne, (std::set<std::size_t> { 1, 2 }));

    std::set<std::size_t> counts;
    for (auto& sentence : Lorem::sentences(500))
        counts.insert(checkSentence(sentence));
    EXPECT_EQ(counts, (std::set<std::size_t> { 4, 5, 6, 7, 8, 9 }));
    EXPECT_TRUE(Lorem::sentences(0).empty());

    EXPECT_EQ(Lorem::sentencesText(0, false), "");
    EXPECT_EQ(Lorem::sentencesText(-2, true), "");
    auto three = Lorem::sentencesText(3, false);
    EXPECT_EQ(std::count(three.begin(), three.end(), '.'), 3);
    EXPECT_EQ(three.find(".."), std::string::npos);
}

TEST(Lorem, ParagraphsHaveTwoToFiveSentences)
{
    EXPECT_EQ(Lorem::paragraphsText(0), "");
    std::set<long> counts;
    for (auto& paragraph : Lorem::paragraphs(300)) {
        EXPECT_EQ(paragraph.find('\n'), std::string::npos);
        counts.insert(std::count(paragraph.begin(), paragraph.end(), '.'));
    }
    EXPECT_EQ(counts, (std::set<long> { 2, 3, 4, 5 }));
    auto text = Lorem::paragraphsText(3);
    EXPECT_EQ(split(text, '\n').size(), 5u);
    EXPECT_EQ(text.find("\n\n\n"), std::string::npos);
}

TEST(Lorem, TextStaysBelowItsBoundInWholeUnits)
{
    EXPECT_EQ(Lorem::text(4), "");
    EXPECT_EQ(Lorem::text(-10), "");
    for (int i = 0; i < 200; ++i) {
        auto five = Lorem::text(5);
        ASSERT_GE(five.size(), 1u);
        ASSERT_LE(five.size(), 4u);
        auto words = split(five, ' ');
        EXPECT_LE(words.size(), 2u) << five;
        for (auto& word : words)
            EXPECT_TRUE(isListWord(word)) << five;
    }
    for (int bound : { 24, 25, 60, 99 }) {
        for (int i = 0; i < 50; ++i) {
            auto text = Lorem::text(bound);
            ASSERT_GE(text.size(), 1u);
            ASSERT_LT(text.size(), static_cast<std::size_t>(bound));
            if (bound >= 25) {
                EXPECT_TRUE(text.ends_with(".")) << text;
            }
        }
    }
    for (int bound : { 100, 400, 2000 }) {
        for (int i = 0; i < 20; ++i) {
            auto text = Lorem::text(bound);
            ASSERT_GE(text.size(), 1u);
            ASSERT_LT(text.size(), static_cast<std::size_t>(bound));
            EXPECT_EQ(text.find("\n\n"), std::string::npos);
            EXPECT_NE(text.front(), '\n');
        }
    }
    // With a long bound several paragraphs stand on separate lines.
    auto longText = Lorem::text(2000);
    EXPECT_GE(split(longText, '\n').size(), 3u);
}

TEST(ArrayRandom, HelpersDrawFromTheWholeArray)
{
    std::vector<int> empty;
    EXPECT_FALSE(ArrayRandom::randomItem(empty));
    ArrayRandom::shuffle(empty);
    std::vector<int> one { 7 };
    ArrayRandom::shuffle(one);
    EXPECT_EQ(one, std::vector<int> { 7 });

    std::vector<int> items { 0, 1, 2, 3 };
    std::map<std::vector<int>, int> orders;
    std::map<int, int> picks;
    for (int i = 0; i < 4800; ++i) {
        orders[ArrayRandom::shuffled(items)]++;
        picks[*ArrayRandom::randomItem(items)]++;
    }
    // All 24 orders appear about 200 times each; a biased shuffle would skew them.
    EXPECT_EQ(orders.size(), 24u);
    for (auto& [order, count] : orders)
        EXPECT_GT(count, 100);
    for (auto& [item, count] : picks)
        EXPECT_GT(count, 900);

    EXPECT_EQ(ArrayRandom::randomItems(items, 2).size(), 2u);
    EXPECT_EQ(ArrayRandom::randomItems(items, 9).size(), 4u);

    std::set<int> values;
    for (int i = 0; i < 500; ++i) {
        int value = ArrayRandom::randomInt(-2, 2);
        ASSERT_GE(value, -2);
        ASSERT_LE(value, 2);
        values.insert(value);
    }
    EXPECT_EQ(values.size(), 5u);
    EXPECT_EQ(ArrayRandom::randomInt(3, 3), 3);
}

}
