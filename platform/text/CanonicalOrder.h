#pragma once

#include <string>
#include <string_view>

// The plain order of texts that the phone's string comparison gives: both sides in Unicode
// normalisation form C, then compared scalar by scalar. No locale and no numeric reading, so
// "第10集" comes before "第2集", and a composed "é" equals "e" with a combining accent.
// Invalid UTF-8 counts as U+FFFD.
namespace CanonicalOrder {

// The text in normalisation form C (valid UTF-8).
std::string normalizedNFC(std::string_view text);
// Whether `a` comes strictly before `b`.
bool less(std::string_view a, std::string_view b);

}
