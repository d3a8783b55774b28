#include "app/MainController/Search/View/HighlightKeyword.h"

#include "platform/text/TextBoundaries.h"
#include "platform/text/UTF16.h"

#include <string_view>

namespace {

// Every occurrence of `needle`, left to right and not overlapping, as UTF-16 ranges. Both texts
// are valid UTF-8, so a byte match always starts and ends on character boundaries.
void addToOccurrences(
    NSMutableAttributedString& text, const NSAttributes& attributes, std::string_view needle)
{
    if (needle.empty())
        return;
    const std::string& haystack = text.string();
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + needle.size())) {
        std::size_t start = utf16OffsetFromUtf8(haystack, at);
        std::size_t end = utf16OffsetFromUtf8(haystack, at + needle.size());
        text.addAttributes(attributes, NSMakeRange(start, end - start));
    }
}

}

NSMutableAttributedString highlightKeyword(
    const NSAttributedString& text, const NSAttributes& attributes, const std::optional<std::string>& keyword)
{
    NSMutableAttributedString result(text);
    if (!keyword)
        return result;
    // The text reads invalid bytes as U+FFFD; the keyword must read them the same way to match.
    std::string phrase = NSAttributedString(*keyword).string();
    addToOccurrences(result, attributes, phrase);
    for (const std::string& word : TextBoundaries::words(phrase)) {
        if (word != phrase)
            addToOccurrences(result, attributes, word);
    }
    return result;
}
