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
    // Seconds without any progress after which the request fails with TimedOut; also bounds
    // the connection set-up. Zero, negative or not finite means the default of 60.
    double timeout = 60;
    EmptyBodyRule emptyBody = EmptyBodyRule::Reject;
    // A reply body longer than this ends the transfer with TooLarge; zero means no limit.
    std::size_t maxBodyBytes = 0;
};
