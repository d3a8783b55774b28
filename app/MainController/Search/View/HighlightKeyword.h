#pragma once

#include "platform/ui/text/NSAttributedString.h"

#include <optional>
#include <string>

// The text with `attributes` added wherever the keyword occurs and, for a keyword of several
// words, wherever each of its words occurs. The keyword is plain text, never a pattern: "(",
// "a**" or a long paste match themselves literally, case-sensitively. No keyword, or an empty
// one, gives the text unchanged.
NSMutableAttributedString highlightKeyword(const NSAttributedString& text, const NSAttributes& attributes,
    const std::optional<std::string>& keyword);
