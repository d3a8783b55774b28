#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// User-perceived characters (extended grapheme clusters) and words of UTF-8 text, by ICU's
// rules; Chinese and Japanese words come from ICU's dictionary. Offsets are byte offsets into
// the given text. Invalid UTF-8 counts as U+FFFD (one character per ill-formed part); the
// texts returned are valid UTF-8 with U+FFFD in its place.
namespace TextBoundaries {

// Where each character starts, and the end of the text: n + 1 offsets for n characters.
std::vector<std::size_t> graphemeBoundaries(std::string_view text);
std::size_t graphemeCount(std::string_view text);
std::vector<std::string> graphemes(std::string_view text);

// Every word boundary, the start and end of the text included.
std::vector<std::size_t> wordBoundaries(std::string_view text);
// The words between the boundaries: letters, numbers, ideographs; no spaces or punctuation.
std::vector<std::string> words(std::string_view text);

}
