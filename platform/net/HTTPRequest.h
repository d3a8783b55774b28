#pragma once

#include "platform/foundation/Data.h"
#include "platform/net/HTTPHeaders.h"

#include <cstddef>
#include <string>
#include <string_view>

enum class HTTPMethod {
    GET,
    HEAD,
    POST,
    DELETE,
};

std::string_view methodName(HTTPMethod method);

// What a reply whose body is empty means.
enum class EmptyBodyRule {
    // The platform's rule for data and text replies: an empty body is a failure
    // (HTTPError::Code::EmptyBody) unless the method is HEAD or the status is 204 or 205, where
    // it gives an empty body.
    Reject,
    // Raw replies: the body is delivered as it came; no byte at all gives no body (nullopt).
    Accept,
};

struct HTTPRequest {
    HTTPMethod method = HTTPMethod::GET;
    std::string url;
    HTTPHeaders headers;
    Data body; // sent for POST and DELETE
    // Seconds from the start within which the whole request, set-up and reply included, must be
    // over, else it fails with TimedOut. Zero, negative or not finite means the default of 60.
    double timeout = 60;
    EmptyBodyRule emptyBody = EmptyBodyRule::Reject;
    // Bytes of body (after decompression) past which the transfer stops with TooLarge.
    std::size_t maxBodySize = defaultMaxBodySize;

    static constexpr std::size_t defaultMaxBodySize = 16 * 1024 * 1024;
};
