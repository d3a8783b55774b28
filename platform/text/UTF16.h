#pragma once

#include "platform/text/NSRange.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Conversions between UTF-8 text (bytes) and the UTF-16 code units that ranges count.
// Invalid UTF-8 reads as U+FFFD for each maximal ill-formed part (one UTF-16 unit each), and a
// lone surrogate writes as U+FFFD, so every text converts and every output is valid.

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Number of UTF-16 code units of the text.
std::size_t utf16Length(std::string_view utf8);

// The UTF-16 offset of the character at a byte offset. An offset inside a character counts
// as its start; one past the end counts as the end.
std::size_t utf16OffsetFromUtf8(std::string_view utf8, std::size_t byteOffset);

// The byte offset of the character at a UTF-16 offset. An offset inside a surrogate pair
// counts as the pair's start; one past the end counts as the end.
std::size_t utf8OffsetFromUtf16(std::string_view utf8, std::size_t utf16Offset);

// The part of the text in a UTF-16 range, clamped to the text. A range that cuts a surrogate
// pair gives U+FFFD for the half it keeps.
std::string utf16Substring(std::string_view utf8, NSRange range);

namespace detail {

// A text in UTF-16 with, for each unit index (and the end), the byte offset in the UTF-8 text
// where that unit's character starts.
struct MappedUtf16 {
    std::u16string units;
    std::vector<std::size_t> byteOffsets;
};

MappedUtf16 mapToUtf16(std::string_view utf8);

}
