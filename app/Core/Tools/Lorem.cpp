#include "app/Core/Tools/Lorem.h"

#include "app/Core/Tools/ArrayRandom.h"

#include <algorithm>
#include <sstream>
#include <string_view>

namespace {

constexpr const char* kWords
    = "alias consequatur aut perferendis sit voluptatem accusantium doloremque aperiam eaque ipsa quae ab "
      "illo "
      "inventore veritatis et quasi architecto beatae vitae dicta sunt explicabo aspernatur aut odit aut "
      "fugit sed "
      "quia consequuntur magni dolores eos qui ratione voluptatem sequi nesciunt neque dolorem ipsum quia "
      "dolor sit "
      "amet consectetur adipisci velit sed quia non numquam eius modi tempora incidunt ut labore et dolore "
      "magnam "
      "aliquam quaerat voluptatem ut enim ad minima veniam quis nostrum exercitationem ullam corporis nemo "
      "enim "
      "ipsam voluptatem quia voluptas sit suscipit laboriosam nisi ut aliquid ex ea commodi consequatur quis "
      "autem "
      "vel eum iure reprehenderit qui in ea voluptate velit esse quam nihil molestiae et iusto odio "
      "dignissimos "
      "ducimus qui blanditiis praesentium laudantium totam rem voluptatum deleniti atque corrupti quos "
      "dolores et "
      "quas molestias excepturi sint occaecati cupiditate non provident sed ut perspiciatis unde omnis iste "
      "natus "
      "error similique sunt in culpa qui officia deserunt mollitia animi id est laborum et dolorum fuga et "
      "harum "
      "quidem rerum facilis est et expedita distinctio nam libero tempore cum soluta nobis est eligendi "
      "optio "
      "cumque nihil impedit quo porro quisquam est qui minus id quod maxime placeat facere possimus omnis "
      "voluptas "
      "assumenda est omnis dolor repellendus temporibus autem quibusdam et aut consequatur vel illum qui "
      "dolorem "
      "eum fugiat quo voluptas nulla pariatur at vero eos et accusamus officiis debitis aut rerum "
      "necessitatibus "
      "saepe eveniet ut et voluptates repudiandae sint et molestiae non recusandae itaque earum rerum hic "
      "tenetur a "
      "sapiente delectus ut aut reiciendis voluptatibus maiores doloribus asperiores repellat";

int countRule(int count)
{
    return Lorem::randomize(count, 40);
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += separator;
        text += parts[i];
    }
    return text;
}

std::string capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// A sentence of the count rule applied to 6 words.
std::string randomSentence()
{
    return capitalised(Lorem::wordsText(countRule(6))) + ".";
}

std::string randomParagraph()
{
    return joined(Lorem::sentences(countRule(3)), " ");
}

}

const std::vector<std::string>& Lorem::wordList()
{
    static const std::vector<std::string> list = [] {
        std::vector<std::string> words;
        std::istringstream stream(kWords);
        for (std::string word; stream >> word;)
            words.push_back(word);
        return words;
    }();
    return list;
}

std::string Lorem::word()
{
    return ArrayRandom::shuffled(wordList()).front();
}

std::vector<std::string> Lorem::words(int count)
{
    return ArrayRandom::randomItems(wordList(), static_cast<std::size_t>(std::max(count, 0)));
}

std::string Lorem::wordsText(int count)
{
    return joined(words(count), " ");
}

std::string Lorem::sentence(int wordCount, bool randomize)
{
    if (wordCount < 1)
        return {};
    int count = randomize ? countRule(wordCount) : wordCount;
    return capitalised(wordsText(count)) + ".";
}

std::vector<std::string> Lorem::sentences(int count)
{
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i)
        result.push_back(randomSentence());
    return result;
}

std::string Lorem::sentencesText(int count, bool randomize)
{
    if (count < 1)
        return {};
    return joined(sentences(randomize ? countRule(count) : count), " ");
}

std::vector<std::string> Lorem::paragraphs(int count)
{
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i)
        result.push_back(randomParagraph());
    return result;
}

std::string Lorem::paragraphsText(int count)
{
    return joined(paragraphs(count), "\n\n");
}

std::string Lorem::text(int maxLength)
{
    if (maxLength < 5)
        return {};
    const auto bound = static_cast<std::size_t>(maxLength);
    std::string (*unit)() = maxLength < 25 ? &Lorem::word
        : maxLength < 100                  ? &randomSentence
                                           : &randomParagraph;
    const char* separator = maxLength < 100 ? " " : "\n";

    while (true) {
        std::vector<std::string> pieces;
        std::size_t length = 0;
        while (length < bound) {
            // The unit appended to its separator: GCC 12 at -O3 takes a literal put before a temporary string for an overlapping copy.
            std::string piece = length == 0 ? "" : separator;
            piece += unit();
            length += piece.size();
            pieces.push_back(std::move(piece));
        }
        // The piece that reached the bound goes; when none is left, start again.
        pieces.pop_back();
        if (!pieces.empty())
            return joined(pieces, "");
    }
}

int Lorem::randomize(int count, int variation)
{
    variation = std::max(variation, 0);
    int factor = ArrayRandom::randomInt(100 - variation, 100 + variation);
    double varied = factor / 100.0 * count;
    // Far outside any use, but the conversion must stay defined.
    varied = std::clamp(varied, -2147483648.0, 2147483646.0);
    return static_cast<int>(varied) + 1;
}
