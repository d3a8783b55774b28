#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The query of a URL as names and values. None when the text is not a URL or has no query (no
// "?" before the fragment); otherwise each item, in order, sets its name to its value (a later
// item of the same name wins) and an item without "=" removes its name. Names and values are
// percent-decoded; "+" stays a plus.
std::optional<std::map<std::string, std::string>> queryParameters(std::string_view url);
