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

// Whether the text is an HTTP token (a valid field name): one or more of the letters, digits and
// "!#$%&'*+-.^_`|~".
bool isHTTPToken(std::string_view text);
// Whether a field value can go on the wire as it is: no CR, LF or NUL.
bool isSafeHeaderValue(std::string_view value);
// The fields of an untrusted source (a server's reply, a stored record) that may be sent: those
// whose name is a token and whose value is safe. The others are dropped, so that nothing given
// can split a request or add fields of its own.
HTTPHeaders safeHeaderFields(const HTTPHeaders& fields);
