#pragma once

#include "platform/text/NSRange.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One match: the whole match and its capture groups, in UTF-16 units of the searched text.
class NSTextCheckingResult {
public:
    explicit NSTextCheckingResult(std::vector<NSRange> ranges)
        : m_ranges(std::move(ranges))
    { }

    NSRange range() const { return range(0); }
    // Group 0 is the whole match. A group that took no part in the match, or that the pattern
    // does not have, gives { NSNotFound, 0 }.
    NSRange range(std::size_t group) const;
    // The capture groups plus one.
    std::size_t numberOfRanges() const { return m_ranges.size(); }

private:
    std::vector<NSRange> m_ranges;
};

class NSRegularExpressionResult;

// An ICU regular expression over UTF-8 text that answers in UTF-16 ranges. Invalid UTF-8 in
// the text reads as U+FFFD. A search range is clamped to the text. Safe to share between
// threads once made.
class NSRegularExpression {
public:
    struct Options {
        bool caseInsensitive = false;
    };

    // The compiled pattern, or why it does not compile.
    static NSRegularExpressionResult make(std::string_view pattern);
    static NSRegularExpressionResult make(std::string_view pattern, Options options);

    const std::string& pattern() const;

    std::optional<NSTextCheckingResult> firstMatch(std::string_view text) const;
    std::optional<NSTextCheckingResult> firstMatch(std::string_view text, NSRange range) const;
    std::vector<NSTextCheckingResult> matches(std::string_view text) const;
    std::vector<NSTextCheckingResult> matches(std::string_view text, NSRange range) const;
    std::size_t numberOfMatches(std::string_view text) const;
    std::size_t numberOfMatches(std::string_view text, NSRange range) const;

    // Replaces every match in the range by the template ($0 the match, $1... the groups, a
    // backslash quotes the next character); text outside the range stays. A template that
    // names a missing group, or ends in a lone backslash, gives no result.
    std::optional<std::string> stringByReplacingMatches(std::string_view text, std::string_view templ) const;
    std::optional<std::string> stringByReplacingMatches(
        std::string_view text, NSRange range, std::string_view templ) const;

    struct Compiled;

private:
    explicit NSRegularExpression(std::shared_ptr<const Compiled> compiled)
        : m_compiled(std::move(compiled))
    { }

    std::vector<NSTextCheckingResult> find(
        std::string_view text, std::optional<NSRange> range, std::size_t limit) const;

    std::shared_ptr<const Compiled> m_compiled;
};

class NSRegularExpressionResult {
public:
    NSRegularExpressionResult(NSRegularExpression regex)
        : m_regex(std::move(regex))
    { }
    explicit NSRegularExpressionResult(std::string error)
        : m_error(std::move(error))
    { }

    bool ok() const { return m_regex.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only valid when ok().
    const NSRegularExpression& value() const { return *m_regex; }
    const NSRegularExpression* operator->() const { return &*m_regex; }
    const NSRegularExpression& operator*() const { return *m_regex; }
    // The compiler's complaint and where, when not ok().
    const std::string& error() const { return m_error; }

private:
    std::optional<NSRegularExpression> m_regex;
    std::string m_error;
};
