#include "tools/testserver/RequestReader.h"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>

namespace testserver {

namespace http = boost::beast::http;

Request requestFromMessage(http::request<http::string_body>& message, std::string scheme)
{
    Request request;
    request.scheme = std::move(scheme);
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    size_t question = request.target.find('?');
    request.path = request.target.substr(0, question);
    if (question != std::string::npos)
        request.query = request.target.substr(question + 1);
    for (const auto& field : message)
        request.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
    request.body = std::move(message.body());
    if (std::optional<std::string> contentType = request.header("Content-Type"))
        request.multipart = parseMultipart(*contentType, request.body);
    return request;
}

std::optional<Request> readRequest(std::string_view bytes, std::string scheme)
{
    http::request_parser<http::string_body> parser;
    parser.body_limit(maxBodySize);
    parser.header_limit(maxHeaderSize);
    parser.eager(true);
    boost::beast::error_code error;
    std::size_t used = parser.put(boost::asio::buffer(bytes.data(), bytes.size()), error);
    // A connection would wait for more; without more, the end of the stream settles it.
    if (!error && !parser.is_done() && used == bytes.size())
        parser.put_eof(error);
    if (error || !parser.is_done())
        return std::nullopt;
    http::request<http::string_body> message = parser.release();
    return requestFromMessage(message, std::move(scheme));
}

}
