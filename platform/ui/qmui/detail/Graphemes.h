#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace detail {

// Byte offsets where each user-perceived character of the UTF-8 text starts, and the end: n + 1
// offsets for n characters. Ill-formed bytes count one character each.
std::vector<std::size_t> graphemeStarts(std::string_view text);
std::size_t graphemeLength(std::string_view text);
// The first `count` characters of the text (all of it when it is shorter).
std::string graphemePrefix(std::string_view text, std::size_t count);

}
