#pragma once

#include "platform/foundation/Data.h"
#include "platform/net/HTTPHeaders.h"

#include <optional>
#include <string>
#include <string_view>

// Why a request got no usable reply.
struct HTTPError {
    enum class Code {
        InvalidURL, // not an http or https URL with a host
        CannotFindHost,
        CannotConnect, // refused or unreachable
        TimedOut,
        SecureConnectionFailed, // TLS handshake or certificate verification failed
        ConnectionLost, // the connection ended before the whole reply arrived
        EmptyBody, // see EmptyBodyRule::Reject
        TooLarge, // the body went past HTTPRequest::maxBodySize
        InsecureRedirect, // a redirect left https for http, or http and https altogether
        Cancelled,
        Other,
    };
    Code code = Code::Other;
    std::string message; // for logs, not for users
};

std::string_view errorCodeName(HTTPError::Code code);

struct HTTPResponse {
    // The HTTP status; none when no reply head arrived.
    std::optional<int> statusCode;
    // Fields of the final reply (after redirects), in arrival order, names as sent.
    HTTPHeaders headers;
    // Where the transfer ended: the address of the final reply (after the redirects followed),
    // or, for a redirect that was refused, the address it led to; empty when nothing went out.
    std::string url;
    // The body; none on failure (and, under EmptyBodyRule::Accept, when it was empty).
    std::optional<Data> body;
    // Set when the transfer failed; statusCode and headers may still tell what arrived.
    std::optional<HTTPError> error;

    bool succeeded() const { return !error.has_value(); }
    // Exact-name lookup of a field of the reply.
    std::optional<std::string> header(std::string_view name) const { return headerValue(headers, name); }
    // The body decoded as text with the charset that the reply's Content-Type names (UTF-8,
    // ISO-8859-1 or US-ASCII; UTF-8 when it names none or another one), returned as UTF-8.
    // None when there is no body or it does not decode.
    std::optional<std::string> text() const;
};
