#pragma once

#include <string>
#include <vector>

// Random placeholder text in pseudo-Latin, drawn from one fixed list of 249 words.
// Counts are varied by the count rule: randomize(n, 40), i.e. n × (60..140)/100, truncated, plus 1
// (6 gives 4 to 9 words a sentence, 3 gives 2 to 5 sentences a paragraph).
// Negative counts are treated as 0.
class Lorem {
public:
    Lorem() = delete;

    static const std::vector<std::string>& wordList();

    static std::string word();
    // Distinct list positions; the whole shuffled list when count exceeds its size.
    static std::vector<std::string> words(int count);
    static std::string wordsText(int count);

    // Empty below one word; with randomize the count rule varies wordCount.
    static std::string sentence(int wordCount, bool randomize);
    // Each of 4 to 9 words, capitalised, ending in ".".
    static std::vector<std::string> sentences(int count);
    // Joined by spaces; empty below one; with randomize the count rule varies count.
    static std::string sentencesText(int count, bool randomize);
    // Each of 2 to 5 sentences joined by spaces.
    static std::vector<std::string> paragraphs(int count);
    // Joined by two line feeds.
    static std::string paragraphsText(int count);

    // Whole words (bound 5 to 24), sentences (25 to 99) or paragraphs (100 and more, separated by
    // one line feed), at least one character and shorter than maxLength; empty below 5.
    static std::string text(int maxLength);

    // count × v / 100, truncated, plus 1, for a random v from 100 - variation to 100 + variation.
    static int randomize(int count, int variation);
};
