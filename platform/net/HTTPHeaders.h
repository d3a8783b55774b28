#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Header fields in wire order. Requests send them in this order; replies keep the order and
// the spelling in which they arrived.
using HTTPHeaders = std::vector<std::pair<std::string, std::string>>;

// Field names compared without regard to ASCII case, as HTTP defines them.
bool headerNameEquals(std::string_view a, std::string_view b);

// The first field named exactly `name` (no case folding).
std::optional<std::string> headerValue(const HTTPHeaders& headers, std::string_view name);
// The first field whose name matches `name` without regard to case, as HTTP defines it.
std::optional<std::string> headerValueIgnoringCase(const HTTPHeaders& headers, std::string_view name);
