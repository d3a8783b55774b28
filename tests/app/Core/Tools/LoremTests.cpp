#include "app/Core/Tools/ArrayRandom.h"
#include "app/Core/Tools/Lorem.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t found = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++found;
    return found;
}

TEST(Lorem, CountsAndBounds)
{
    // Words: distinct list positions, the whole list past its size.
    EXPECT_TRUE(Lorem::words(0).empty());
    auto all = Lorem::words(300);
    auto sortedList = Lorem::wordList();
    std::sort(all.begin(), all.end());
    std::sort(sortedList.begin(), sortedList.end());
    EXPECT_EQ(all, sortedList);
    EXPECT_EQ(count(Lorem::wordsText(7), " "), 6u);

    std::set<int> varied;
    std::set<std::size_t> sentenceWords, paragraphSentences, randomizedOne;
    for (int i = 0; i < 2000; ++i) {
        varied.insert(Lorem::randomize(6, 40));
        EXPECT_EQ(Lorem::randomize(6, 0), 7);
        randomizedOne.insert(count(Lorem::sentence(1, true), " ") + 1);
    }
    EXPECT_EQ(varied, (std::set<int> { 4, 5, 6, 7, 8, 9 }));
    EXPECT_EQ(randomizedOne, (std::set<std::size_t> { 1, 2 }));
    for (const auto& sentence : Lorem::sentences(400)) {
        EXPECT_TRUE(sentence.ends_with(".") && std::isupper(static_cast<unsigned char>(sentence[0])))
            << sentence;
        sentenceWords.insert(count(sentence, " ") + 1);
    }
    EXPECT_EQ(sentenceWords, (std::set<std::size_t> { 4, 5, 6, 7, 8, 9 }));
    for (const auto& paragraph : Lorem::paragraphs(300))
        paragraphSentences.insert(count(paragraph, "."));
    EXPECT_EQ(paragraphSentences, (std::set<std::size_t> { 2, 3, 4, 5 }));
    EXPECT_EQ(Lorem::sentence(0, false), "");
    EXPECT_EQ(Lorem::sentencesText(0, true), "");
    EXPECT_EQ(Lorem::paragraphsText(0), "");
    EXPECT_EQ(count(Lorem::paragraphsText(3), "\n\n"), 2u);

    // Text: whole units below the bound; paragraphs on single line feeds.
    EXPECT_EQ(Lorem::text(4), "");
    for (int bound : { 5, 24, 25, 99, 100, 2000 }) {
        for (int i = 0; i < 30; ++i) {
            auto text = Lorem::text(bound);
            ASSERT_GE(text.size(), 1u);
            ASSERT_LT(text.size(), static_cast<std::size_t>(bound));
            EXPECT_EQ(text.find("\n\n"), std::string::npos);
            EXPECT_TRUE(bound < 25 || text.ends_with(".")) << text;
        }
    }
    EXPECT_GE(count(Lorem::text(2000), "\n"), 2u);
}

TEST(ArrayRandom, HelpersDrawFromTheWholeArray)
{
    std::vector<int> empty;
    EXPECT_FALSE(ArrayRandom::randomItem(empty));
    std::vector<int> items { 0, 1, 2, 3 };
    std::map<std::vector<int>, int> orders;
    for (int i = 0; i < 4800; ++i)
        orders[ArrayRandom::shuffled(items)]++;
    // All 24 orders appear about 200 times each; a biased shuffle would skew them.
    EXPECT_EQ(orders.size(), 24u);
    for (auto& [order, seen] : orders)
        EXPECT_GT(seen, 100);
    EXPECT_EQ(ArrayRandom::randomItems(items, 9).size(), 4u);
    std::set<int> values;
    for (int i = 0; i < 500; ++i)
        values.insert(ArrayRandom::randomInt(-2, 2));
    EXPECT_EQ(values, (std::set<int> { -2, -1, 0, 1, 2 }));
}

}
