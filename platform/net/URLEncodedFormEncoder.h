#pragma once

#include "platform/net/HTTPRequest.h"

#include <map>
#include <string>
#include <string_view>

// Form fields; the map keeps them in key order, which is the order on the wire.
using URLEncodedForm = std::map<std::string, std::string>;

// The URL-encoded form encoding of requests. ASCII letters, digits and "-._~/?" stay as they are;
// every other byte of the UTF-8 text is written as '%' and two uppercase hexadecimal digits
// (so '+', '=', '&' and spaces are escaped).
class URLEncodedFormEncoder {
public:
    static std::string escape(std::string_view text);
    // "key=value" pairs joined by '&', in key order.
    static std::string encode(const URLEncodedForm& form);

    // Places the encoded form where the method wants it: in the URL's query for GET, HEAD and
    // DELETE (after any query the URL already has), in the body for POST, with the content type
    // "application/x-www-form-urlencoded; charset=utf-8" unless the request names one.
    static void apply(const URLEncodedForm& form, HTTPRequest& request);

    static HTTPRequest makeRequest(HTTPMethod method, std::string url, const URLEncodedForm& form,
        HTTPHeaders headers = {}, double timeout = 60);
};
