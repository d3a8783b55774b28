#pragma once

#include "tools/testserver/Request.h"

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

namespace testserver {

// Takes over connections that ask to switch to the WebSocket protocol at its path. It gets the
// connection's stream and the request, which is not answered yet; the server no longer touches
// either. Called on the server's thread.
class UpgradeHandler {
public:
    using HTTPRequest = boost::beast::http::request<boost::beast::http::string_body>;

    virtual ~UpgradeHandler() = default;
    virtual void upgrade(boost::beast::tcp_stream&& stream, HTTPRequest request) = 0;
    virtual void upgrade(boost::beast::ssl_stream<boost::beast::tcp_stream>&& stream, HTTPRequest request)
        = 0;
};

}
