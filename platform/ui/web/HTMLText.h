#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the web view shows of a page without a script or layout engine: its title and its text.
struct HTMLText {
    std::string title;
    // Paragraphs separated by "\n", runs of blanks collapsed to one space.
    std::string text;
};

// Pages come from outside: anything is accepted and nothing fails. Markup that is not understood
// is dropped, scripts, styles and comments are skipped, character references are decoded, bytes
// that are not UTF-8 become U+FFFD. Only the first maxInputBytes are read; title and text are
// cut to their limits.
class HTMLTextExtractor {
public:
    static constexpr std::size_t maxInputBytes = 2 * 1024 * 1024;
    static constexpr std::size_t maxTextBytes = 64 * 1024;
    static constexpr std::size_t maxTitleBytes = 1024;

    static HTMLText extract(std::string_view html);
    // A plain-text reply: no title, lines kept, other control characters dropped, bad bytes mended.
    static HTMLText plainText(std::string_view text);
};
