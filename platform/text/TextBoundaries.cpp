#include "platform/text/TextBoundaries.h"

#include "platform/text/UTF16.h"

#include <limits>
#include <memory>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/ubrk.h>
#include <unicode/unistr.h>

namespace {

enum class Kind {
    Character,
    Word,
};

// Break iterators are costly to build and not thread-safe, so each thread keeps its own.
icu::BreakIterator* iterator(Kind kind)
{
    thread_local std::unique_ptr<icu::BreakIterator> characters;
    thread_local std::unique_ptr<icu::BreakIterator> words;
    auto& slot = kind == Kind::Character ? characters : words;
    if (!slot) {
        UErrorCode status = U_ZERO_ERROR;
        slot.reset(kind == Kind::Character
                ? icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status)
                : icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            slot.reset();
    }
    return slot.get();
}

struct Segment {
    int32_t start;
    int32_t end;
    int32_t status;
};

// The segments of the text in UTF-16 units. Without ICU data every unit is its own segment
// rather than nothing, so callers still see the whole text.
std::vector<Segment> segments(const detail::MappedUtf16& mapped, Kind kind)
{
    std::vector<Segment> result;
    if (mapped.units.empty()
        || mapped.units.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
        return result;
    icu::UnicodeString text(false, mapped.units.data(), static_cast<int32_t>(mapped.units.size()));
    icu::BreakIterator* breaks = iterator(kind);
    if (!breaks) {
        for (int32_t i = 0; i < text.length(); ++i)
            result.push_back({ i, i + 1, UBRK_WORD_LETTER });
        return result;
    }
    breaks->setText(text);
    int32_t start = breaks->first();
    for (int32_t end = breaks->next(); end != icu::BreakIterator::DONE; start = end, end = breaks->next())
        result.push_back({ start, end, breaks->getRuleStatus() });
    // The iterator must not outlive the text it points into.
    breaks->setText(icu::UnicodeString());
    return result;
}

std::vector<std::size_t> boundaries(std::string_view text, Kind kind)
{
    auto mapped = detail::mapToUtf16(text);
    std::vector<std::size_t> offsets { 0 };
    for (auto& segment : segments(mapped, kind))
        offsets.push_back(mapped.byteOffsets[static_cast<std::size_t>(segment.end)]);
    return offsets;
}

std::string slice(const detail::MappedUtf16& mapped, const Segment& segment)
{
    return utf16ToUtf8(std::u16string_view(mapped.units)
                           .substr(static_cast<std::size_t>(segment.start),
                               static_cast<std::size_t>(segment.end - segment.start)));
}

}

namespace TextBoundaries {

std::vector<std::size_t> graphemeBoundaries(std::string_view text)
{
    return boundaries(text, Kind::Character);
}

std::size_t graphemeCount(std::string_view text)
{
    return segments(detail::mapToUtf16(text), Kind::Character).size();
}

std::vector<std::string> graphemes(std::string_view text)
{
    auto mapped = detail::mapToUtf16(text);
    std::vector<std::string> result;
    for (auto& segment : segments(mapped, Kind::Character))
        result.push_back(slice(mapped, segment));
    return result;
}

std::vector<std::size_t> wordBoundaries(std::string_view text)
{
    return boundaries(text, Kind::Word);
}

std::vector<std::string> words(std::string_view text)
{
    auto mapped = detail::mapToUtf16(text);
    std::vector<std::string> result;
    for (auto& segment : segments(mapped, Kind::Word)) {
        if (segment.status >= UBRK_WORD_NONE_LIMIT)
            result.push_back(slice(mapped, segment));
    }
    return result;
}

}
