#pragma once

#include "tools/testserver/Request.h"

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace testserver {

// What a connection reads at most of one request.
inline constexpr std::uint64_t maxBodySize = 64 * 1024 * 1024;
inline constexpr std::uint32_t maxHeaderSize = 64 * 1024;

// The request of a message as a connection read it: target split into path and query, fields in
// wire order, and the multipart form when the body is one. The body is moved out of the message;
// its head stays for a connection that goes on with it (an upgrade).
Request requestFromMessage(
    boost::beast::http::request<boost::beast::http::string_body>& message, std::string scheme);

// Reads one request from the start of the bytes with a connection's parser and limits; none when
// they do not hold a whole, well-formed request within them.
std::optional<Request> readRequest(std::string_view bytes, std::string scheme);

}
