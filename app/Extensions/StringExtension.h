#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/text/NSAttributedString.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text operations shared by the screens: cutting by characters, measuring, styled-text builders
// and unicode escapes. Texts are UTF-8.
namespace StringExtension {

// Offsets count user-perceived characters (an emoji built of several code points is one; a CJK
// ideograph is one). Offsets outside the text give none, never a stop.
// Characters [from, to); none unless 0 <= from < to <= count (equal offsets give none).
std::optional<std::string> substring(std::string_view text, int from, int to);
// From `from` to the end; none unless 0 <= from < count.
std::optional<std::string> substring(std::string_view text, int from);
// The first `to` characters; none unless 1 <= to <= count.
std::optional<std::string> prefix(std::string_view text, int to);

// The text drawn in the font, wrapped at maxWidth: width capped at maxWidth, both rounded up to
// whole points. An empty text is zero without measuring.
CGFloat textWidth(std::string_view text, const UIFont& font, CGFloat maxWidth);
CGFloat textHeight(std::string_view text, const UIFont& font, CGFloat maxWidth);
CGSize textSize(std::string_view text, const UIFont& font, CGFloat maxWidth);
// As above with the height limited to `maxLines` lines of the font (0 lines: height 0).
CGSize textSize(std::string_view text, const UIFont& font, int maxLines, CGFloat maxWidth);

// Attributes given in a set replace the text's own and the others stay, so a highlight added over
// a styled part keeps the sentence's font unless it sets its own.
// The text with the attributes, then `append` with its own attributes when both are given.
NSMutableAttributedString attributedString(std::string_view text, const NSAttributes& attributes,
    const std::optional<std::string>& append, const std::optional<NSAttributes>& appendAttributes);
// The text with the attributes; the highlight attributes are added over the first occurrence of
// the word (case-sensitive) when both are given. Later occurrences stay as they are.
NSMutableAttributedString highlightedString(std::string_view text, const NSAttributes& attributes,
    const std::optional<std::string>& highlight, const std::optional<NSAttributes>& highlightAttributes);
// The same for each word in turn, each over its own first occurrence; missing words are skipped.
NSMutableAttributedString highlightedString(std::string_view text, const NSAttributes& attributes,
    const std::optional<std::vector<std::string>>& highlights,
    const std::optional<NSAttributes>& highlightAttributes);

enum class Encode { unicode };

// "\Uxxxx" (four lower-case hex digits) for each UTF-16 unit, in order: a character outside the
// basic plane gives its two surrogates.
std::vector<std::string> unicodeEscapedUnits(std::string_view text);
// Every unit escaped, joined without separator ("abc" gives "\U0061\U0062\U0063").
std::string encode(std::string_view text, Encode scheme);
// Reads the escapes back, "\u" as well as "\U" (one to four hex digits), along with the usual
// backslash escapes of a quoted property-list string; plain characters pass through. A text the
// quoted-string rules reject (an unescaped '"', an unknown escape, a trailing backslash) gives
// none and a console line saying why.
std::optional<std::string> decode(std::string_view text, Encode scheme);

}
