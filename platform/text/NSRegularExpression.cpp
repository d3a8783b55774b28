#include "platform/text/NSRegularExpression.h"

#include "platform/text/UTF16.h"

#include <algorithm>
#include <limits>
#include <unicode/parseerr.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

struct NSRegularExpression::Compiled {
    std::string pattern;
    std::unique_ptr<icu::RegexPattern> regex;
};

namespace {

constexpr std::size_t maximumUnits = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());

icu::UnicodeString toUnicode(std::string_view utf8)
{
    std::u16string units = utf8ToUtf16(utf8);
    return icu::UnicodeString(units.data(), static_cast<int32_t>(std::min(units.size(), maximumUnits)));
}

NSRange rangeOf(int32_t start, int32_t end)
{
    if (start < 0 || end < start)
        return NSMakeRange(NSNotFound, 0);
    return NSMakeRange(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

// The search range within the text, as ICU region bounds.
std::pair<int32_t, int32_t> regionOf(const icu::UnicodeString& text, std::optional<NSRange> range)
{
    auto length = static_cast<std::size_t>(text.length());
    if (!range)
        return { 0, static_cast<int32_t>(length) };
    std::size_t start = std::min(range->location, length);
    std::size_t end = start + std::min(range->length, length - start);
    return { static_cast<int32_t>(start), static_cast<int32_t>(end) };
}

}

NSRange NSTextCheckingResult::range(std::size_t group) const
{
    if (group >= m_ranges.size())
        return NSMakeRange(NSNotFound, 0);
    return m_ranges[group];
}

NSRegularExpressionResult NSRegularExpression::make(std::string_view pattern)
{
    return make(pattern, Options {});
}

NSRegularExpressionResult NSRegularExpression::make(std::string_view pattern, Options options)
{
    UParseError where {};
    UErrorCode status = U_ZERO_ERROR;
    uint32_t flags = options.caseInsensitive ? UREGEX_CASE_INSENSITIVE : 0;
    auto compiled = std::make_shared<Compiled>();
    compiled->pattern = std::string(pattern);
    compiled->regex.reset(icu::RegexPattern::compile(toUnicode(pattern), flags, where, status));
    if (U_FAILURE(status) || !compiled->regex) {
        std::string message = std::string("invalid regular expression (") + u_errorName(status) + ")";
        if (where.offset >= 0)
            message += " at offset " + std::to_string(where.offset);
        return NSRegularExpressionResult(std::move(message));
    }
    return NSRegularExpression(std::move(compiled));
}

const std::string& NSRegularExpression::pattern() const
{
    return m_compiled->pattern;
}

std::vector<NSTextCheckingResult> NSRegularExpression::find(
    std::string_view text, std::optional<NSRange> range, std::size_t limit) const
{
    std::vector<NSTextCheckingResult> found;
    icu::UnicodeString input = toUnicode(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_compiled->regex->matcher(input, status));
    if (U_FAILURE(status) || !matcher)
        return found;
    auto [start, end] = regionOf(input, range);
    matcher->region(start, end, status);
    while (found.size() < limit && U_SUCCESS(status) && matcher->find(status)) {
        int32_t groups = matcher->groupCount();
        std::vector<NSRange> ranges;
        ranges.reserve(static_cast<std::size_t>(groups) + 1);
        for (int32_t group = 0; group <= groups; ++group)
            ranges.push_back(rangeOf(matcher->start(group, status), matcher->end(group, status)));
        found.emplace_back(std::move(ranges));
    }
    return found;
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatch(std::string_view text) const
{
    auto found = find(text, std::nullopt, 1);
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatch(
    std::string_view text, NSRange range) const
{
    auto found = find(text, range, 1);
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::vector<NSTextCheckingResult> NSRegularExpression::matches(std::string_view text) const
{
    return find(text, std::nullopt, std::numeric_limits<std::size_t>::max());
}

std::vector<NSTextCheckingResult> NSRegularExpression::matches(std::string_view text, NSRange range) const
{
    return find(text, range, std::numeric_limits<std::size_t>::max());
}

std::size_t NSRegularExpression::numberOfMatches(std::string_view text) const
{
    return matches(text).size();
}

std::size_t NSRegularExpression::numberOfMatches(std::string_view text, NSRange range) const
{
    return matches(text, range).size();
}

std::optional<std::string> NSRegularExpression::stringByReplacingMatches(
    std::string_view text, std::string_view templ) const
{
    return stringByReplacingMatches(text, NSMakeRange(0, NSNotFound), templ);
}

std::optional<std::string> NSRegularExpression::stringByReplacingMatches(
    std::string_view text, NSRange range, std::string_view templ) const
{
    icu::UnicodeString input = toUnicode(text);
    icu::UnicodeString replacement = toUnicode(templ);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_compiled->regex->matcher(input, status));
    if (U_FAILURE(status) || !matcher)
        return std::nullopt;
    auto [start, end] = regionOf(input, range);
    matcher->region(start, end, status);
    icu::UnicodeString output;
    while (U_SUCCESS(status) && matcher->find(status))
        matcher->appendReplacement(output, replacement, status);
    if (U_FAILURE(status))
        return std::nullopt;
    matcher->appendTail(output);
    return utf16ToUtf8(std::u16string_view(output.getBuffer(), static_cast<std::size_t>(output.length())));
}
