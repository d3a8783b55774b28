#pragma once

#include <cstddef>
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

// One line of a reply head as it arrives (its line break included), added to the fields gathered
// so far. A status line ("HTTP/...") starts a new head, after a redirect or an interim 1xx reply,
// and clears them; a line that starts with a blank continues the last field (obsolete folding);
// "name: value" adds a field with the value trimmed; other lines are ignored. A line that would
// take the head past maxReplyHeadBytes or maxReplyHeadFields is refused and changes nothing.
enum class ReplyHeadLine { StatusLine, Field, Ignored, TooLarge };
inline constexpr std::size_t maxReplyHeadBytes = 256 * 1024;
inline constexpr std::size_t maxReplyHeadFields = 500;
ReplyHeadLine addReplyHeadLine(HTTPHeaders& fields, std::string_view line);
