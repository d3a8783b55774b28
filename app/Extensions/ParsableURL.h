#pragma once

#include <string_view>

// Whether the text makes a URL at all, as the platform's URL parser decides: not empty, only
// printable ASCII without blanks or the characters that must be escaped ("<>\^`{|} and the
// double quote), and every "%" followed by two hexadecimal digits. Relative addresses pass;
// whether anything can load them is another question.
bool parsesAsURL(std::string_view text);
